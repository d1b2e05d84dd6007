#pragma once

#include <QObject>
#include <QVariantList>
#include <QVariantMap>
#include <memory>
#include <optional>

#include "ui/panel_view.h"
#include "ui/qml/application_icon_provider.h"
#include "ui/qml/application_section_bridge.h"
#include "ui/qml/settings_menu_bridge.h"

class QQuickView;

namespace pylonix {

// Hands the panel's view models to QML as plain properties. QML binds to them and draws; every
// text, symbol, colour name and visibility is decided here from the view models. Optional parts
// carry "shown"; symbols carry their system name under "symbol" and the Material Icons
// ligature that draws them under "glyph"; colours are names ("green", "secondary").
class PanelBridge : public QObject {
    Q_OBJECT
    Q_PROPERTY(double panelWidth READ panelWidth NOTIFY viewChanged)
    Q_PROPERTY(double panelHeight READ panelHeight NOTIFY viewChanged)
    // "light" or "dark", and the shade of every colour and surface name in it.
    // Notified only when the appearance changes: every colour binds to the palette.
    Q_PROPERTY(QString colorScheme READ colorScheme NOTIFY appearanceChanged)
    Q_PROPERTY(QVariantMap palette READ palette NOTIFY appearanceChanged)
    Q_PROPERTY(QVariantMap menuBarLabel READ menuBarLabel NOTIFY viewChanged)
    Q_PROPERTY(QVariantMap footer READ footer NOTIFY viewChanged)
    Q_PROPERTY(QVariantMap statusHeader READ statusHeader NOTIFY viewChanged)
    Q_PROPERTY(QVariantMap powerCard READ powerCard NOTIFY viewChanged)
    Q_PROPERTY(QVariantMap errorNotice READ errorNotice NOTIFY viewChanged)
    Q_PROPERTY(bool showsTiles READ showsTiles NOTIFY viewChanged)
    Q_PROPERTY(QVariantList tiles READ tiles NOTIFY viewChanged)
    Q_PROPERTY(QVariantMap unavailableNotice READ unavailableNotice NOTIFY viewChanged)
    Q_PROPERTY(QVariantMap powerDetails READ powerDetails NOTIFY viewChanged)
    Q_PROPERTY(QVariantMap breakdown READ breakdown NOTIFY viewChanged)
    Q_PROPERTY(bool isIncludedInBalance READ isIncludedInBalance NOTIFY viewChanged)
    // The application section, fed from the input's application power; the settings menu,
    // fed by the host (connectSettingsMenu).
    Q_PROPERTY(QObject* applications READ applicationsObject CONSTANT)
    Q_PROPERTY(QObject* settings READ settingsObject CONSTANT)
    // The motion gate. A change of the power-supply state is seen by the views themselves: the
    // status header and the power card carry the state they show.
    Q_PROPERTY(bool motionAllowed READ motionAllowed NOTIFY motionChanged)
    Q_PROPERTY(bool isVisible READ isVisible WRITE setVisible NOTIFY motionChanged)
    Q_PROPERTY(bool reduceMotion READ reduceMotion WRITE setReduceMotion NOTIFY motionChanged)
    Q_PROPERTY(bool suppressCustomMotion READ suppressCustomMotion WRITE setSuppressCustomMotion
                   NOTIFY motionChanged)

  public:
    explicit PanelBridge(QObject* parent = nullptr);

    // Recomputes every view model from `input` and notifies QML once. The disclosure's state is
    // the panel's own and the appearance the desktop's; both survive new inputs:
    // `input.showsPowerDetails` and `input.colorScheme` are not read here.
    void setInput(PanelInput input);
    const PanelInput& input() const { return input_; }
    const PanelView& view() const { return view_; }

    double panelWidth() const { return view_.width; }
    double panelHeight() const { return view_.height; }
    QString colorScheme() const;
    QVariantMap palette() const { return palette_; }
    // The desktop's appearance changed; the input's other values stay.
    void setColorScheme(ColorScheme scheme);
    QVariantMap menuBarLabel() const { return menuBarLabel_; }
    QVariantMap footer() const { return footer_; }
    QVariantMap statusHeader() const { return statusHeader_; }
    QVariantMap powerCard() const { return powerCard_; }
    QVariantMap errorNotice() const { return errorNotice_; }
    bool showsTiles() const { return view_.tiles.has_value(); }
    QVariantList tiles() const { return tiles_; }
    QVariantMap unavailableNotice() const { return unavailableNotice_; }
    QVariantMap powerDetails() const { return powerDetails_; }
    QVariantMap breakdown() const { return breakdown_; }
    bool isIncludedInBalance() const { return view_.isIncludedInBalance; }

    ApplicationSectionBridge& applications() { return applications_; }
    SettingsMenuBridge& settings() { return settings_; }
    QObject* applicationsObject() { return &applications_; }
    QObject* settingsObject() { return &settings_; }
    // The icons the application rows draw, by application id; the icon cache fills it.
    const std::shared_ptr<ApplicationIconStore>& applicationIcons() const { return icons_; }

    bool motionAllowed() const;
    bool isVisible() const { return isVisible_; }
    void setVisible(bool visible);
    bool reduceMotion() const { return reduceMotion_; }
    void setReduceMotion(bool reduce);
    bool suppressCustomMotion() const { return suppressCustomMotion_; }
    void setSuppressCustomMotion(bool suppress);

    // The disclosure of the power details flips its own flag; a panel shown anew starts with it
    // collapsed (the host sets false when it opens the panel).
    Q_INVOKABLE void togglePowerDetails();
    void setShowsPowerDetails(bool shows);
    // A panel about to be shown anew starts fresh: details collapsed, no alert, the motion gate
    // closed until it is on screen.
    void beginOpening();
    // The footer's update shortcut; the host connects checkForUpdatesRequested.
    Q_INVOKABLE void checkForUpdates();

  signals:
    void viewChanged();
    void appearanceChanged();
    void motionChanged();
    void checkForUpdatesRequested();

  private:
    void rebuild();

    PanelInput input_;
    PanelView view_;
    QVariantMap menuBarLabel_, footer_, statusHeader_, powerCard_, errorNotice_;
    QVariantMap unavailableNotice_, powerDetails_, breakdown_;
    QVariantList tiles_;
    QVariantMap palette_;
    std::optional<ColorScheme> paletteScheme_;
    bool isVisible_ = false;
    bool reduceMotion_ = false;
    bool suppressCustomMotion_ = false;
    std::shared_ptr<ApplicationIconStore> icons_;
    ApplicationSectionBridge applications_;
    SettingsMenuBridge settings_;
};

// The panel's QML, compiled into the program's resources.
inline constexpr const char* kPowerPanelUrl = "qrc:/qt/qml/Pylonix/Panel/PowerPanel.qml";

// Loads the panel into `view` with `bridge` as its source of values (and of the application
// icons, through the image provider) and sizes the view to the panel. False, with the QML errors
// printed by Qt, when the panel cannot be loaded.
bool loadPowerPanel(QQuickView& view, PanelBridge& bridge);

}  // namespace pylonix

// pylonix-render: draws the panel and the tray label of a `pylonix-probe view` state offscreen
// to PNG, from the same view models and QML as the application.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QQuickItem>
#include <QQuickView>
#include <array>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "probe_command.h"
#include "sections_view_json.h"
#include "ui/qml/menu_bar_label_image.h"
#include "ui/qml/panel_bridge.h"
#include "view_json.h"

namespace {

using namespace pylonix;
using namespace pylonix::probe;

constexpr const char* kUsage =
    "usage: pylonix-render [FILE] --panel PANEL.png [--label LABEL.png] [--scale N] "
    "[--locale NAME] [--time-zone ID]";

bool save(const QImage& image, const std::string& path) {
    if (image.isNull() || !image.save(QString::fromStdString(path), "PNG")) {
        std::cerr << "pylonix-render: cannot write " << path << '\n';
        return false;
    }
    return true;
}

// A label shown on a light menu bar strip, so that it reads on any page background.
QImage labelOnBar(const PowerMenuBarLabel& label, qreal scale) {
    constexpr qreal kBarHeight = 24;
    constexpr qreal kPadding = 8;
    const QImage row = renderMenuBarLabel(label, 18, scale, QColor(0, 0, 0, 217));
    const qreal rowWidth = row.width() / scale;
    QImage bar(QSize(qRound((rowWidth + 2 * kPadding) * scale), qRound(kBarHeight * scale)),
               QImage::Format_ARGB32_Premultiplied);
    bar.setDevicePixelRatio(scale);
    bar.fill(QColor(0xec, 0xec, 0xee));
    QPainter painter(&bar);
    painter.drawImage(QPointF(kPadding, (kBarHeight - 18) / 2), row);
    return bar;
}

// Members of a state that only pictures use: icon files by application id, the panel scrolled
// to the application section, the settings menu opened.
struct RenderExtras {
    std::map<std::string, std::string> iconFiles;
    bool scrollToApplications = false;
    bool openSettingsMenu = false;
};

RenderExtras renderExtrasFromJson(const Json& json) {
    RenderExtras extras;
    if (const Json* files = optionalMember(json, "applicationIconFiles")) {
        requireObject(*files, "applicationIconFiles");
        for (const auto& [id, file] : files->items()) {
            extras.iconFiles[id] = stringValue(file, "applicationIconFiles." + id);
        }
    }
    if (const Json* scroll = optionalMember(json, "scrollToApplications")) {
        extras.scrollToApplications = boolValue(*scroll, "scrollToApplications");
    }
    if (const Json* open = optionalMember(json, "openSettingsMenu")) {
        extras.openSettingsMenu = boolValue(*open, "openSettingsMenu");
    }
    return extras;
}

QQuickItem* findItem(QQuickItem* from, const QString& name) {
    for (QQuickItem* child : from->childItems()) {
        if (child->objectName() == name) return child;
        if (QQuickItem* found = findItem(child, name)) return found;
    }
    return nullptr;
}

// Scrolls the panel so that the application section's top meets the viewport's top.
void scrollToApplications(QQuickView& view) {
    QQuickItem* section = findItem(view.rootObject(), QStringLiteral("application-power-section"));
    QQuickItem* scroll = findItem(view.rootObject(), QStringLiteral("power-scroll"));
    QObject* flickable = scroll ? scroll->property("contentItem").value<QObject*>() : nullptr;
    if (section == nullptr || flickable == nullptr) return;
    const qreal top = section->mapToItem(qobject_cast<QQuickItem*>(flickable), QPointF()).y();
    const qreal bottom =
        flickable->property("contentHeight").toReal() - flickable->property("height").toReal();
    const qreal target = flickable->property("contentY").toReal() + top - 12;
    flickable->setProperty("contentY", qMax<qreal>(0, qMin(target, bottom)));
    QCoreApplication::processEvents();
}

void openSettingsMenu(QQuickView& view) {
    QQuickItem* button = findItem(view.rootObject(), QStringLiteral("settings-menu"));
    if (button == nullptr) return;
    QMetaObject::invokeMethod(button, "openMenu");
    QCoreApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (!arguments.empty() && (arguments.front() == "--help" || arguments.front() == "-h")) {
        std::cout << kUsage << '\n';
        return 0;
    }
    PanelInput input;
    SectionsViewInput sections;
    RenderExtras extras;
    std::string panelPath, labelPath;
    double scale = 2;
    try {
        constexpr std::array<std::string_view, 5> kOptions = {"--panel", "--label", "--scale",
                                                              "--locale", "--time-zone"};
        const ParsedArguments parsed = parseArguments(arguments, kOptions);
        const std::string* panel = parsed.option("--panel");
        if (panel == nullptr) throw UsageError("--panel is required");
        panelPath = *panel;
        if (const std::string* label = parsed.option("--label")) labelPath = *label;
        if (const std::string* value = parsed.option("--scale")) {
            scale = parseDoubleOption(*value, "--scale");
            if (!(scale >= 1 && scale <= 4)) throw UsageError("--scale must be from 1 to 4");
        }
        const Json json = parseJson(readInputText(parsed.positional));
        input = panelInputFromJson(json);
        sections = sectionsViewInputFromJson(json);
        extras = renderExtrasFromJson(json);
        if (const std::string* locale = parsed.option("--locale")) {
            input.timeStyle.localeName = *locale;
        }
        if (const std::string* zone = parsed.option("--time-zone")) {
            input.timeStyle.timeZoneId = *zone;
        }
    } catch (const UsageError& error) {
        std::cerr << "pylonix-render: " << error.what() << '\n' << kUsage << '\n';
        return 2;
    } catch (const InputError& error) {
        std::cerr << "pylonix-render: " << error.what() << '\n';
        return 2;
    }

    // Offscreen with the software renderer unless the caller chose otherwise.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND")) qputenv("QT_QUICK_BACKEND", "software");
    qputenv("QT_SCALE_FACTOR", QByteArray::number(scale));
    QGuiApplication application(argc, argv);

    PanelBridge bridge;
    bridge.setShowsPowerDetails(input.showsPowerDetails);
    bridge.setColorScheme(input.colorScheme);
    bridge.applications().setShowsAllApplications(sections.showsAllApplications);
    QHash<QString, QImage> icons;
    for (const auto& [id, file] : extras.iconFiles) {
        QImage icon(QString::fromStdString(file));
        // A picture without one icon is still a picture: that row draws its fallback symbol.
        if (icon.isNull()) {
            std::cerr << "pylonix-render: cannot read the icon " << file << "; drawn without it\n";
            continue;
        }
        icons.insert(QString::fromStdString(id), icon);
    }
    bridge.applicationIcons()->setIcons(icons);
    bridge.setInput(input);
    sections.settings.version = bridge.view().version;
    bridge.settings().setInputs(sections.settings);
    QQuickView view;
    if (!loadPowerPanel(view, bridge)) {
        std::cerr << "pylonix-render: the panel's QML did not load\n";
        return 1;
    }
    view.show();
    QCoreApplication::processEvents();
    if (extras.scrollToApplications) scrollToApplications(view);
    if (extras.openSettingsMenu) openSettingsMenu(view);
    if (!save(view.grabWindow(), panelPath)) return 1;
    if (!labelPath.empty() && !save(labelOnBar(bridge.view().menuBarLabel, scale), labelPath)) {
        return 1;
    }
    return 0;
}

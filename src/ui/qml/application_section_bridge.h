#pragma once

#include <QObject>
#include <QVariantMap>
#include <functional>
#include <string>

#include "apppower/application_power_model.h"

namespace pylonix {

// Hands the application section's view model to QML and keeps the section's view state: the
// expansion flag (which outlives redraws) and the last reported top edge of the section in the
// scroll viewport, which decides the scroll after a collapse.
class ApplicationSectionBridge : public QObject {
    Q_OBJECT
    // Everything the section shows; rows carry "iconSource" when the icon cache has an icon.
    Q_PROPERTY(QVariantMap section READ section NOTIFY sectionChanged)
    Q_PROPERTY(bool showsAllApplications READ showsAllApplications NOTIFY sectionChanged)
    Q_PROPERTY(double applicationSectionTop READ applicationSectionTop WRITE
                   setApplicationSectionTop NOTIFY applicationSectionTopChanged)

  public:
    // Whether the icon cache holds an icon for an application id.
    using IconLookup = std::function<bool(const std::string& id)>;

    explicit ApplicationSectionBridge(QObject* parent = nullptr);

    void setSnapshot(ApplicationPowerSnapshot snapshot, bool isIncludedInBalance);
    void setIconLookup(IconLookup hasIcon);
    void setShowsAllApplications(bool showsAll);

    QVariantMap section() const { return section_; }
    bool showsAllApplications() const { return showsAllApplications_; }
    double applicationSectionTop() const { return applicationSectionTop_; }
    void setApplicationSectionTop(double top);

    // The toggle under the list: flips the expansion flag and, when the list collapses while
    // the section's top is above the viewport, asks for the section to be scrolled into place,
    // animated only when `motionAllowed`.
    Q_INVOKABLE void toggleAllApplications(bool motionAllowed);

  signals:
    void sectionChanged();
    void applicationSectionTopChanged();
    void scrollToSectionRequested(bool animated);

  private:
    void rebuild();

    ApplicationPowerSnapshot snapshot_ = ApplicationPowerSnapshot::collecting();
    bool isIncludedInBalance_ = false;
    IconLookup hasIcon_;
    bool showsAllApplications_ = false;
    double applicationSectionTop_ = 0;
    QVariantMap section_;
};

}  // namespace pylonix

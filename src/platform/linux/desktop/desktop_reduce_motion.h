#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/linux/desktop/gsettings_key.h"

namespace pylonix::linux_platform {

// Whether the desktop asks for reduced motion, followed live. Linux has no single switch: GNOME
// and the desktops built on its settings turn animations off with
// org.gnome.desktop.interface enable-animations, KDE Plasma with an animation speed of 0
// (AnimationDurationFactor in kdeglobals). The running desktop's own setting decides; the other
// one only when the first says nothing (it may be a leftover). False when neither says so.
class DesktopReduceMotion : public QObject {
    Q_OBJECT

  public:
    struct Sources {
        QString gsettings;   // the gsettings program; empty: looked up in PATH
        QString kdeglobals;  // KDE's settings file
        bool plasmaFirst = false;
    };
    // This session's: kdeglobals in the user's configuration directory, Plasma's setting first
    // when XDG_CURRENT_DESKTOP names KDE.
    static Sources sessionSources();

    explicit DesktopReduceMotion(Sources sources = sessionSources(), QObject* parent = nullptr);
    ~DesktopReduceMotion() override;
    DesktopReduceMotion(const DesktopReduceMotion&) = delete;
    DesktopReduceMotion& operator=(const DesktopReduceMotion&) = delete;

    bool reduceMotion() const { return reduceMotion_; }

  signals:
    void reduceMotionChanged(bool reduce);

  private:
    void watchKde();
    void readKde();
    void update();

    Sources sources_;
    GSettingsKey gnome_;
    QFileSystemWatcher watcher_;
    std::optional<bool> kde_;
    bool reduceMotion_ = false;
    // Reads of kdeglobals run on a worker thread; the newest one wins, and none lands after
    // this object is gone.
    std::shared_ptr<std::uint64_t> latestRead_ = std::make_shared<std::uint64_t>(0);
};

// The answer in `gsettings get org.gnome.desktop.interface enable-animations` output
// ("false\n" asks for reduced motion); nothing for any other output.
std::optional<bool> reduceMotionFromGnomeSetting(std::string_view gsettingsOutput);

// The answer in KDE's AnimationDurationFactor ("0" asks for reduced motion); nothing when the
// value is not a number.
std::optional<bool> reduceMotionFromKdeFactor(std::string_view factor);

// AnimationDurationFactor in the [KDE] group of a kdeglobals file; nothing when absent.
std::optional<std::string_view> kdeAnimationDurationFactor(std::string_view kdeglobals);

}  // namespace pylonix::linux_platform

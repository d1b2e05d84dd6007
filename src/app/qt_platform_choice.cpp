#include "app/qt_platform_choice.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <cstdio>
#include <cstdlib>

namespace pylonix {
namespace {

constexpr std::string_view kLastResort = "offscreen";

struct Choice {
    std::optional<std::string> user;       // the user's `QT_QPA_PLATFORM`
    std::optional<std::string> requested;  // what the program set instead
};

Choice& choice() {
    static Choice chosen;
    return chosen;
}

// The platform's name without its options ("xcb:nograb") or fallbacks.
std::string platformName(std::string_view value) {
    return std::string(value.substr(0, value.find_first_of(":;")));
}

bool isSet(const char* value) {
    return value != nullptr && *value != '\0';
}

}  // namespace

std::optional<std::string> qtPlatformRequest(std::optional<std::string_view> userChoice,
                                             bool hasXDisplay, bool hasWaylandDisplay) {
    const bool chosen = userChoice && !userChoice->empty();
    if (chosen && userChoice->find(';') != std::string_view::npos) return std::nullopt;
    if (!chosen && !hasXDisplay) return std::nullopt;
    std::string request = chosen ? std::string(*userChoice) : "xcb";
    const auto add = [&request](std::string_view name) {
        if (!request.starts_with(name)) request.append(";").append(name);
    };
    if (hasXDisplay) add("xcb");
    if (hasWaylandDisplay) add("wayland");
    add(kLastResort);
    return request;
}

void chooseQtPlatform() {
    // NOLINTBEGIN(concurrency-mt-unsafe): before any thread exists
    const char* user = std::getenv("QT_QPA_PLATFORM");
    Choice& chosen = choice();
    if (isSet(user)) chosen.user = user;
    chosen.requested =
        qtPlatformRequest(isSet(user) ? std::optional<std::string_view>(user) : std::nullopt,
                          isSet(std::getenv("DISPLAY")), isSet(std::getenv("WAYLAND_DISPLAY")));
    if (!chosen.requested) return;
    setenv("QT_QPA_PLATFORM", chosen.requested->c_str(), 1);
    // NOLINTEND(concurrency-mt-unsafe)
    // Qt warns of each platform it passes over; the program says it in one line instead.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.qpa.plugin.warning=false"));
}

bool reportQtPlatformFallback() {
    const Choice& chosen = choice();
    if (!chosen.requested) return true;
    QLoggingCategory::setFilterRules(QString());
    const std::string wanted = platformName(chosen.user.value_or(*chosen.requested));
    const std::string running = QGuiApplication::platformName().toStdString();
    if (running == kLastResort && wanted != kLastResort) {
        std::fprintf(stderr,
                     "pylonix: no Qt platform could be loaded (tried \"%s\"), so nothing can be "
                     "shown\n",
                     chosen.requested->substr(0, chosen.requested->rfind(';')).c_str());
        return false;
    }
    if (chosen.user && running != wanted && !running.starts_with(wanted)) {
        std::fprintf(stderr, "pylonix: the Qt platform \"%s\" could not be loaded; using \"%s\"\n",
                     wanted.c_str(), running.c_str());
    }
    return true;
}

bool onWaylandPlatform() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool inWaylandSession() {
    return onWaylandPlatform() || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace pylonix

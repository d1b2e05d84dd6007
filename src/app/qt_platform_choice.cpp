#include "app/qt_platform_choice.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

namespace pylonix {
namespace {

std::optional<std::string>& userPlatform() {
    static std::optional<std::string> chosen;
    return chosen;
}

}  // namespace

std::optional<std::string> qtPlatformRequest(std::optional<std::string_view> userChoice,
                                             bool hasDisplay) {
    if (!hasDisplay) return std::nullopt;
    if (!userChoice || userChoice->empty()) return "xcb";
    // A list already says what follows a failure; so does a choice of X11 itself.
    if (userChoice->find(';') != std::string_view::npos || userChoice->starts_with("xcb")) {
        return std::nullopt;
    }
    return std::string(*userChoice) + ";xcb";
}

void chooseQtPlatform() {
    // NOLINTBEGIN(concurrency-mt-unsafe): before any thread exists
    const char* choice = std::getenv("QT_QPA_PLATFORM");
    const char* display = std::getenv("DISPLAY");
    if (choice != nullptr && *choice != '\0') userPlatform() = choice;
    const auto request = qtPlatformRequest(
        choice != nullptr ? std::optional<std::string_view>(choice) : std::nullopt,
        display != nullptr && *display != '\0');
    if (request) setenv("QT_QPA_PLATFORM", request->c_str(), 1);
    // NOLINTEND(concurrency-mt-unsafe)
}

void reportQtPlatformFallback() {
    const std::optional<std::string>& chosen = userPlatform();
    if (!chosen) return;
    const std::string wanted = chosen->substr(0, chosen->find_first_of(":;"));
    const std::string running = QGuiApplication::platformName().toStdString();
    if (!wanted.empty() && running != wanted && !running.starts_with(wanted)) {
        std::fprintf(stderr, "pylonix: the Qt platform \"%s\" could not be loaded; using \"%s\"\n",
                     wanted.c_str(), running.c_str());
    }
}

}  // namespace pylonix

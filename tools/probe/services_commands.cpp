// login-item and update-check: the login item and the update feed, through the same platform
// pieces the application uses.
#include <unistd.h>

#include <array>
#include <filesystem>
#include <ostream>

#include "common/application_info.h"
#include "platform/linux/login_item/xdg_autostart_login_item.h"
#include "probe_command.h"
#include "probe_commands.h"

#ifdef PYLONIX_PROBE_HAS_QT
#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QUrl>
#include <cmath>

#include "platform/linux/updates/update_feed_check.h"
#endif

namespace pylonix::probe {

int runLoginItem(Arguments arguments, std::ostream& out) {
    constexpr std::array<std::string_view, 1> kOptions = {"--executable"};
    const ParsedArguments parsed = parseArguments(arguments, kOptions);
    if (parsed.positional.size() > 1) throw UsageError("expected one operation");
    const std::string operation = parsed.positional.empty() ? "status" : parsed.positional[0];
    if (operation != "status" && operation != "register" && operation != "unregister") {
        throw UsageError("unknown operation " + operation);
    }

    // The entry starts `pylonix`: the one beside this probe where there is one (installed side
    // by side), else the installed path, or the program --executable names.
    std::string executable = kInstalledExecutablePath;
    if (const std::string* given = parsed.option("--executable")) {
        executable = *given;
    } else {
        const auto beside =
            std::filesystem::path(linux_platform::runningExecutable()).parent_path() / "pylonix";
        if (::access(beside.c_str(), X_OK) == 0) executable = beside.string();
    }
    linux_platform::XdgAutostartLoginItem item(linux_platform::defaultAutostartDirectory(),
                                               executable);
    std::optional<std::string> failure;
    if (operation == "register") failure = item.registerItem();
    if (operation == "unregister") failure = item.unregisterItem();
    printJson(out, Json{{"status", toString(item.status())},
                        {"errorMessage", optionalJson(failure)},
                        {"entryPath", item.entryPath().string()},
                        {"executable", executable}});
    return 0;
}

#ifdef PYLONIX_PROBE_HAS_QT
int runUpdateCheck(Arguments arguments, std::ostream& out) {
    constexpr std::array<std::string_view, 3> kOptions = {"--feed", "--timeout", "--version"};
    const ParsedArguments parsed = parseArguments(arguments, kOptions);
    if (!parsed.positional.empty()) throw UsageError("update-check takes no file");
    const std::string* feed = parsed.option("--feed");
    if (feed == nullptr) throw UsageError("--feed URL is required");
    linux_platform::UpdateFeedLimits limits;
    if (const std::string* timeout = parsed.option("--timeout")) {
        const double seconds = parseDoubleOption(*timeout, "--timeout");
        if (!(seconds > 0 && seconds <= 3600))
            throw UsageError("--timeout takes 0 to 3600 seconds");
        limits.timeout = std::chrono::milliseconds(std::llround(seconds * 1000));
    }
    const std::string* versionOption = parsed.option("--version");
    const std::string currentVersion = versionOption ? *versionOption : kApplicationVersion;

    int argc = 1;
    char name[] = "pylonix-probe";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    QNetworkAccessManager network;
    QEventLoop loop;
    linux_platform::UpdateCheckResult result;
    linux_platform::checkUpdateFeed(network, QUrl(QString::fromStdString(*feed)), currentVersion,
                                    limits, [&](linux_platform::UpdateCheckResult found) {
                                        result = std::move(found);
                                        loop.quit();
                                    });
    loop.exec();
    printJson(out, Json{{"availableVersion", optionalJson(result.availableVersion)},
                        {"downloadURL", optionalJson(result.downloadURL)},
                        {"errorMessage", optionalJson(result.errorMessage)},
                        {"latestVersion", optionalJson(result.latestVersion)},
                        {"currentVersion", currentVersion}});
    return 0;
}
#endif

}  // namespace pylonix::probe

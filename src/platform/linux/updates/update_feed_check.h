#pragma once

#include <QString>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/linux/updates/update_feed.h"

class QNetworkAccessManager;
class QUrl;

namespace pylonix::linux_platform {

// How much of a feed is fetched and for how long before the check gives up.
struct UpdateFeedLimits {
    std::size_t maximumBytes = 1024 * 1024;
    std::chrono::milliseconds timeout{30000};
};

// Why the address cannot be a feed address: feeds come over https, or over plain http only
// from a loopback address (a server on this machine). nullopt when it is acceptable.
std::optional<std::string> feedURLProblem(const QUrl& url);

// Fetches the feed at `feedURL` (redirects followed only to acceptable addresses), bounded in
// size and time, then parses and evaluates it against `currentVersion`. `done` runs exactly
// once on the calling thread's event loop, never before this function returns.
void checkUpdateFeed(QNetworkAccessManager& network, const QUrl& feedURL,
                     std::string currentVersion, UpdateFeedLimits limits,
                     std::function<void(UpdateCheckResult)> done);

}  // namespace pylonix::linux_platform

#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pylonix::linux_platform {

// One release of an appcast-style update feed: an RSS item with its version (the number that
// is compared), the display version shown to people, and the download page.
struct UpdateFeedItem {
    std::string version;
    std::optional<std::string> displayVersion;
    std::optional<std::string> downloadURL;

    friend bool operator==(const UpdateFeedItem&, const UpdateFeedItem&) = default;
};

// The items of a feed, or why the text is not a usable feed.
struct UpdateFeedParseResult {
    std::vector<UpdateFeedItem> items;
    std::optional<std::string> errorMessage;
};

// Reads an RSS 2.0 document (<rss><channel><item>…). In each item the version is the text of
// a <version> element or the version attribute of its <enclosure>; the display version comes
// from <shortVersionString> the same way; the download page is the item's <link>, else the
// enclosure's url. Element and attribute names match whatever their namespace prefix, as
// appcasts put them in the update framework's namespace. XML errors, a different document, or
// an item without a version make the whole feed unusable.
UpdateFeedParseResult parseUpdateFeed(std::string_view xml);

// What one check found, compared with the running version.
struct UpdateCheckResult {
    // The newest release's display version when it is newer than the running one.
    std::optional<std::string> availableVersion;
    // Its download page, always an https address.
    std::optional<std::string> downloadURL;
    // The newest release's display version in the feed, newer or not.
    std::optional<std::string> latestVersion;
    // Why the check failed; then no other field is set.
    std::optional<std::string> errorMessage;

    friend bool operator==(const UpdateCheckResult&, const UpdateCheckResult&) = default;
};

UpdateCheckResult failedUpdateCheck(std::string message);

// Picks the newest release of a parsed feed and compares it with `currentVersion`. A version
// that is not dotted numbers, or a newer release whose download page is not https, fails the
// check: the program never offers what it cannot compare or safely open.
UpdateCheckResult evaluateUpdateFeed(const UpdateFeedParseResult& feed,
                                     std::string_view currentVersion);

// True for an absolute https address with a host.
bool isHttpsURL(std::string_view url);

}  // namespace pylonix::linux_platform

// Arbitrary bytes as an update feed: parsing and evaluation must fail cleanly, and whatever
// they offer must be a newer version with an https download page.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/linux/updates/update_feed.h"
#include "services/update_version.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pylonix;
    using namespace pylonix::linux_platform;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const UpdateFeedParseResult feed = parseUpdateFeed(text);
    if (feed.errorMessage && !feed.items.empty()) __builtin_trap();
    const UpdateCheckResult result = evaluateUpdateFeed(feed, "1.4.2");
    if (result.errorMessage && (result.availableVersion || result.downloadURL)) __builtin_trap();
    if (result.availableVersion && (!result.downloadURL || !isHttpsURL(*result.downloadURL))) {
        __builtin_trap();
    }
    for (const UpdateFeedItem& item : feed.items) {
        if (item.version.empty()) __builtin_trap();
        (void)UpdateVersion::parse(item.version);
    }
    return 0;
}

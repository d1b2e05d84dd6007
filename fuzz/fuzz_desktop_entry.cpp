// Arbitrary bytes as a desktop entry file, parsed for two locales.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/linux/applications/desktop_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pylonix::linux_platform;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (const std::string_view locale : {"zh_CN.UTF-8@cjk", "C"}) {
        if (const auto entry = parseDesktopEntry(input, locale)) {
            if (entry->isShownApplication() && entry->name.empty()) __builtin_trap();
        }
    }
    (void)splitExecValue(unescapeDesktopValue(input));
    return 0;
}

// Arbitrary bytes as an autostart desktop entry, and as a path quoted into one: whatever the
// path, the entry written for it must read back as switched on.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/linux/login_item/autostart_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pylonix::linux_platform;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)isAutostartEntryEnabled(text);
    if (!isAutostartEntryEnabled(makeAutostartEntry(text))) __builtin_trap();
    return 0;
}

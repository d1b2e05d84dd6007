// Arbitrary bytes as an autostart desktop entry, and as a path quoted into one: whatever the
// path, the entry written for it must read back as switched on and start that path; whatever
// the entry, switching it off and on again must read back that way.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/linux/login_item/autostart_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pylonix::linux_platform;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (parseAutostartEntry(text)) {
        const auto off = parseAutostartEntry(switchOffAutostartEntry(text));
        if (!off || !off->switchedOff) __builtin_trap();
        const auto on = parseAutostartEntry(switchOnAutostartEntry(switchOffAutostartEntry(text)));
        if (!on || on->switchedOff) __builtin_trap();
    }
    if (text.find('\0') == std::string_view::npos) {
        const auto written = parseAutostartEntry(makeAutostartEntry(text));
        if (!written || written->switchedOff || written->exec.size() != 1 ||
            written->exec.front() != text) {
            __builtin_trap();
        }
    }
    return 0;
}

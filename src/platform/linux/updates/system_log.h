#pragma once

#include <string_view>

namespace pylonix::linux_platform {

// Writes one line to the system log (syslog, identity "pylonix", user facility, error level).
void writeSystemLog(std::string_view line);

}  // namespace pylonix::linux_platform

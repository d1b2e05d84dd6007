#include "platform/linux/updates/system_log.h"

#include <syslog.h>

#include <string>

namespace pylonix::linux_platform {

void writeSystemLog(std::string_view line) {
    const std::string text(line);
    openlog("pylonix", LOG_PID, LOG_USER);
    syslog(LOG_ERR, "%s", text.c_str());
    closelog();
}

}  // namespace pylonix::linux_platform

#include "platform/linux/processes/energy_access_message.h"

#include "common/application_info.h"
#include "common/platform_texts.h"

namespace pylonix::linux_platform {

std::string energyAccessMessage(RaplEnergyMeter::Access access) {
    if (access == RaplEnergyMeter::Access::notPermitted) {
        return std::string("读取应用 CPU 能耗需要加入 ") + kEnergyGroup +
               " 用户组，加入后请重新登录。";
    }
    return platform_texts::kNoApplicationEnergyData;
}

}  // namespace pylonix::linux_platform

#pragma once

// The user-visible texts that name the kind of computer the program runs on. The platform the
// build targets picks them, here and nowhere else; every other text is the same everywhere.

namespace pylonix::platform_texts {

#if defined(__APPLE__)
inline constexpr const char* kNoBuiltInBattery = "未找到电池信息；此应用仅支持带内置电池的 Mac。";
inline constexpr const char* kNoSystemPowerData = "这台 Mac 暂未提供整机耗电数据。";
inline constexpr const char* kNoApplicationEnergyData = "这台 Mac 暂未提供应用 CPU 能耗数据。";
#else
inline constexpr const char* kNoBuiltInBattery = "未找到电池信息；此应用仅支持带内置电池的电脑。";
inline constexpr const char* kNoSystemPowerData = "这台电脑暂未提供整机耗电数据。";
inline constexpr const char* kNoApplicationEnergyData = "这台电脑暂未提供应用 CPU 能耗数据。";
#endif

}  // namespace pylonix::platform_texts

#include "platform/linux/updates/platform_update_driver.h"

#include "common/application_info.h"
#include "platform/linux/updates/message_box_update_presenter.h"
#include "platform/linux/updates/settings_update_preferences.h"

namespace pylonix::linux_platform {

std::unique_ptr<FeedUpdateDriver> makePlatformUpdateDriver() {
    FeedUpdateDriver::Configuration configuration;
    configuration.feedURL = kUpdateFeedURL;
    configuration.currentVersion = kApplicationVersion;
    return std::make_unique<FeedUpdateDriver>(std::move(configuration),
                                              std::make_unique<SettingsUpdatePreferences>(),
                                              std::make_unique<MessageBoxUpdatePresenter>());
}

}  // namespace pylonix::linux_platform

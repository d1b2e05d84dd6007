#include "platform/linux/updates/message_box_update_presenter.h"

#include <gtest/gtest.h>

namespace pylonix::linux_platform {
namespace {

TEST(OpenDownloadPageTest, RefusesEverythingButHttps) {
    // Refused before anything is handed to the desktop, so no browser opens here.
    for (const char* url :
         {"http://example.org/pylonix.tar.xz", "file:///etc/passwd", "javascript:alert(1)",
          "ftp://example.org/pylonix", "https:relative", "", "https://"}) {
        EXPECT_FALSE(openDownloadPage(url)) << url;
    }
}

}  // namespace
}  // namespace pylonix::linux_platform

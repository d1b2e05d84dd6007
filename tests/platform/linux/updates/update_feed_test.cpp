#include "platform/linux/updates/update_feed.h"

#include <gtest/gtest.h>

namespace pylonix::linux_platform {
namespace {

constexpr const char* kAppcast = R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
  <channel>
    <title>Pylonix</title>
    <item>
      <title>Pylonix 1.9</title>
      <sparkle:version>1.9</sparkle:version>
      <link>https://example.org/pylonix/1.9</link>
    </item>
    <item>
      <title>Pylonix 1.10</title>
      <description><![CDATA[<p>新功能</p>]]></description>
      <enclosure url="https://example.org/pylonix-1.10.tar.xz" sparkle:version="1.10.0"
                 sparkle:shortVersionString="1.10" length="123" type="application/x-xz"/>
    </item>
    <item>
      <sparkle:version> 1.2 </sparkle:version>
      <sparkle:shortVersionString>1.2 正式版</sparkle:shortVersionString>
      <link>https://example.org/pylonix/1.2</link>
      <enclosure url="https://example.org/ignored.tar.xz"/>
    </item>
  </channel>
</rss>
)";

TEST(UpdateFeedTest, ReadsItemsFromElementsOrEnclosure) {
    const UpdateFeedParseResult feed = parseUpdateFeed(kAppcast);
    ASSERT_FALSE(feed.errorMessage) << *feed.errorMessage;
    ASSERT_EQ(feed.items.size(), 3u);
    EXPECT_EQ(feed.items[0],
              (UpdateFeedItem{"1.9", std::nullopt, "https://example.org/pylonix/1.9"}));
    EXPECT_EQ(feed.items[1],
              (UpdateFeedItem{"1.10.0", "1.10", "https://example.org/pylonix-1.10.tar.xz"}));
    EXPECT_EQ(feed.items[2],
              (UpdateFeedItem{"1.2", "1.2 正式版", "https://example.org/pylonix/1.2"}));
}

TEST(UpdateFeedTest, UnusableFeedsSayWhy) {
    const char* const broken[] = {
        "",
        "not xml at all",
        "<rss><channel><item><sparkle:version>1.0</sparkle:version></item></channel>",
        "<rss><channel><item><version>1.0</version></item></channel></rss><extra/>",
        "<html><body>Not found</body></html>",
        "<rss><channel><item><title>no version</title></item></channel></rss>",
        "<!DOCTYPE rss [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
        "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
        "]><rss><channel><item><version>&d;</version></item></channel></rss>",
    };
    for (const char* text : broken) {
        const UpdateFeedParseResult feed = parseUpdateFeed(text);
        EXPECT_TRUE(feed.errorMessage.has_value()) << text;
        EXPECT_TRUE(feed.items.empty()) << text;
    }
    EXPECT_EQ(parseUpdateFeed("<html/>").errorMessage, "更新源不是 RSS 文档。");
}

TEST(UpdateFeedTest, AnEmptyChannelHasNoReleases) {
    const UpdateFeedParseResult feed = parseUpdateFeed("<rss><channel/></rss>");
    EXPECT_FALSE(feed.errorMessage);
    EXPECT_TRUE(feed.items.empty());
    const UpdateCheckResult result = evaluateUpdateFeed(feed, "1.0");
    EXPECT_EQ(result, UpdateCheckResult{});
}

TEST(UpdateFeedTest, OffersOnlyANewerVersionByNumber) {
    const UpdateFeedParseResult feed = parseUpdateFeed(kAppcast);
    const UpdateCheckResult newer = evaluateUpdateFeed(feed, "1.9.5");
    EXPECT_EQ(newer.availableVersion, "1.10");
    EXPECT_EQ(newer.downloadURL, "https://example.org/pylonix-1.10.tar.xz");
    EXPECT_EQ(newer.latestVersion, "1.10");
    EXPECT_FALSE(newer.errorMessage);

    for (const char* current : {"1.10", "1.10.0.0", "1.11", "2"}) {
        const UpdateCheckResult upToDate = evaluateUpdateFeed(feed, current);
        EXPECT_FALSE(upToDate.availableVersion) << current;
        EXPECT_FALSE(upToDate.downloadURL) << current;
        EXPECT_FALSE(upToDate.errorMessage) << current;
        EXPECT_EQ(upToDate.latestVersion, "1.10") << current;
    }
}

TEST(UpdateFeedTest, RefusesNonNumericVersionsAndUnsafeLinks) {
    UpdateFeedParseResult feed;
    feed.items = {{"1.0", std::nullopt, "https://example.org/1.0"},
                  {"2.0-beta", std::nullopt, "https://example.org/2.0"}};
    EXPECT_EQ(evaluateUpdateFeed(feed, "0.1").errorMessage, "更新源中的版本号不是数字：2.0-beta");
    EXPECT_TRUE(evaluateUpdateFeed(feed, "current").errorMessage.has_value());

    for (const char* link : {"http://example.org/2.0", "file:///etc/passwd", "javascript:x",
                             "https:relative", "example.org/2.0"}) {
        feed.items = {{"2.0", std::nullopt, link}};
        const UpdateCheckResult result = evaluateUpdateFeed(feed, "1.0");
        EXPECT_TRUE(result.errorMessage.has_value()) << link;
        EXPECT_FALSE(result.availableVersion) << link;
    }
    feed.items = {{"2.0", std::nullopt, std::nullopt}};
    EXPECT_TRUE(evaluateUpdateFeed(feed, "1.0").errorMessage.has_value());
    // An unsafe link on a release that is not newer does not matter.
    feed.items = {{"1.0", std::nullopt, "http://example.org/1.0"}};
    EXPECT_FALSE(evaluateUpdateFeed(feed, "1.0").errorMessage);
}

}  // namespace
}  // namespace pylonix::linux_platform

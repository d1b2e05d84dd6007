#include "platform/linux/updates/update_feed_check.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QTimer>

#include "loopback_http_server.h"

namespace pylonix::linux_platform {
namespace {

using testing::appcast;
using testing::LoopbackHttpServer;

class UpdateFeedCheckTest : public ::testing::Test {
protected:
    // Runs one check and waits for its result; the guard only keeps a broken check from
    // hanging the suite.
    UpdateCheckResult check(const QUrl& url, const std::string& currentVersion = "1.4") {
        std::optional<UpdateCheckResult> result;
        QEventLoop loop;
        checkUpdateFeed(network, url, currentVersion, limits, [&](UpdateCheckResult found) {
            result = std::move(found);
            loop.quit();
        });
        EXPECT_FALSE(result.has_value()) << "the result came before the call returned";
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        loop.exec();
        EXPECT_TRUE(result.has_value()) << "no result";
        return result.value_or(failedUpdateCheck("no result"));
    }

    void SetUp() override { ASSERT_TRUE(server.isListening()); }

    QNetworkAccessManager network;
    LoopbackHttpServer server;
    UpdateFeedLimits limits;
};

TEST_F(UpdateFeedCheckTest, ComparesTheFeedWithTheRunningVersion) {
    server.response.body = appcast("1.10.0", "1.10", "https://example.org/download/1.10");
    const UpdateCheckResult newer = check(server.url(), "1.9");
    EXPECT_EQ(newer.availableVersion, "1.10");
    EXPECT_EQ(newer.downloadURL, "https://example.org/download/1.10");
    EXPECT_FALSE(newer.errorMessage);

    const UpdateCheckResult equal = check(server.url(), "1.10");
    EXPECT_EQ(equal.latestVersion, "1.10");
    EXPECT_FALSE(equal.availableVersion);
    EXPECT_FALSE(equal.errorMessage);

    const UpdateCheckResult older = check(server.url(), "2.0");
    EXPECT_FALSE(older.availableVersion);
    EXPECT_FALSE(older.errorMessage);
    EXPECT_EQ(server.requestCount, 3);
}

TEST_F(UpdateFeedCheckTest, BrokenFeedsFailTheCheck) {
    server.response.body = "<rss><channel><item><version>2.0</version></channel></rss>";
    EXPECT_TRUE(check(server.url()).errorMessage->starts_with("更新源格式错误"));

    server.response.body = appcast("2.0.x", "2.0", "https://example.org/2.0");
    EXPECT_EQ(check(server.url()).errorMessage, "更新源中的版本号不是数字：2.0.x");

    server.response.body = appcast("2.0", "2.0", "http://example.org/2.0");
    const UpdateCheckResult insecure = check(server.url());
    EXPECT_TRUE(insecure.errorMessage->find("不是 https") != std::string::npos);
    EXPECT_FALSE(insecure.availableVersion);
    EXPECT_FALSE(insecure.downloadURL);
}

TEST_F(UpdateFeedCheckTest, HttpErrorsFailTheCheck) {
    server.response = {404, "Not Found", "<html>gone</html>", {}, false, true};
    EXPECT_EQ(check(server.url()).errorMessage, "更新服务器返回错误：HTTP 404 Not Found");
    server.response = {503, "Service Unavailable", "", {}, false, true};
    EXPECT_EQ(check(server.url()).errorMessage, "更新服务器返回错误：HTTP 503 Service Unavailable");
}

TEST_F(UpdateFeedCheckTest, ASlowServerTimesOut) {
    limits.timeout = std::chrono::milliseconds(200);
    server.response.stall = true;
    EXPECT_EQ(check(server.url()).errorMessage, "获取更新源超时（0.2 秒）。");
    EXPECT_EQ(server.requestCount, 1);
}

TEST_F(UpdateFeedCheckTest, AnOversizedFeedIsRefused) {
    limits.maximumBytes = 4096;
    QByteArray padding(5000, ' ');
    server.response.body = appcast("2.0", "2.0", "https://example.org/2.0") + padding;
    EXPECT_EQ(check(server.url()).errorMessage, "更新源过大（超过 4096 字节）。");

    // A server that announces no length and never ends the body is cut off while reading,
    // long before the time-out.
    limits.timeout = std::chrono::seconds(15);
    server.response.body = "<rss><channel>" + QByteArray(8000, ' ');
    server.response.announcesLength = false;
    server.response.closes = false;
    EXPECT_EQ(check(server.url()).errorMessage, "更新源过大（超过 4096 字节）。");
}

TEST_F(UpdateFeedCheckTest, OnlyHttpsOrLoopbackAddressesAreFetched) {
    for (const char* url : {"http://example.org/feed.xml", "ftp://127.0.0.1/feed.xml",
                            "file:///tmp/feed.xml", "not a url", ""}) {
        const UpdateCheckResult result = check(QUrl(url));
        EXPECT_TRUE(result.errorMessage.has_value()) << url;
    }
    EXPECT_EQ(server.requestCount, 0);
    EXPECT_EQ(feedURLProblem(QUrl("https://example.org/feed.xml")), std::nullopt);
    EXPECT_EQ(feedURLProblem(QUrl("http://localhost:8080/feed.xml")), std::nullopt);
    EXPECT_EQ(feedURLProblem(QUrl("http://[::1]/feed.xml")), std::nullopt);
    EXPECT_EQ(feedURLProblem(QUrl("http://127.8.0.1/feed.xml")), std::nullopt);
    EXPECT_TRUE(feedURLProblem(QUrl("http://127.0.0.1.example.org/feed.xml")));
}

TEST_F(UpdateFeedCheckTest, RedirectsOnlyToAcceptableAddresses) {
    server.response = {302, "Found", "", "Location: http://example.org/feed.xml\r\n", false, true};
    const UpdateCheckResult result = check(server.url());
    ASSERT_TRUE(result.errorMessage);
    EXPECT_TRUE(result.errorMessage->starts_with("更新源重定向到不允许的地址"))
        << *result.errorMessage;

    LoopbackHttpServer target;
    target.response.body = appcast("2.0", "2.0", "https://example.org/2.0");
    server.response.extraHeaders = "Location: " + target.url().toEncoded() + "\r\n";
    EXPECT_EQ(check(server.url()).availableVersion, "2.0");
}

}  // namespace
}  // namespace pylonix::linux_platform

#include "platform/linux/updates/update_feed_check.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QTimer>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "loopback_http_server.h"
#include "platform/linux/updates/server_text.h"

namespace pylonix::linux_platform {
namespace {

using testing::appcast;
using testing::LoopbackHttpServer;

// A field of /proc/self/status in bytes ("VmRSS", "VmHWM"); -1 when missing.
long long statusBytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(field + ":")) return std::stoll(line.substr(field.size() + 1)) * 1024;
    }
    return -1;
}

// How far this process's resident memory rose above its size before `work` at its highest
// while `work` ran, by the kernel's own accounting: the peak is reset first (clear_refs 5).
long long residentGrowth(const std::function<void()>& work) {
    const bool peakReset = static_cast<bool>(std::ofstream("/proc/self/clear_refs") << "5");
    const long long before = statusBytes("VmRSS");
    work();
    const long long after = statusBytes(peakReset ? "VmHWM" : "VmRSS");
    return after - before;
}

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

// A server that sends a chunked body for ever: the whole response counts against the cap as it
// arrives, the reply is abandoned there, and memory stays within a few MiB of it.
TEST_F(UpdateFeedCheckTest, AnEndlessChunkedFeedIsCutOffAtTheCapInLittleMemory) {
    server.response.endlessChunks = true;
    UpdateCheckResult result;
    const long long growth = residentGrowth([&] { result = check(server.url()); });
    EXPECT_EQ(result.errorMessage, "更新源过大（超过 1048576 字节）。");
    EXPECT_LT(growth, 16LL * 1024 * 1024);
    RecordProperty("residentGrowthKiB", std::to_string(growth / 1024));
    EXPECT_EQ(server.requestCount, 1);
}

// Each hop is a server of its own (one connection each, as with real redirects between hosts).
TEST_F(UpdateFeedCheckTest, RedirectLoopsAndLongChainsHaveTheirOwnMessages) {
    std::vector<std::unique_ptr<LoopbackHttpServer>> hops;
    for (int i = 0; i < 8; ++i) hops.push_back(std::make_unique<LoopbackHttpServer>());
    const auto redirect = [](LoopbackHttpServer& from, const LoopbackHttpServer& to) {
        from.response = {302,   "Found", "moved", "Location: " + to.url().toEncoded() + "\r\n",
                         false, true};
    };
    // A loop through two servers: back to the first address.
    redirect(*hops[0], *hops[1]);
    redirect(*hops[1], *hops[0]);
    EXPECT_EQ(check(hops[0]->url()).errorMessage,
              "更新源的重定向形成了循环：" + hops[0]->url().toString().toStdString());
    EXPECT_EQ(hops[0]->requestCount + hops[1]->requestCount, 2);

    // A chain of seven redirects: the sixth is refused.
    for (int i = 0; i < 7; ++i) redirect(*hops[i], *hops[i + 1]);
    hops[7]->response.body = appcast("2.0", "2.0", "https://example.org/2.0");
    EXPECT_EQ(check(hops[0]->url()).errorMessage, "更新源的重定向次数过多（超过 5 次）。");
    EXPECT_EQ(hops[5]->requestCount, 1);
    EXPECT_EQ(hops[6]->requestCount, 0);  // never asked

    // Five are followed.
    EXPECT_EQ(check(hops[2]->url()).availableVersion, "2.0");
}

TEST_F(UpdateFeedCheckTest, OnlyAWholeFeedIsParsed) {
    const QByteArray feed = appcast("2.0", "2.0", "https://example.org/2.0");
    server.response = {206, "Partial Content", feed, "Content-Range: bytes 0-99/400\r\n", false,
                       true};
    EXPECT_EQ(check(server.url()).errorMessage, "更新服务器返回错误：HTTP 206 Partial Content");
    server.response = {399, "Odd", feed, {}, false, true};
    EXPECT_EQ(check(server.url()).errorMessage, "更新服务器返回错误：HTTP 399 Odd");
    server.response = {204, "No Content", "", {}, false, true};
    EXPECT_EQ(check(server.url()).errorMessage, "更新服务器返回错误：HTTP 204 No Content");
}

// Versions are short texts; whatever else a server says is shortened before it is shown.
TEST_F(UpdateFeedCheckTest, OversizedVersionsAreRefusedAndServerTextsShortened) {
    QByteArray manyParts = "1";
    for (int i = 0; i < 10000; ++i) manyParts += ".1";
    server.response.body = appcast(manyParts, "2.0", "https://example.org/2.0");
    EXPECT_EQ(check(server.url()).errorMessage, "更新源中的版本号过长（超过 64 个字符）。");
    server.response.body = appcast("2.0", QByteArray(65, 'x'), "https://example.org/2.0");
    EXPECT_EQ(check(server.url()).errorMessage, "更新源中的版本号过长（超过 64 个字符）。");
    const QByteArray longest = QByteArray("2.") + QByteArray(62, '0');  // 64 characters
    server.response.body = appcast(longest, longest, "https://example.org/2.0");
    EXPECT_EQ(check(server.url()).availableVersion, longest.toStdString());

    server.response = {500, QByteArray(100 * 1024, 'r'), "", {}, false, true};
    const auto message = check(server.url()).errorMessage.value_or("");
    EXPECT_EQ(message, "更新服务器返回错误：HTTP 500 " + std::string(80, 'r') + "…");
}

TEST(ServerTextTest, CutsAfterTheLimitNeverInsideACharacter) {
    EXPECT_EQ(shortenedServerText("abc", 3), "abc");
    EXPECT_EQ(shortenedServerText("abcd", 3), "abc…");
    EXPECT_EQ(shortenedServerText("版本号过长", 2), "版本…");
    EXPECT_EQ(shortenedServerText("", 0), "");
    EXPECT_EQ(characterCount("版本 1.0"), 6u);
    EXPECT_EQ(characterCount("\xff\xfe"), 2u);  // stray bytes count one each
}

}  // namespace
}  // namespace pylonix::linux_platform

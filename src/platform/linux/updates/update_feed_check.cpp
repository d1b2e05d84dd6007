#include "platform/linux/updates/update_feed_check.h"

#include <QByteArray>
#include <QHostAddress>
#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <memory>
#include <vector>

#include "platform/linux/updates/server_text.h"

namespace pylonix::linux_platform {
namespace {

bool isLoopbackHost(const QString& host) {
    if (host.compare(u"localhost", Qt::CaseInsensitive) == 0) return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

constexpr int kMaximumRedirects = 5;

// What Qt Network buffers of a reply before it stops reading from the connection; the fetch
// drains it as it fills, so memory stays within this and the feed's cap.
constexpr qint64 kReadBufferBytes = 64 * 1024;

std::string shortened(const QString& text) {
    return shortenedServerText(text.toStdString());
}

// The state of one fetch, shared by the reply's handlers.
struct FeedFetch {
    QByteArray body;
    std::optional<std::string> failure;
    std::function<void(UpdateCheckResult)> done;
    std::string currentVersion;
    std::size_t maximumBytes = 0;
    std::vector<QUrl> visited;         // the request's address and every redirect target so far
    QPointer<QNetworkReply> inFlight;  // the request in flight
    QPointer<QTimer> timer;            // the whole check's time limit
    bool finished = false;

    std::string tooLargeMessage() const {
        return "更新源过大（超过 " + std::to_string(maximumBytes) + " 字节）。";
    }

    void fail(QNetworkReply* reply, std::string message) {
        if (!failure) failure = std::move(message);
        reply->abort();
    }

    // Moves what the reply holds into the body, never more than one byte past the cap: the
    // whole response counts as it arrives, however it is sent. False once over the cap.
    bool drain(QNetworkReply* reply) {
        while (reply->bytesAvailable() > 0) {
            const qint64 room = static_cast<qint64>(maximumBytes) + 1 - body.size();
            if (room <= 0) break;
            const QByteArray chunk = reply->read(std::min(room, kReadBufferBytes));
            if (chunk.isEmpty()) break;
            body += chunk;
        }
        return static_cast<std::size_t>(body.size()) <= maximumBytes;
    }
};

std::string describeStatus(QNetworkReply* reply, int status) {
    std::string message = "更新服务器返回错误：HTTP " + std::to_string(status);
    const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    if (!reason.isEmpty()) message += " " + shortened(reason);
    return message;
}

std::string describeNetworkFailure(QNetworkReply* reply) {
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() >= 400) return describeStatus(reply, status.toInt());
    return "无法获取更新源：" + shortened(reply->errorString());
}

}  // namespace

std::optional<std::string> feedURLProblem(const QUrl& url) {
    const std::string text = url.toString().toStdString();
    if (!url.isValid() || url.host().isEmpty()) {
        return "更新源地址无效：" + shortenedServerText(text);
    }
    if (url.scheme() == u"https") return std::nullopt;
    if (url.scheme() == u"http" && isLoopbackHost(url.host())) return std::nullopt;
    return "更新源地址必须是 https 地址：" + shortenedServerText(text);
}

namespace {

// Why a redirect to `target` is not followed; nothing when it is.
std::optional<std::string> redirectProblem(const FeedFetch& fetch, const QUrl& target) {
    if (auto problem = feedURLProblem(target)) return "更新源重定向到不允许的地址：" + *problem;
    if (std::find(fetch.visited.begin(), fetch.visited.end(), target) != fetch.visited.end()) {
        return "更新源的重定向形成了循环：" + shortenedServerText(target.toString().toStdString());
    }
    if (fetch.visited.size() > static_cast<std::size_t>(kMaximumRedirects)) {
        return "更新源的重定向次数过多（超过 " + std::to_string(kMaximumRedirects) + " 次）。";
    }
    return std::nullopt;
}

// Ends the check with the failure or the evaluated body; once only.
void finish(FeedFetch& fetch) {
    if (fetch.finished) return;
    fetch.finished = true;
    if (fetch.timer) fetch.timer->deleteLater();
    UpdateCheckResult result =
        fetch.failure
            ? failedUpdateCheck(*fetch.failure)
            : evaluateUpdateFeed(
                  parseUpdateFeed(std::string_view(fetch.body.constData(),
                                                   static_cast<std::size_t>(fetch.body.size()))),
                  fetch.currentVersion);
    fetch.done(std::move(result));
}

// One request of the check. Redirects are followed here, each as a request of its own, so that
// every reply's read buffer is bounded from its start (Qt 6.4 loses a redirect it follows itself
// for a reply whose buffer is bounded).
void fetchFrom(QNetworkAccessManager& network, const QUrl& url, std::shared_ptr<FeedFetch> fetch) {
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("Accept", "application/rss+xml, application/xml, text/xml");
    QNetworkReply* reply = network.get(request);
    reply->setReadBufferSize(kReadBufferBytes);
    fetch->inFlight = reply;

    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, fetch] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status == 200 && length.isValid() && length.toULongLong() > fetch->maximumBytes) {
            fetch->fail(reply, fetch->tooLargeMessage());
        }
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, fetch] {
        if (fetch->failure) return;
        // A redirect's body is not the feed's, but is bounded all the same.
        if (!fetch->drain(reply)) fetch->fail(reply, fetch->tooLargeMessage());
    });
    QObject::connect(reply, &QNetworkReply::finished, reply, [&network, reply, fetch] {
        reply->deleteLater();
        if (fetch->finished || fetch->inFlight != reply) return;
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QVariant location = reply->attribute(QNetworkRequest::RedirectionTargetAttribute);
        if (!fetch->failure && reply->error() == QNetworkReply::NoError && status >= 300 &&
            status < 400 && location.isValid()) {
            const QUrl target = reply->url().resolved(location.toUrl());
            if (auto problem = redirectProblem(*fetch, target)) {
                fetch->failure = std::move(problem);
            } else {
                fetch->visited.push_back(target);
                fetch->body.clear();
                fetchFrom(network, target, fetch);
                return;
            }
        }
        if (!fetch->failure) {
            if (reply->error() != QNetworkReply::NoError) {
                fetch->failure = describeNetworkFailure(reply);
            } else if (status != 200) {
                // Only a whole feed is read: not a part (206), not a redirect left unfollowed.
                fetch->failure = describeStatus(reply, status);
            } else if (!fetch->drain(reply)) {
                fetch->failure = fetch->tooLargeMessage();
            }
        }
        finish(*fetch);
    });
}

}  // namespace

void checkUpdateFeed(QNetworkAccessManager& network, const QUrl& feedURL,
                     std::string currentVersion, UpdateFeedLimits limits,
                     std::function<void(UpdateCheckResult)> done) {
    if (auto problem = feedURLProblem(feedURL)) {
        QMetaObject::invokeMethod(
            &network,
            [done = std::move(done), message = std::move(*problem)] {
                done(failedUpdateCheck(message));
            },
            Qt::QueuedConnection);
        return;
    }

    auto fetch = std::make_shared<FeedFetch>();
    fetch->done = std::move(done);
    fetch->currentVersion = std::move(currentVersion);
    fetch->maximumBytes = limits.maximumBytes;
    fetch->visited.push_back(feedURL);

    // One limit for the whole check, redirects included.
    fetch->timer = new QTimer(&network);
    fetch->timer->setSingleShot(true);
    QObject::connect(fetch->timer, &QTimer::timeout, fetch->timer, [fetch, limits] {
        const QString seconds =
            QString::number(static_cast<double>(limits.timeout.count()) / 1000.0, 'g', 3);
        if (fetch->inFlight)
            fetch->fail(fetch->inFlight, "获取更新源超时（" + seconds.toStdString() + " 秒）。");
    });
    fetch->timer->start(limits.timeout);
    fetchFrom(network, feedURL, fetch);
}

}  // namespace pylonix::linux_platform

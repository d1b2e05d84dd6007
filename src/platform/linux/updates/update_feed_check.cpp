#include "platform/linux/updates/update_feed_check.h"

#include <QByteArray>
#include <QHostAddress>
#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <memory>

namespace pylonix::linux_platform {
namespace {

bool isLoopbackHost(const QString& host) {
    if (host.compare(u"localhost", Qt::CaseInsensitive) == 0) return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

// The state of one fetch, shared by the reply's handlers.
struct FeedFetch {
    QByteArray body;
    std::optional<std::string> failure;
    std::function<void(UpdateCheckResult)> done;
    std::string currentVersion;
    std::size_t maximumBytes = 0;
    bool finished = false;

    std::string tooLargeMessage() const {
        return "更新源过大（超过 " + std::to_string(maximumBytes) + " 字节）。";
    }

    void fail(QNetworkReply* reply, std::string message) {
        if (!failure) failure = std::move(message);
        reply->abort();
    }
};

std::string describeNetworkFailure(QNetworkReply* reply) {
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() >= 400) {
        std::string message = "更新服务器返回错误：HTTP " + std::to_string(status.toInt());
        const QString reason =
            reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        if (!reason.isEmpty()) message += " " + reason.toStdString();
        return message;
    }
    return "无法获取更新源：" + reply->errorString().toStdString();
}

}  // namespace

std::optional<std::string> feedURLProblem(const QUrl& url) {
    const std::string text = url.toString().toStdString();
    if (!url.isValid() || url.host().isEmpty()) return "更新源地址无效：" + text;
    if (url.scheme() == u"https") return std::nullopt;
    if (url.scheme() == u"http" && isLoopbackHost(url.host())) return std::nullopt;
    return "更新源地址必须是 https 地址：" + text;
}

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

    QNetworkRequest request(feedURL);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("Accept", "application/rss+xml, application/xml, text/xml");
    QNetworkReply* reply = network.get(request);

    auto fetch = std::make_shared<FeedFetch>();
    fetch->done = std::move(done);
    fetch->currentVersion = std::move(currentVersion);
    fetch->maximumBytes = limits.maximumBytes;

    QObject::connect(reply, &QNetworkReply::redirected, reply, [reply, fetch](const QUrl& target) {
        if (auto problem = feedURLProblem(target)) {
            fetch->fail(reply, "更新源重定向到不允许的地址：" + *problem);
        } else {
            emit reply->redirectAllowed();
        }
    });
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, fetch] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toULongLong() > fetch->maximumBytes) {
            fetch->fail(reply, fetch->tooLargeMessage());
        }
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, fetch] {
        if (fetch->failure) return;
        fetch->body += reply->readAll();
        if (static_cast<std::size_t>(fetch->body.size()) > fetch->maximumBytes) {
            fetch->fail(reply, fetch->tooLargeMessage());
        }
    });

    auto* timer = new QTimer(reply);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, reply, [reply, fetch, limits] {
        const QString seconds =
            QString::number(static_cast<double>(limits.timeout.count()) / 1000.0, 'g', 3);
        fetch->fail(reply, "获取更新源超时（" + seconds.toStdString() + " 秒）。");
    });
    timer->start(limits.timeout);

    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, fetch] {
        if (fetch->finished) return;
        fetch->finished = true;
        reply->deleteLater();
        if (!fetch->failure) {
            if (reply->error() != QNetworkReply::NoError) {
                fetch->failure = describeNetworkFailure(reply);
            } else {
                fetch->body += reply->readAll();
                if (static_cast<std::size_t>(fetch->body.size()) > fetch->maximumBytes) {
                    fetch->failure = fetch->tooLargeMessage();
                }
            }
        }
        UpdateCheckResult result =
            fetch->failure
                ? failedUpdateCheck(*fetch->failure)
                : evaluateUpdateFeed(
                      parseUpdateFeed(std::string_view(
                          fetch->body.constData(), static_cast<std::size_t>(fetch->body.size()))),
                      fetch->currentVersion);
        fetch->done(std::move(result));
    });
}

}  // namespace pylonix::linux_platform

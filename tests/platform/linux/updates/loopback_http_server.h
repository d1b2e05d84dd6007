#pragma once

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <functional>

namespace pylonix::linux_platform::testing {

// A minimal HTTP/1.1 server on 127.0.0.1 for the update feed tests. Each request is answered
// by the current response; a server told to stall reads the request and never answers.
class LoopbackHttpServer {
public:
    struct Response {
        int status = 200;
        QByteArray reason = "OK";
        QByteArray body;
        QByteArray extraHeaders;  // complete header lines, each ending in "\r\n"
        bool stall = false;
        bool announcesLength = true;  // else the body ends when the connection closes
        bool closes = true;           // else the connection stays open after the body
    };

    LoopbackHttpServer() {
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] { accept(); });
        server_.listen(QHostAddress::LocalHost, 0);
    }

    bool isListening() const { return server_.isListening(); }
    QUrl url(const QString& path = QStringLiteral("/feed.xml")) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
    }

    Response response;
    int requestCount = 0;

private:
    void accept() {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                QByteArray& request = pending_[socket];
                request += socket->readAll();
                if (!request.contains("\r\n\r\n")) return;
                pending_.remove(socket);
                ++requestCount;
                if (response.stall) return;
                QByteArray reply = "HTTP/1.1 " + QByteArray::number(response.status) + " " +
                                   response.reason + "\r\n";
                reply += "Content-Type: application/rss+xml\r\n";
                if (response.announcesLength) {
                    reply += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
                }
                reply += response.extraHeaders;
                reply += "Connection: close\r\n\r\n";
                reply += response.body;
                socket->write(reply);
                if (response.closes) socket->disconnectFromHost();
            });
        }
    }

    QTcpServer server_;
    QHash<QTcpSocket*, QByteArray> pending_;
};

// An appcast with one item.
inline QByteArray appcast(const QByteArray& version, const QByteArray& displayVersion,
                          const QByteArray& link) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<rss version=\"2.0\" xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/"
           "sparkle\">\n<channel><title>Pylonix</title>\n<item><title>Pylonix " +
           displayVersion + "</title><sparkle:version>" + version +
           "</sparkle:version><sparkle:shortVersionString>" + displayVersion +
           "</sparkle:shortVersionString><link>" + link + "</link></item>\n</channel></rss>\n";
}

}  // namespace pylonix::linux_platform::testing

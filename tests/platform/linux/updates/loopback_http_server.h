#pragma once

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <functional>

namespace pylonix::linux_platform::testing {

// A minimal HTTP/1.1 server on 127.0.0.1 for the update feed tests. Each request is answered
// by the current response, or by what `route` gives for the request's path when set; a server
// told to stall reads the request and never answers; one told to send endless chunks sends a
// chunked body that never ends, as fast as the client takes it.
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
        bool endlessChunks = false;   // Transfer-Encoding: chunked, 64 KiB chunks for ever
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
    std::function<Response(const QByteArray& path)> route;
    int requestCount = 0;

  private:
    void accept() {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                QByteArray& request = pending_[socket];
                request += socket->readAll();
                if (!request.contains("\r\n\r\n")) return;
                const QByteArray path = request.split(' ').value(1);
                pending_.remove(socket);
                ++requestCount;
                const Response answer = route ? route(path) : response;
                if (answer.stall) return;
                QByteArray reply =
                    "HTTP/1.1 " + QByteArray::number(answer.status) + " " + answer.reason + "\r\n";
                reply += "Content-Type: application/rss+xml\r\n";
                if (answer.endlessChunks) {
                    reply += "Transfer-Encoding: chunked\r\n";
                } else if (answer.announcesLength) {
                    reply += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
                }
                reply += answer.extraHeaders;
                reply += "Connection: close\r\n\r\n";
                if (answer.endlessChunks) {
                    socket->write(reply);
                    sendChunks(socket);
                    QObject::connect(socket, &QTcpSocket::bytesWritten, socket,
                                     [this, socket] { sendChunks(socket); });
                    return;
                }
                reply += answer.body;
                socket->write(reply);
                if (answer.closes) socket->disconnectFromHost();
            });
        }
    }

    // Tops up what waits to be sent to a few chunks, so the server itself holds little.
    static void sendChunks(QTcpSocket* socket) {
        static const QByteArray chunk =
            QByteArray::number(64 * 1024, 16) + "\r\n" + QByteArray(64 * 1024, 'x') + "\r\n";
        while (socket->state() == QAbstractSocket::ConnectedState &&
               socket->bytesToWrite() < 4 * chunk.size()) {
            socket->write(chunk);
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

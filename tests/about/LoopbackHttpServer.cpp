#include "LoopbackHttpServer.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace {

const QByteArray VersionFile = "/downloads/quorvel/version_quorvel.txt";

QByteArray RedirectTo(int AHop) {
    return "HTTP/1.1 302 Found\r\nLocation: /hop/" + QByteArray::number(AHop) +
           "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}

}  // namespace

QByteArray HttpReply(int AStatus, const QByteArray& AContentType, const QByteArray& ABody) {
    return "HTTP/1.1 " + QByteArray::number(AStatus) + " Canned\r\nContent-Type: " + AContentType +
           "\r\nContent-Length: " + QByteArray::number(ABody.size()) + "\r\nConnection: close\r\n\r\n" + ABody;
}

TLoopbackHttpServer::TLoopbackHttpServer() {
    FServer.listen(QHostAddress::LocalHost);
    QObject::connect(&FServer, &QTcpServer::newConnection, &FServer, [this] {
        while (QTcpSocket* socket = FServer.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                // Answer once the request's header is complete.
                if (!socket->property("answered").toBool() && socket->peek(1 << 16).contains("\r\n\r\n")) {
                    socket->setProperty("answered", true);
                    Answer(*socket, socket->readLine().trimmed());
                }
            });
        }
    });
}

void TLoopbackHttpServer::Serve(const QByteArray& AReply, int ARedirects) {
    FReply = AReply;
    FRedirects = ARedirects;
}

QString TLoopbackHttpServer::BaseAddress() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(FServer.serverPort());
}

void TLoopbackHttpServer::Answer(QTcpSocket& ASocket, const QByteArray& ARequestLine) {
    const QByteArray path = ARequestLine.split(' ').value(1);
    RequestedPaths << QString::fromLatin1(path);
    const int hop = path == VersionFile ? 0 : path.mid(QByteArray("/hop/").size()).toInt();
    const QByteArray reply = hop < FRedirects ? RedirectTo(hop + 1) : FReply;
    if (reply.isEmpty()) return;  // never answers
    ASocket.write(reply);
    ASocket.disconnectFromHost();
}

#pragma once
// A small HTTP server on 127.0.0.1 for the update check's tests. It answers
// the version file after a chain of redirects with one canned reply, or
// never answers at all.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

class TLoopbackHttpServer {
public:
    TLoopbackHttpServer();  // listens on any free port

    // The reply to send after ARedirects redirects; an empty reply is never sent.
    void Serve(const QByteArray& AReply, int ARedirects = 0);
    QString BaseAddress() const;
    // The paths of the requests, in order.
    QStringList RequestedPaths;

private:
    void Answer(QTcpSocket& ASocket, const QByteArray& ARequestLine);
    QTcpServer FServer;
    QByteArray FReply;
    int FRedirects = 0;
};

// A whole HTTP/1.1 response that closes the connection.
QByteArray HttpReply(int AStatus, const QByteArray& AContentType, const QByteArray& ABody);

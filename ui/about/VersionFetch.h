#pragma once
// One GET of the version file, blocking the caller while the window keeps
// painting.

#include <QByteArray>
#include <QUrl>

struct TFetchLimits {
    int PhaseTimeoutMs = 60000;          // longest silence while connecting, sending or receiving
    int MaxRedirects = 5;
    qint64 MaxBodyBytes = 64 * 1024;     // a longer body fails: memory stays bounded
};

struct TFetchedReply {
    QByteArray Body;
    QByteArray ContentType;
};

// Sends the GET through a client of its own (system proxy, TLS certificates
// verified, redirects followed but never from HTTPS to HTTP) and waits in a
// local event loop that holds back user input. Throws TUpdateCheckError on a
// failure of the request, a time-out, too many redirects, a body over the
// limit or an HTTP error status.
TFetchedReply FetchReply(const QUrl& AUrl, const TFetchLimits& ALimits);

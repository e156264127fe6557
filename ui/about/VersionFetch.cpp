#include "VersionFetch.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <memory>

#include "UpdateCheckError.h"

namespace {

// The system's proxy configuration for this client only, not the whole program.
class TSystemProxyFactory final : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& AQuery) override {
        return systemProxyForQuery(AQuery);
    }
};

enum class TAbortReason { None, Silence, BodyTooLarge };

// One request in flight: collects the body and aborts it on silence or size.
class TRunningFetch {
public:
    TRunningFetch(QNetworkReply& AReply, const TFetchLimits& ALimits) : FReply(AReply), FLimits(ALimits) {
        // The timer is also the context of every connection, so none outlives this object.
        FSilence.setSingleShot(true);
        FSilence.setInterval(ALimits.PhaseTimeoutMs);
        QObject::connect(&FSilence, &QTimer::timeout, &FSilence, [this] { Abort(TAbortReason::Silence); });
        // Every step of the exchange starts a new phase with a full time-out.
        for (auto phaseSignal : {&QNetworkReply::socketStartedConnecting, &QNetworkReply::requestSent,
                                 &QNetworkReply::metaDataChanged, &QNetworkReply::redirectAllowed})
            QObject::connect(&FReply, phaseSignal, &FSilence, [this] { FSilence.start(); });
        QObject::connect(&FReply, &QNetworkReply::readyRead, &FSilence, [this] { TakeBody(); });
    }

    // Waits for the end of the request in a local loop that repaints the
    // window but holds back user input.
    void Wait() {
        FSilence.start();
        if (FReply.isFinished()) return;
        QEventLoop loop;
        QObject::connect(&FReply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        FSilence.stop();
        if (FAborted == TAbortReason::None) TakeBody();
    }

    TAbortReason Aborted() const { return FAborted; }
    const QByteArray& Body() const { return FBody; }

private:
    void TakeBody() {
        FBody += FReply.readAll();
        if (FBody.size() > FLimits.MaxBodyBytes) Abort(TAbortReason::BodyTooLarge);
        else FSilence.start();
    }

    void Abort(TAbortReason AReason) {
        if (FAborted != TAbortReason::None) return;
        FAborted = AReason;
        FBody.clear();
        FReply.abort();
    }

    QNetworkReply& FReply;
    const TFetchLimits& FLimits;
    QTimer FSilence;
    QByteArray FBody;
    TAbortReason FAborted = TAbortReason::None;
};

QNetworkRequest VersionRequest(const QUrl& AUrl, const TFetchLimits& ALimits) {
    QNetworkRequest request(AUrl);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(ALimits.MaxRedirects);
    return request;
}

// Throws the failure of a finished request, if it failed.
void ThrowIfFailed(const QNetworkReply& AReply, TAbortReason AAborted, const TFetchLimits& ALimits) {
    switch (AAborted) {
        case TAbortReason::Silence:
            throw TUpdateCheckError(QStringLiteral("The server did not answer within %1 ms.").arg(ALimits.PhaseTimeoutMs));
        case TAbortReason::BodyTooLarge:
            throw TUpdateCheckError(QStringLiteral("The reply is larger than %1 bytes.").arg(ALimits.MaxBodyBytes));
        case TAbortReason::None: break;
    }
    if (AReply.error() == QNetworkReply::TooManyRedirectsError)
        throw TUpdateCheckError(QStringLiteral("The server redirected more than %1 times.").arg(ALimits.MaxRedirects));
    // An error page holds no version; saying "current version" for it would
    // report a failure as success.
    const QVariant status = AReply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() >= 400)
        throw TUpdateCheckError(QStringLiteral("The server answered with HTTP status %1.").arg(status.toInt()));
    if (AReply.error() != QNetworkReply::NoError) throw TUpdateCheckError(AReply.errorString());
}

}  // namespace

TFetchedReply FetchReply(const QUrl& AUrl, const TFetchLimits& ALimits) {
    QNetworkAccessManager client;
    client.setProxyFactory(new TSystemProxyFactory);  // the client owns it
    const std::unique_ptr<QNetworkReply> reply(client.get(VersionRequest(AUrl, ALimits)));
    reply->setReadBufferSize(ALimits.MaxBodyBytes + 1);
    TRunningFetch fetch(*reply, ALimits);
    fetch.Wait();
    ThrowIfFailed(*reply, fetch.Aborted(), ALimits);
    return {fetch.Body(), reply->rawHeader("Content-Type")};
}

#include "NetworkAccess.h"

#include <QAtomicInt>
#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace {

// A transfer that receives nothing for this long has stalled.
QAtomicInt g_timeoutMs = 30000;
QAtomicInt g_artworkDeadlineMs = 180000;

} // namespace

namespace NetworkAccess {

QNetworkAccessManager& manager() {
    static QNetworkAccessManager* instance = [] {
        auto* m = new QNetworkAccessManager();
        m->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
        return m;
    }();
    return *instance;
}

QByteArray userAgent() {
    return QByteArrayLiteral("Sleevanta/" SLEEVANTA_VERSION " (Linux; Qt)");
}

int transferTimeout() {
    return g_timeoutMs.loadRelaxed();
}

void setTransferTimeout(int milliseconds) {
    g_timeoutMs.storeRelaxed(milliseconds);
}

int artworkDeadline() {
    return g_artworkDeadlineMs.loadRelaxed();
}

void setArtworkDeadline(int milliseconds) {
    g_artworkDeadlineMs.storeRelaxed(milliseconds);
}

QNetworkRequest request(const QUrl& url) {
    QNetworkRequest req(url);
    req.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    req.setTransferTimeout(transferTimeout());
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                     QNetworkRequest::NoLessSafeRedirectPolicy);
    req.setMaximumRedirectsAllowed(5);
    return req;
}

QNetworkRequest artworkRequest(const QUrl& url) {
    QNetworkRequest req = request(url);
    req.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    return req;
}

ReplyOutcome readFinishedReply(QNetworkReply* reply, bool cancelledByUs, bool tooLarge) {
    ReplyOutcome outcome;
    outcome.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    outcome.errorText = reply->errorString();
    const QNetworkReply::NetworkError error = reply->error();
    if (tooLarge) {
        outcome.failure = Failure::TooLarge;
        return outcome;
    }
    if (error == QNetworkReply::OperationCanceledError) {
        // The transfer timeout aborts the reply the same way the application does.
        outcome.failure = cancelledByUs ? Failure::Cancelled : Failure::TimedOut;
        return outcome;
    }
    if (error == QNetworkReply::TimeoutError) {
        outcome.failure = Failure::TimedOut;
        return outcome;
    }
    // Connection and proxy errors (1-199) mean no whole answer arrived; content,
    // protocol and server errors still carry the answer's status and body.
    const int code = int(error);
    if (code > 0 && code < 200) {
        outcome.failure = Failure::Transport;
        // A channel that saw a reset can poison the next request on it.
        reply->manager()->clearConnectionCache();
        return outcome;
    }
    if (code != 0 && outcome.httpStatus == 0) {
        outcome.failure = Failure::Transport;
        return outcome;
    }
    outcome.body = reply->readAll();
    return outcome;
}

} // namespace NetworkAccess

#include "platform/NetworkAccess.h"

#include <QAtomicInt>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

#include <memory>

namespace {

// A transfer that receives nothing for this long has stalled.
QAtomicInt g_timeoutMs = 30000;
QAtomicInt g_artworkDeadlineMs = 180000;
QAtomicInt g_searchDeadlineMs = 60000;

// Set on a reply that this module ended, and why.
constexpr char kEndedBecause[] = "sleevantaEndedBecause";

constexpr int kMostRedirects = 5;

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

int searchDeadline() {
    return g_searchDeadlineMs.loadRelaxed();
}

void setSearchDeadline(int milliseconds) {
    g_searchDeadlineMs.storeRelaxed(milliseconds);
}

QNetworkRequest request(const QUrl& url) {
    QNetworkRequest req(url);
    req.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    req.setTransferTimeout(transferTimeout());
    // Every redirect is looked at first (guardRedirects); unguarded, none is followed.
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                     QNetworkRequest::UserVerifiedRedirectPolicy);
    req.setMaximumRedirectsAllowed(kMostRedirects + 1); // guardRedirects counts them
    return req;
}

void guardRedirects(QNetworkReply* reply, std::function<bool(const QUrl&)> allowed) {
    auto visited = std::make_shared<QList<QUrl>>(QList<QUrl>{reply->url()});
    QObject::connect(
        reply, &QNetworkReply::redirected, reply, [reply, allowed, visited](const QUrl& to) {
            QString refused;
            if (visited->contains(to) || visited->size() > kMostRedirects) {
                refused = QStringLiteral("the server redirected in a loop");
            } else if (!allowed(to)) {
                refused = QStringLiteral("the server redirected to %1, which is not "
                                         "allowed")
                              .arg(to.toString(QUrl::RemoveQuery | QUrl::RemoveUserInfo));
            }
            if (refused.isEmpty()) {
                visited->append(to);
                Q_EMIT reply->redirectAllowed();
                return;
            }
            reply->setProperty(kEndedBecause, refused);
            reply->abort();
        });
}

void endAtDeadline(QNetworkReply* reply, int milliseconds) {
    QTimer::singleShot(milliseconds, reply, [reply, milliseconds] {
        if (reply->isRunning()) {
            reply->setProperty(
                kEndedBecause,
                QStringLiteral("no answer within %1 seconds").arg((milliseconds + 999) / 1000));
            reply->abort();
        }
    });
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
    const QString endedBecause = reply->property(kEndedBecause).toString();
    if (!endedBecause.isEmpty()) {
        outcome.errorText = endedBecause;
        outcome.failure = endedBecause.startsWith(QLatin1String("no answer")) ? Failure::TimedOut
                                                                              : Failure::Redirect;
        return outcome;
    }
    if (error == QNetworkReply::TooManyRedirectsError ||
        error == QNetworkReply::InsecureRedirectError) {
        outcome.errorText = error == QNetworkReply::TooManyRedirectsError
                                ? QStringLiteral("the server redirected in a loop")
                                : QStringLiteral("the server redirected to an insecure address");
        outcome.failure = Failure::Redirect;
        return outcome;
    }
    if (error == QNetworkReply::OperationCanceledError) {
        // The transfer timeout aborts the reply the same way the application does.
        outcome.failure = cancelledByUs ? Failure::Cancelled : Failure::TimedOut;
        if (!cancelledByUs) {
            outcome.errorText =
                QStringLiteral("no data for %1 seconds").arg((transferTimeout() + 999) / 1000);
        }
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
    if ((code != 0 && outcome.httpStatus == 0) || (code == 0 && outcome.httpStatus < 200)) {
        outcome.failure = Failure::Transport;
        if (code == 0) {
            outcome.errorText = QStringLiteral("the answer ended before it began");
        }
        return outcome;
    }
    outcome.body = reply->readAll();
    return outcome;
}

} // namespace NetworkAccess

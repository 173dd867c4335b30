#include "platform/NetworkAccess.h"

#include <QAtomicInt>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

#include <memory>

namespace {

// Set on a reply that this module ended: why, and as which failure.
constexpr char kEndedBecause[] = "sleevantaEndedBecause";
constexpr char kEndedAs[] = "sleevantaEndedAs";

constexpr int kMostRedirects = 5;

} // namespace

NetworkAccess::NetworkAccess() : m_manager(std::make_unique<QNetworkAccessManager>()) {
    m_manager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

NetworkAccess::~NetworkAccess() = default;

QByteArray NetworkAccess::userAgent() {
    return QByteArrayLiteral("Sleevanta/" SLEEVANTA_VERSION " (Linux; Qt)");
}

QNetworkRequest NetworkAccess::request(const QUrl& url) const {
    QNetworkRequest req(url);
    req.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    req.setTransferTimeout(transferTimeout());
    // Every redirect is looked at first (guardRedirects); unguarded, none is followed.
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                     QNetworkRequest::UserVerifiedRedirectPolicy);
    req.setMaximumRedirectsAllowed(kMostRedirects + 1); // guardRedirects counts them
    return req;
}

void NetworkAccess::guardRedirects(QNetworkReply* reply, std::function<bool(const QUrl&)> allowed) {
    auto visited = std::make_shared<QList<QUrl>>(QList<QUrl>{reply->url()});
    QObject::connect(
        reply, &QNetworkReply::redirected, reply, [reply, allowed, visited](const QUrl& to) {
            QString refused;
            if (visited->contains(to) || visited->size() > kMostRedirects) {
                refused = tr("the server redirected in a loop");
            } else if (!allowed(to)) {
                refused = tr("the server redirected to %1, which is not allowed")
                              .arg(to.toString(QUrl::RemoveQuery | QUrl::RemoveUserInfo));
            }
            if (refused.isEmpty()) {
                visited->append(to);
                Q_EMIT reply->redirectAllowed();
                return;
            }
            reply->setProperty(kEndedBecause, refused);
            reply->setProperty(kEndedAs, int(Failure::Redirect));
            reply->abort();
        });
}

void NetworkAccess::endAtDeadline(QNetworkReply* reply, int milliseconds) {
    QTimer::singleShot(milliseconds, reply, [reply, milliseconds] {
        if (reply->isRunning()) {
            const int seconds = (milliseconds + 999) / 1000;
            reply->setProperty(kEndedBecause, tr("no answer within %Ln seconds", nullptr, seconds));
            reply->setProperty(kEndedAs, int(Failure::TimedOut));
            reply->abort();
        }
    });
}

QNetworkRequest NetworkAccess::artworkRequest(const QUrl& url) const {
    QNetworkRequest req = request(url);
    req.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    return req;
}

NetworkAccess::ReplyOutcome NetworkAccess::readFinishedReply(QNetworkReply* reply,
                                                             bool cancelledByUs, bool tooLarge) {
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
        outcome.failure = Failure(reply->property(kEndedAs).toInt());
        outcome.pastDeadline = outcome.failure == Failure::TimedOut;
        return outcome;
    }
    if (error == QNetworkReply::TooManyRedirectsError ||
        error == QNetworkReply::InsecureRedirectError) {
        outcome.errorText = error == QNetworkReply::TooManyRedirectsError
                                ? tr("the server redirected in a loop")
                                : tr("the server redirected to an insecure address");
        outcome.failure = Failure::Redirect;
        return outcome;
    }
    if (error == QNetworkReply::OperationCanceledError) {
        // The transfer timeout aborts the reply the same way the application does.
        outcome.failure = cancelledByUs ? Failure::Cancelled : Failure::TimedOut;
        if (!cancelledByUs) {
            outcome.errorText = tr("no data for %Ln seconds", nullptr,
                                   (reply->request().transferTimeout() + 999) / 1000);
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
            outcome.errorText = tr("the answer ended before it began");
        }
        return outcome;
    }
    outcome.body = reply->readAll();
    return outcome;
}

#pragma once

#include <QByteArray>
#include <QNetworkRequest>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

// The one place for request policy: every request of the application is made
// here, with the same user agent, timeout and redirect rules, and every reply
// is classified the same way.
namespace NetworkAccess {

// The shared manager; lives on the thread that first asks for it (the GUI thread).
QNetworkAccessManager& manager();

// A GET request with the application's policy applied.
QNetworkRequest request(const QUrl& url);
// The same for artwork. Artwork loads are cancelled often (rows scrolled away,
// a new search), and an aborted HTTP/2 stream can stall the connection the
// other loads share: artwork goes over HTTP/1.1, where an abort closes only
// its own connection.
QNetworkRequest artworkRequest(const QUrl& url);

QByteArray userAgent();

// Milliseconds without a byte before a transfer counts as stalled (30 s
// unless a test injects another).
int transferTimeout();
void setTransferTimeout(int milliseconds);

// The longest an artwork download may take, however steadily bytes arrive
// (3 minutes unless a test injects another): a server that never stops
// sending is as useless as one that stalls.
int artworkDeadline();
void setArtworkDeadline(int milliseconds);
// The same for a search or lookup (1 minute).
int searchDeadline();
void setSearchDeadline(int milliseconds);

// Follows a reply's redirects only to addresses `allowed` accepts; any other
// is refused and the reply ends (readFinishedReply tells why).
void guardRedirects(QNetworkReply* reply, std::function<bool(const QUrl&)> allowed);
// Ends a reply that has run past its deadline (readFinishedReply tells why).
void endAtDeadline(QNetworkReply* reply, int milliseconds);

enum class Failure {
    None,      // an HTTP answer arrived whole (any status)
    Transport, // no answer: refused, DNS, TLS, reset, truncated
    TimedOut,  // no data within the transfer timeout, or no end by the deadline
    Cancelled, // abandoned by the application
    TooLarge,  // the answer outgrew what the caller accepts
    Redirect,  // redirected in a loop, or to an address that is not allowed
};

struct ReplyOutcome {
    Failure failure = Failure::None;
    int httpStatus = 0;
    QByteArray body;
    QString errorText;
};

// Reads a finished reply. `cancelledByUs` tells an abort the application asked
// for from one the transfer timeout caused.
ReplyOutcome readFinishedReply(QNetworkReply* reply, bool cancelledByUs, bool tooLarge);

} // namespace NetworkAccess

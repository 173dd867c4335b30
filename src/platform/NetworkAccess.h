#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QNetworkRequest>
#include <QUrl>

#include <functional>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

// The one place for request policy: every request of the application is made
// here, with the same user agent, timeout and redirect rules, and every reply
// is classified the same way. Owned by the application context; lives on the
// thread that made it (the GUI thread).
class NetworkAccess {
    Q_DECLARE_TR_FUNCTIONS(NetworkAccess)
public:
    NetworkAccess();
    ~NetworkAccess();
    NetworkAccess(const NetworkAccess&) = delete;
    NetworkAccess& operator=(const NetworkAccess&) = delete;

    QNetworkAccessManager& manager() { return *m_manager; }

    // A GET request with the application's policy applied.
    QNetworkRequest request(const QUrl& url) const;
    // The same for artwork. Artwork loads are cancelled often (rows scrolled
    // away, a new search), and an aborted HTTP/2 stream can stall the
    // connection the other loads share: artwork goes over HTTP/1.1, where an
    // abort closes only its own connection.
    QNetworkRequest artworkRequest(const QUrl& url) const;

    static QByteArray userAgent();

    // Milliseconds without a byte before a transfer counts as stalled (30 s
    // unless a test sets another).
    int transferTimeout() const { return m_transferTimeoutMs; }
    void setTransferTimeout(int milliseconds) { m_transferTimeoutMs = milliseconds; }
    // The longest an artwork download may take, however steadily bytes
    // arrive (3 minutes): a server that never stops sending is as useless as
    // one that stalls.
    int artworkDeadline() const { return m_artworkDeadlineMs; }
    void setArtworkDeadline(int milliseconds) { m_artworkDeadlineMs = milliseconds; }
    // The same for a search or lookup (1 minute).
    int searchDeadline() const { return m_searchDeadlineMs; }
    void setSearchDeadline(int milliseconds) { m_searchDeadlineMs = milliseconds; }

    // Follows a reply's redirects only to addresses `allowed` accepts; any
    // other is refused and the reply ends (readFinishedReply tells why).
    static void guardRedirects(QNetworkReply* reply, std::function<bool(const QUrl&)> allowed);
    // Ends a reply that has run past its deadline (readFinishedReply tells why).
    static void endAtDeadline(QNetworkReply* reply, int milliseconds);

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
        bool pastDeadline = false; // ended by endAtDeadline
    };

    // Reads a finished reply. `cancelledByUs` tells an abort the application
    // asked for from one the transfer timeout caused.
    static ReplyOutcome readFinishedReply(QNetworkReply* reply, bool cancelledByUs, bool tooLarge);

private:
    std::unique_ptr<QNetworkAccessManager> m_manager;
    int m_transferTimeoutMs = 30000;
    int m_artworkDeadlineMs = 180000;
    int m_searchDeadlineMs = 60000;
};

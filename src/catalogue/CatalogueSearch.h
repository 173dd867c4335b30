#pragma once

#include "catalogue/CatalogueItem.h"
#include "catalogue/SearchRequest.h"
#include "catalogue/ServiceOrigins.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class NetworkAccess;
class QNetworkReply;

// How a search ended.
enum class SearchResultKind {
    Completed,        // a JSON object arrived; records may be empty
    UrlNotFormed,     // no request URL could be formed; nothing was sent
    AnswerUnreadable, // HTTP 400 (or another client error or redirect status)
    NotASearchResult, // a 2xx that is no JSON object (a web page, say)
    Offline,          // the catalogue could not be reached
    TimedOut,         // it took the request but did not answer in time (a stall, the deadline)
    Throttled,        // the catalogue refused for its rate limit (403/429)
    Unavailable,      // the service failed (HTTP 500 and above)
};

// The exit status of sleevanta-cli for a search that ended this way.
int commandLineStatus(SearchResultKind kind);

struct SearchOutcome {
    SearchResultKind kind = SearchResultKind::Completed;
    QList<CatalogueItem> records;
    QString detail; // transport error text, for command-line diagnostics
};

// Runs one catalogue search at a time: one GET, the answer parsed on a worker
// thread, the outcome delivered on the thread that owns this object. Starting a
// search abandons the one still running; its callback never runs.
class CatalogueSearch : public QObject {
    Q_OBJECT
public:
    using Callback = std::function<void(const SearchOutcome&)>;

    CatalogueSearch(NetworkAccess& network, const ServiceOrigins& origins,
                    QObject* parent = nullptr);
    ~CatalogueSearch() override;

    // `countryCode` in either case. A store link or a bare catalogue id as the
    // term looks the item up instead of searching. A URL that cannot be formed
    // calls back at once, before start() returns.
    // `entity` narrows the search to one kind of result ("album": the answer
    // holds collections, all of them kept).
    void start(const QString& term, const QString& mediaTitle, const QString& countryCode,
               Callback callback, const QString& entity = {});
    // Runs a request the caller built (album searches, artist listings, lookups
    // of ids or barcodes for a fill) with the same policy; its answer keeps
    // the albums only.
    void fetchAlbums(const QByteArray& encodedUrl, const QString& lowerCountry, Callback callback);
    // Abandons the running search, if any; its callback never runs.
    void cancel();
    bool isRunning() const { return !m_reply.isNull() || m_parsing; }

    // The encoded URL of the latest search that formed one.
    QByteArray lastRequestUrl() const { return m_lastRequestUrl; }

    // Answers larger than this are refused as unreadable.
    static constexpr qint64 kMaxAnswerBytes = 64LL * 1024 * 1024;

private:
    void send(const QUrl& url, const QString& mediaValue, const QString& lowerCountry,
              SearchRequest::AnswerKind kind, Callback callback);
    void handleFinished(QNetworkReply* reply, quint64 generation, const QString& mediaValue,
                        const QString& lowerCountry, SearchRequest::AnswerKind kind,
                        Callback callback);

    NetworkAccess& m_network;
    const ServiceOrigins& m_origins;
    QPointer<QNetworkReply> m_reply;
    quint64 m_generation = 0;
    bool m_parsing = false;
    bool m_tooLarge = false;
    QByteArray m_lastRequestUrl;
};

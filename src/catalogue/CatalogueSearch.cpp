#include "catalogue/CatalogueSearch.h"

#include "catalogue/MediaTables.h"
#include "catalogue/SearchRequest.h"
#include "platform/NetworkAccess.h"

#include <QFutureWatcher>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QtConcurrent/QtConcurrentRun>

int commandLineStatus(SearchResultKind kind) {
    switch (kind) {
    case SearchResultKind::Completed:
        return 0;
    case SearchResultKind::UrlNotFormed:
        return 2;
    case SearchResultKind::AnswerUnreadable:
    case SearchResultKind::NotASearchResult:
        return 3;
    case SearchResultKind::Offline:
    case SearchResultKind::TimedOut:
    case SearchResultKind::Throttled:
    case SearchResultKind::Unavailable:
        return 4;
    }
    return 3;
}

CatalogueSearch::CatalogueSearch(NetworkAccess& network, const ServiceOrigins& origins,
                                 QObject* parent)
    : QObject(parent), m_network(network), m_origins(origins) {}

CatalogueSearch::~CatalogueSearch() {
    cancel();
}

void CatalogueSearch::cancel() {
    ++m_generation;
    m_parsing = false;
    if (m_reply) {
        QNetworkReply* reply = m_reply;
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void CatalogueSearch::start(const QString& term, const QString& mediaTitle,
                            const QString& countryCode, Callback callback, const QString& entity) {
    cancel();
    QString lowerCountry = countryCode.toLower();
    const QString mediaValue = MediaTables::mediaParameter(mediaTitle);
    const ServiceOrigins& origins = m_origins;

    // A store link or a bare id names one item: the lookup endpoint finds it
    // exactly, in the link's storefront when it names one.
    const auto target = SearchRequest::lookupTarget(term);
    QByteArray encoded;
    if (target) {
        if (!target->lowerCountry.isEmpty()) {
            lowerCountry = target->lowerCountry;
        }
        encoded = SearchRequest::buildLookupUrl(origins.search, target->id, lowerCountry);
    } else {
        encoded = SearchRequest::buildSearchUrl(origins.search,
                                                SearchRequest::storeLinkTitle(term).value_or(term),
                                                lowerCountry, mediaValue, entity);
    }
    // Lookups and entity searches answer with collections: none is dropped.
    const bool lookup = target.has_value() || !entity.isEmpty();
    const auto url = SearchRequest::validatedUrl(encoded);
    if (!url) {
        callback(SearchOutcome{SearchResultKind::UrlNotFormed, {}, {}});
        return;
    }
    m_lastRequestUrl = encoded;
    send(*url, mediaValue, lowerCountry,
         lookup ? SearchRequest::AnswerKind::Lookup : SearchRequest::AnswerKind::Search,
         std::move(callback));
}

void CatalogueSearch::fetchAlbums(const QByteArray& encodedUrl, const QString& lowerCountry,
                                  Callback callback) {
    cancel();
    const auto url = SearchRequest::validatedUrl(encodedUrl);
    if (!url) {
        callback(SearchOutcome{SearchResultKind::UrlNotFormed, {}, {}});
        return;
    }
    m_lastRequestUrl = encodedUrl;
    send(*url, QStringLiteral("music"), lowerCountry, SearchRequest::AnswerKind::Albums,
         std::move(callback));
}

void CatalogueSearch::send(const QUrl& url, const QString& mediaValue, const QString& lowerCountry,
                           SearchRequest::AnswerKind kind, Callback callback) {
    const quint64 generation = m_generation;
    const ServiceOrigins& origins = m_origins;
    m_tooLarge = false;
    QNetworkReply* reply = m_network.manager().get(m_network.request(url));
    m_reply = reply;
    NetworkAccess::guardRedirects(
        reply, [origins, from = url](const QUrl& to) { return origins.allowsRedirect(from, to); });
    // However steadily bytes arrive, a search ends.
    NetworkAccess::endAtDeadline(reply, m_network.searchDeadline());
    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64) {
        if (received > kMaxAnswerBytes && reply == m_reply) {
            m_tooLarge = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, generation, mediaValue, lowerCountry, kind, callback] {
                handleFinished(reply, generation, mediaValue, lowerCountry, kind, callback);
            });
}

void CatalogueSearch::handleFinished(QNetworkReply* reply, quint64 generation,
                                     const QString& mediaValue, const QString& lowerCountry,
                                     SearchRequest::AnswerKind kind, Callback callback) {
    reply->deleteLater();
    if (generation != m_generation) {
        return;
    }
    m_reply = nullptr;
    const NetworkAccess::ReplyOutcome outcome =
        NetworkAccess::readFinishedReply(reply, false, m_tooLarge);

    using Failure = NetworkAccess::Failure;
    switch (outcome.failure) {
    case Failure::Transport:
    case Failure::Redirect:
        callback(SearchOutcome{SearchResultKind::Offline, {}, outcome.errorText});
        return;
    case Failure::TimedOut:
        callback(SearchOutcome{SearchResultKind::TimedOut, {}, outcome.errorText});
        return;
    case Failure::TooLarge:
        callback(SearchOutcome{
            SearchResultKind::AnswerUnreadable, {}, QStringLiteral("answer too large")});
        return;
    case Failure::Cancelled:
        return;
    case Failure::None:
        break;
    }

    // The status says whose fault it is before the body is looked at.
    const int status = outcome.httpStatus;
    const QString statusText = QStringLiteral("HTTP status %1").arg(status);
    if (status == 403 || status == 429) {
        callback(SearchOutcome{SearchResultKind::Throttled, {}, statusText});
        return;
    }
    if (status >= 500) {
        callback(SearchOutcome{SearchResultKind::Unavailable, {}, statusText});
        return;
    }
    if (status >= 300) {
        callback(SearchOutcome{SearchResultKind::AnswerUnreadable, {}, statusText});
        return;
    }

    m_parsing = true;
    const ServiceOrigins& origins = m_origins;
    auto* watcher = new QFutureWatcher<SearchRequest::ParsedAnswer>(this);
    connect(watcher, &QFutureWatcher<SearchRequest::ParsedAnswer>::finished, this,
            [this, watcher, generation, callback] {
                watcher->deleteLater();
                if (generation != m_generation) {
                    return;
                }
                m_parsing = false;
                SearchRequest::ParsedAnswer parsed = watcher->result();
                if (!parsed.isJsonObject) {
                    callback(SearchOutcome{SearchResultKind::NotASearchResult,
                                           {},
                                           QStringLiteral("the answer is no JSON object")});
                    return;
                }
                callback(SearchOutcome{SearchResultKind::Completed, std::move(parsed.records), {}});
            });
    watcher->setFuture(
        QtConcurrent::run([body = outcome.body, mediaValue, lowerCountry, origins, kind] {
            return SearchRequest::parseAnswer(body, mediaValue, lowerCountry, origins, kind);
        }));
}

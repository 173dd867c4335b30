#include "sources/store/StoreClient.h"

#include "catalogue/MediaTables.h"
#include "platform/NetworkAccess.h"
#include "sources/store/StoreRequests.h"

#include <QFutureWatcher>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QtConcurrent/QtConcurrentRun>

StoreClient::StoreClient(NetworkAccess& network, const ServiceOrigins& origins, QObject* parent)
    : SourceClient(parent), m_network(network), m_origins(origins) {}

StoreClient::~StoreClient() {
    cancel();
}

void StoreClient::cancel() {
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

void StoreClient::run(const SourceRequest& request, Callback callback) {
    const QString country = request.storefront.toLower();
    const QString& origin = m_origins.search;
    const int limit = 200; // albums in a listing, as capabilities() says
    using Kind = SourceRequest::Kind;
    switch (request.kind) {
    case Kind::Search:
        search(request, std::move(callback));
        return;
    case Kind::Ids:
        fetchAlbums(StoreRequests::buildLookupListUrl(origin, QStringLiteral("id"), request.values,
                                                      country),
                    country, std::move(callback));
        return;
    case Kind::Barcodes:
        fetchAlbums(StoreRequests::buildLookupListUrl(origin, QStringLiteral("upc"), request.values,
                                                      country),
                    country, std::move(callback));
        return;
    case Kind::Listing:
        fetchAlbums(
            !request.values.isEmpty()
                ? StoreRequests::buildLookupListUrl(origin, QStringLiteral("id"), request.values,
                                                    country, QStringLiteral("album"), limit)
                : StoreRequests::buildAlbumSearchUrl(origin, request.term, country, true, limit),
            country, std::move(callback));
        return;
    case Kind::AlbumSearch:
        fetchAlbums(StoreRequests::buildAlbumSearchUrl(origin, request.term, country, false, 50),
                    country, std::move(callback));
        return;
    }
}

void StoreClient::search(const SourceRequest& request, Callback callback) {
    cancel();
    const QString& term = request.term;
    const QString& entity = request.entity;
    QString lowerCountry = request.storefront.toLower();
    // A media title the store does not know never reaches it.
    const QString mediaValue = MediaTables::mediaParameter(request.mediaTitle).value_or(QString());
    const ServiceOrigins& origins = m_origins;

    // A store link or a bare id names one item: the lookup endpoint finds it
    // exactly, in the link's storefront when it names one.
    const auto target = StoreRequests::lookupTarget(term);
    QByteArray encoded;
    if (target) {
        if (!target->lowerCountry.isEmpty()) {
            lowerCountry = target->lowerCountry;
        }
        encoded = StoreRequests::buildLookupUrl(origins.search, target->id, lowerCountry);
    } else {
        encoded = StoreRequests::buildSearchUrl(origins.search,
                                                StoreRequests::storeLinkTitle(term).value_or(term),
                                                lowerCountry, mediaValue, entity);
    }
    // Lookups and entity searches answer with collections: none is dropped.
    const bool lookup = target.has_value() || !entity.isEmpty();
    const auto url = StoreRequests::validatedUrl(encoded);
    if (!url || (!target && mediaValue.isEmpty())) {
        callback(SearchOutcome{SearchResultKind::UrlNotFormed, {}, {}});
        return;
    }
    send(*url, mediaValue, lowerCountry,
         lookup ? StoreRequests::AnswerKind::Lookup : StoreRequests::AnswerKind::Search,
         std::move(callback));
}

void StoreClient::fetchAlbums(const QByteArray& encodedUrl, const QString& lowerCountry,
                              Callback callback) {
    cancel();
    const auto url = StoreRequests::validatedUrl(encodedUrl);
    if (!url) {
        callback(SearchOutcome{SearchResultKind::UrlNotFormed, {}, {}});
        return;
    }
    send(*url, QStringLiteral("music"), lowerCountry, StoreRequests::AnswerKind::Albums,
         std::move(callback));
}

void StoreClient::send(const QUrl& url, const QString& mediaValue, const QString& lowerCountry,
                       StoreRequests::AnswerKind kind, Callback callback) {
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

void StoreClient::handleFinished(QNetworkReply* reply, quint64 generation,
                                 const QString& mediaValue, const QString& lowerCountry,
                                 StoreRequests::AnswerKind kind, Callback callback) {
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
        callback(SearchOutcome{SearchResultKind::AnswerUnreadable, {}, tr("answer too large")});
        return;
    case Failure::Cancelled:
        return;
    case Failure::None:
        break;
    }

    // The status says whose fault it is before the body is looked at.
    const int status = outcome.httpStatus;
    const QString statusText = tr("HTTP status %1").arg(status);
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
    auto* watcher = new QFutureWatcher<StoreRequests::ParsedAnswer>(this);
    connect(watcher, &QFutureWatcher<StoreRequests::ParsedAnswer>::finished, this,
            [this, watcher, generation, callback] {
                watcher->deleteLater();
                if (generation != m_generation) {
                    return;
                }
                m_parsing = false;
                StoreRequests::ParsedAnswer parsed = watcher->result();
                if (!parsed.isJsonObject) {
                    callback(SearchOutcome{SearchResultKind::NotASearchResult,
                                           {},
                                           tr("the answer is no JSON object")});
                    return;
                }
                callback(SearchOutcome{SearchResultKind::Completed, std::move(parsed.records), {}});
            });
    watcher->setFuture(
        QtConcurrent::run([body = outcome.body, mediaValue, lowerCountry, origins, kind] {
            return StoreRequests::parseAnswer(body, mediaValue, lowerCountry, origins, kind);
        }));
}

#pragma once

// A cover source in memory, for the fill's tests: its albums, what it says
// it can be asked, and faults on demand. It answers on the next turn of the
// event loop, with no network and no pacing.
#include "library/AlbumMatcher.h"
#include "sources/CoverSource.h"

#include <QTimer>

class MemorySource : public CoverSource {
public:
    struct Album {
        CatalogueItem item;
        QStringList barcodes;
        QStringList storefronts; // where it is sold; everywhere when empty
    };

    QList<Album> albums;
    SourceCapabilities can;
    int throttled = 0;        // the next requests refused for the rate limit
    bool barcodeLists = true; // false: a list of barcodes finds nothing
    mutable QList<SourceRequest> asked;

    static Album album(qint64 id, const QString& artist, qint64 artistId, const QString& title,
                       const QStringList& barcodes = {}, const QStringList& storefronts = {}) {
        CatalogueItem::Fields fields;
        fields.collectionId = id;
        fields.artistName = artist;
        fields.artistId = artistId;
        fields.collectionName = title;
        fields.entityString = QStringLiteral("music");
        return {CatalogueItem(fields), barcodes, storefronts};
    }

    QString name() const override { return QStringLiteral("the memory"); }
    SourceCapabilities capabilities() const override { return can; }
    SourceEtiquette etiquette() const override { return {0, {1, 1, 1}, 3}; }
    SourceClient* newClient(QObject* parent) const override { return new Client(*this, parent); }
    QList<CoverRung> rungs(const CoverItem&, bool) const override { return {}; }
    bool isArtworkUrl(const QUrl&) const override { return false; }
    bool allowsRedirect(const QUrl&, const QUrl&) const override { return false; }
    std::optional<qint64> linkedItem(const QString&) const override { return std::nullopt; }

    SearchOutcome answer(const SourceRequest& request) const {
        asked.append(request);
        if (throttled > 0) {
            --const_cast<MemorySource*>(this)->throttled;
            return {SearchResultKind::Throttled, {}, {}};
        }
        QList<CatalogueItem> found;
        for (const Album& album : albums) {
            if (holds(request, album)) {
                found.append(album.item);
            }
        }
        return {SearchResultKind::Completed, found, {}};
    }

private:
    bool holds(const SourceRequest& request, const Album& album) const {
        const CatalogueItem& item = album.item;
        const auto named = [](const QString& text) { return AlbumMatcher::normalised(text); };
        if (!album.storefronts.isEmpty() && !album.storefronts.contains(request.storefront)) {
            return false;
        }
        switch (request.kind) {
        case SourceRequest::Kind::Ids:
            return request.values.contains(QString::number(item.collectionId()));
        case SourceRequest::Kind::Barcodes:
            return (barcodeLists || request.values.size() == 1) &&
                   std::any_of(album.barcodes.begin(), album.barcodes.end(),
                               [&](const QString& b) { return request.values.contains(b); });
        case SourceRequest::Kind::Listing:
            return request.values.isEmpty()
                       ? named(item.artistName()) == named(request.term)
                       : request.values.contains(QString::number(item.artistId()));
        case SourceRequest::Kind::AlbumSearch:
        case SourceRequest::Kind::Search:
            return named(request.term).contains(named(item.collectionName())) &&
                   named(request.term).contains(named(item.artistName()));
        }
        return false;
    }

    class Client : public SourceClient {
    public:
        Client(const MemorySource& source, QObject* parent)
            : SourceClient(parent), m_source(source) {}
        void run(const SourceRequest& request, Callback callback) override {
            cancel();
            m_running = true;
            auto* timer = new QTimer(this);
            m_timer = timer;
            timer->setSingleShot(true);
            connect(timer, &QTimer::timeout, this, [this, timer, request, callback] {
                timer->deleteLater();
                m_timer = nullptr;
                m_running = false;
                callback(m_source.answer(request));
            });
            timer->start(0);
        }
        void cancel() override {
            if (m_timer) {
                m_timer->stop();
                m_timer->deleteLater();
                m_timer = nullptr;
            }
            m_running = false;
        }
        bool isRunning() const override { return m_running; }

    private:
        const MemorySource& m_source;
        QTimer* m_timer = nullptr;
        bool m_running = false;
    };
};

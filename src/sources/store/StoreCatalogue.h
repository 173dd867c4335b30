#pragma once

#include "sources/CoverSource.h"
#include "sources/store/ServiceOrigins.h"

class NetworkAccess;

// The iTunes Store catalogue, through its public search service: searches,
// lookups of many album ids or barcodes at once, artists' listings (by name,
// or by artist id, several at once), and artwork in renditions on its
// artwork hosts.
class StoreCatalogue : public CoverSource {
public:
    // `origins` is read at each request: it may be pointed elsewhere (tests).
    StoreCatalogue(NetworkAccess& network, const ServiceOrigins& origins);

    QString name() const override;
    SourceCapabilities capabilities() const override;
    SourceEtiquette etiquette() const override;
    SourceClient* newClient(QObject* parent) const override;

    // High Quality: the original upload (skipped when its path names a
    // layered image, which no decoder reads), the largest sized renditions
    // (9999 then 3000 pixels; the server answers with the largest it has up
    // to that box), then the 600 rendition. Standard Quality: the 600
    // rendition. Links that are no absolute http(s) ones are left out.
    QList<CoverRung> rungs(const CoverItem& item, bool highQuality) const override;
    bool isArtworkUrl(const QUrl& url) const override;
    bool allowsRedirect(const QUrl& from, const QUrl& to) const override;
    std::optional<qint64> linkedItem(const QString& term) const override;

private:
    NetworkAccess& m_network;
    const ServiceOrigins& m_origins;
};

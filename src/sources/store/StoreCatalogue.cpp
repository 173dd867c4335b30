#include "sources/store/StoreCatalogue.h"

#include "sources/store/StoreClient.h"
#include "sources/store/StoreRequests.h"

#include <QCoreApplication>

namespace {

const QString kStandardToken = QStringLiteral("/600x600bb.jpg");

bool isLink(const QUrl& url) {
    return url.isValid() && !url.host().isEmpty() &&
           (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http"));
}

} // namespace

StoreCatalogue::StoreCatalogue(NetworkAccess& network, const ServiceOrigins& origins)
    : m_network(network), m_origins(origins) {}

QString StoreCatalogue::name() const {
    return QCoreApplication::translate("StoreCatalogue", "the iTunes Store");
}

SourceCapabilities StoreCatalogue::capabilities() const {
    SourceCapabilities can;
    can.idLookups = true;
    can.barcodeLookups = true;
    can.artistListings = true;
    can.listingsByArtistId = true;
    can.mostValues = 100;
    can.mostRequestLength = 2000;
    can.listingLimit = 200;
    can.artistsPerListing = 10;
    return can;
}

SourceEtiquette StoreCatalogue::etiquette() const {
    return SourceEtiquette{}; // one request every 3 s; a rate limit waited out 10, 20, 40 times
                              // that
}

SourceClient* StoreCatalogue::newClient(QObject* parent) const {
    return new StoreClient(m_network, m_origins, parent);
}

QList<CoverRung> StoreCatalogue::rungs(const CoverItem& item, bool highQuality) const {
    QList<CoverRung> list;
    const QUrl& standard = item.standardResolutionUrl;
    if (highQuality) {
        const QUrl& original = item.highResolutionUrl;
        if (isLink(original) && !original.path().endsWith(QLatin1String(".lsr"))) {
            list.append({original, true});
        }
        const QString text = standard.toString(QUrl::FullyEncoded);
        if (text.endsWith(kStandardToken)) {
            const QString base = text.chopped(kStandardToken.size());
            for (const char* box : {"/9999x9999bb.jpg", "/3000x3000bb.jpg"}) {
                const QUrl rendition(base + QLatin1String(box), QUrl::StrictMode);
                if (isLink(rendition)) {
                    list.append({rendition, false});
                }
            }
        }
    }
    if (isLink(standard)) {
        list.append({standard, false});
    }
    return list;
}

bool StoreCatalogue::isArtworkUrl(const QUrl& url) const {
    return m_origins.isArtworkUrl(url);
}

bool StoreCatalogue::allowsRedirect(const QUrl& from, const QUrl& to) const {
    return m_origins.allowsRedirect(from, to);
}

std::optional<qint64> StoreCatalogue::linkedItem(const QString& term) const {
    const auto target = StoreRequests::lookupTarget(term.trimmed());
    return target ? std::optional<qint64>(target->id) : std::nullopt;
}

#include "library/FillPlanner.h"

#include "library/AlbumMatcher.h"
#include "library/Barcode.h"

#include <QCoreApplication>
#include <QHash>
#include <QMap>
#include <QSet>

#include <algorithm>
#include <tuple>
#include <vector>

FoundVia CatalogueRequest::via() const {
    switch (kind) {
    case Kind::Ids:
        return FoundVia::Id;
    case Kind::Barcodes:
        return FoundVia::Barcode;
    case Kind::Listing:
        return FoundVia::Listing;
    case Kind::Search:
        return FoundVia::Search;
    }
    return FoundVia::None;
}

SourceRequest CatalogueRequest::toSource(const QString& storefront) const {
    SourceRequest request;
    switch (kind) {
    case Kind::Ids:
        request.kind = SourceRequest::Kind::Ids;
        break;
    case Kind::Barcodes:
        request.kind = SourceRequest::Kind::Barcodes;
        break;
    case Kind::Listing:
        request.kind = SourceRequest::Kind::Listing;
        break;
    case Kind::Search:
        request.kind = SourceRequest::Kind::AlbumSearch;
        break;
    }
    request.values = values;
    request.term = term;
    request.storefront = storefront;
    return request;
}

QString CatalogueRequest::description() const {
    switch (kind) {
    case Kind::Ids:
        return QCoreApplication::translate("FillPlanner", "Looking up %Ln album id(s)", nullptr,
                                           int(values.size()));
    case Kind::Barcodes:
        return QCoreApplication::translate("FillPlanner", "Looking up %Ln barcode(s)", nullptr,
                                           int(albums.size()));
    case Kind::Listing:
        return QCoreApplication::translate("FillPlanner", "Listing the albums of %1").arg(term);
    case Kind::Search:
        return QCoreApplication::translate("FillPlanner", "Searching “%1”").arg(term);
    }
    return {};
}

namespace FillPlanner {

namespace {

// Fills batches of `kind` from (values, albums) pairs, each batch within the
// count and length a request may have.
QList<CatalogueRequest> batches(CatalogueRequest::Kind kind,
                                const QList<std::pair<QStringList, QList<int>>>& items,
                                const SourceCapabilities& can) {
    QList<CatalogueRequest> requests;
    CatalogueRequest batch{kind, {}, {}, {}, {}};
    int length = 120; // origin, path and country
    for (const auto& [values, albums] : items) {
        const int adding = int(values.join(QLatin1Char(',')).size()) + 1;
        if (!batch.values.isEmpty() && (batch.values.size() + values.size() > can.mostValues ||
                                        length + adding > can.mostRequestLength)) {
            requests.append(batch);
            batch = CatalogueRequest{kind, {}, {}, {}, {}};
            length = 120;
        }
        batch.values += values;
        batch.albums += albums;
        length += adding;
    }
    if (!batch.values.isEmpty()) {
        requests.append(batch);
    }
    return requests;
}

bool usableArtist(const QString& artist) {
    const QString key = AlbumMatcher::normalised(artist);
    return key.size() >= 2;
}

} // namespace

QString artistKey(const AlbumFolder& album) {
    return AlbumMatcher::normalised(AlbumMatcher::mainArtist(album.artist()));
}

QList<CatalogueRequest> idRequests(const QList<AlbumFolder>& albums, const QList<int>& indexes,
                                   bool barcodeEach, const SourceCapabilities& can) {
    // The same release in two folders is asked once.
    QMap<qint64, QList<int>> byId;
    QMap<QString, QList<int>> byBarcode;
    QHash<QString, QSet<QString>> barcodesOfTitle;
    for (const int index : indexes) {
        const AlbumFolder& album = albums[index];
        if (album.identity.collectionId > 0 && can.idLookups) {
            byId[album.identity.collectionId].append(index);
        } else if (!album.identity.barcode.isEmpty() && can.barcodeLookups) {
            byBarcode[album.identity.barcode].append(index);
            barcodesOfTitle[AlbumMatcher::parseTitle(album.album()).core].insert(
                album.identity.barcode);
        }
    }
    QList<std::pair<QStringList, QList<int>>> ids;
    for (auto it = byId.begin(); it != byId.end(); ++it) {
        ids.append({{QString::number(it.key())}, it.value()});
    }
    QList<std::pair<QStringList, QList<int>>> together;
    QList<CatalogueRequest> requests = batches(CatalogueRequest::Kind::Ids, ids, can);
    for (auto it = byBarcode.begin(); it != byBarcode.end(); ++it) {
        const QString core = AlbumMatcher::parseTitle(albums[it.value().first()].album()).core;
        // Look-alike titles (a standard and a deluxe edition tagged plainly)
        // are asked one barcode at a time, so that their releases never swap.
        if (barcodeEach || barcodesOfTitle[core].size() > 1) {
            // Where lists are refused, the barcode as it is tagged, alone.
            requests.append(
                CatalogueRequest{CatalogueRequest::Kind::Barcodes,
                                 it.value(),
                                 barcodeEach ? QStringList{it.key()} : Barcode::forms(it.key()),
                                 {},
                                 {}});
        } else {
            together.append({Barcode::forms(it.key()), it.value()});
        }
    }
    return requests + batches(CatalogueRequest::Kind::Barcodes, together, can);
}

CatalogueRequest searchFor(const QList<AlbumFolder>& albums, int index) {
    const AlbumFolder& album = albums[index];
    const QString title = AlbumMatcher::parseTitle(album.album()).text;
    const bool compilation = album.identity.kind == AlbumTags::Identity::Kind::Compilation;
    return CatalogueRequest{CatalogueRequest::Kind::Search,
                            {index},
                            {},
                            compilation ? title : album.artist() + QLatin1Char(' ') + title,
                            {}};
}

QList<CatalogueRequest> nameRequests(const QList<AlbumFolder>& albums, const QList<int>& indexes,
                                     bool listings, const SourceCapabilities& can,
                                     const QHash<QString, qint64>& knownArtists) {
    QMap<QString, QList<int>> byArtist;
    QList<CatalogueRequest> requests;
    for (const int index : indexes) {
        const AlbumFolder& album = albums[index];
        if (listings && can.artistListings &&
            album.identity.kind == AlbumTags::Identity::Kind::Album &&
            usableArtist(album.artist())) {
            byArtist[artistKey(album)].append(index);
        } else {
            requests.append(searchFor(albums, index));
        }
    }
    // Artists whose catalogue id is known (from the tags, or from an album of
    // theirs found by id) are listed several to a request, even for one album.
    CatalogueRequest byIds{CatalogueRequest::Kind::Listing, {}, {}, {}, {}};
    for (auto it = byArtist.cbegin(); it != byArtist.cend(); ++it) {
        const QList<int>& group = it.value();
        qint64 artistId = knownArtists.value(it.key());
        for (const int index : group) {
            artistId = artistId ? artistId : albums[index].identity.artistId;
        }
        if (artistId != 0 && can.listingsByArtistId) {
            byIds.albums += group;
            byIds.values.append(QString::number(artistId));
            byIds.term += (byIds.term.isEmpty() ? QString() : QStringLiteral(", ")) +
                          AlbumMatcher::mainArtist(albums[group.first()].artist());
            if (byIds.values.size() >= can.artistsPerListing) {
                requests.append(
                    std::exchange(byIds, {CatalogueRequest::Kind::Listing, {}, {}, {}, {}}));
            }
        } else if (group.size() < 2) {
            requests.append(searchFor(albums, group.first()));
        } else {
            requests.append(
                CatalogueRequest{CatalogueRequest::Kind::Listing,
                                 group,
                                 {},
                                 AlbumMatcher::mainArtist(albums[group.first()].artist()),
                                 {}});
        }
    }
    if (!byIds.values.isEmpty()) {
        requests.append(byIds);
    }
    return requests;
}

std::optional<QString> disagreement(const AlbumFolder& album, const CatalogueItem& record) {
    const bool compilation = album.identity.kind == AlbumTags::Identity::Kind::Compilation;
    const double artist =
        compilation ? 0.0 : AlbumMatcher::artistSimilarity(album.artist(), record.artistName());
    const double title = AlbumMatcher::titleSimilarity(album.album(), record.collectionName());
    const bool otherVolume = AlbumMatcher::parseTitle(album.album()).numbers !=
                             AlbumMatcher::parseTitle(record.collectionName()).numbers;
    if (otherVolume || (artist < 0.5 && title < 0.5)) {
        return QStringLiteral("%1 – %2").arg(record.artistName(), record.collectionName());
    }
    return std::nullopt;
}

QHash<int, CatalogueItem> assign(const CatalogueRequest& request, const QList<AlbumFolder>& albums,
                                 const QList<CatalogueItem>& answer) {
    QHash<int, CatalogueItem> assigned;
    if (request.kind == CatalogueRequest::Kind::Ids) {
        for (const int index : request.albums) {
            for (const CatalogueItem& record : answer) {
                if (record.collectionId() == albums[index].identity.collectionId) {
                    assigned.insert(index, record);
                }
            }
        }
        return assigned;
    }
    // Each release to the album most like it, so that two never swap.
    std::vector<std::tuple<double, int, qsizetype>> pairs;
    for (const int index : request.albums) {
        for (qsizetype r = 0; r < answer.size(); ++r) {
            pairs.emplace_back(
                AlbumMatcher::titleSimilarity(albums[index].album(), answer[r].collectionName()) +
                    AlbumMatcher::artistSimilarity(albums[index].artist(), answer[r].artistName()),
                index, r);
        }
    }
    std::sort(pairs.begin(), pairs.end(),
              [](const auto& a, const auto& b) { return std::get<0>(a) > std::get<0>(b); });
    QSet<qsizetype> taken;
    for (const auto& pair : pairs) {
        const int index = std::get<1>(pair);
        const qsizetype r = std::get<2>(pair);
        // The same release in two folders goes to both.
        const bool sameRelease =
            std::any_of(request.albums.begin(), request.albums.end(), [&](int other) {
                return other != index &&
                       assigned.value(other).collectionId() == answer[r].collectionId() &&
                       albums[other].identity.barcode == albums[index].identity.barcode;
            });
        if (!assigned.contains(index) && (!taken.contains(r) || sameRelease)) {
            assigned.insert(index, answer[r]);
            taken.insert(r);
        }
    }
    return assigned;
}

} // namespace FillPlanner

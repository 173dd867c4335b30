#pragma once

#include "catalogue/CatalogueItem.h"
#include "library/AlbumScanner.h"
#include "library/FillReport.h"
#include "sources/CoverSource.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One catalogue request of a fill and the albums it serves.
struct CatalogueRequest {
    enum class Kind {
        Ids,      // the source's own album ids, many at once
        Barcodes, // release barcodes, many at once
        Listing,  // artists' albums: by their ids (values), else one artist by name
        Search,   // one album by artist and title
    };
    Kind kind = Kind::Search;
    QList<int> albums;  // the albums it serves, by their place in the run
    QStringList values; // Ids, Barcodes
    QString term;       // Listing: the artists; Search: artist and title
    QString storefront; // where it is asked

    // How an album it serves was found.
    FoundVia via() const;
    // The request as the source is asked it, in `storefront`.
    SourceRequest toSource(const QString& storefront) const;
    // What the run is doing while it waits for the answer.
    QString description() const;
};

// Which requests fill a library's albums with the fewest: exact ids first
// (many in one request), then one listing per artist, then a search per album
// that is left. Pure functions.
namespace FillPlanner {

// An album's artist as listings group them.
QString artistKey(const AlbumFolder& album);

// The albums' id requests, as far as the source `can` look them up:
// collection ids in batches; barcodes in batches (each in the forms a store
// may keep it), but one to a request for albums whose titles look alike (two
// releases then never swap), and all one to a request when `barcodeEach`.
QList<CatalogueRequest> idRequests(const QList<AlbumFolder>& albums, const QList<int>& indexes,
                                   bool barcodeEach, const SourceCapabilities& can);
// One listing for each artist with two or more of these albums (not for
// compilations, nor for an artist name of one letter or only punctuation),
// artists of known id (`knownArtists`: by artistKey) listed together, even
// for one album; the others get a search each. Without `listings`, or where
// the source `can` list no artists, a search each.
QList<CatalogueRequest> nameRequests(const QList<AlbumFolder>& albums, const QList<int>& indexes,
                                     bool listings, const SourceCapabilities& can,
                                     const QHash<QString, qint64>& knownArtists = {});
CatalogueRequest searchFor(const QList<AlbumFolder>& albums, int index);

// Why an exact id's answer is not the album of the folder: its artist and its
// title both disagree with the tags (a wrong barcode, a re-used id), or the
// numbers in the titles differ (another volume). None when it is.
std::optional<QString> disagreement(const AlbumFolder& album, const CatalogueItem& record);

// The answer to an id or barcode request, assigned to its albums (by their
// place in the run): by collection id; barcodes, which the answer does not
// echo, each release to one album, the likest pairs first. An album the
// answer does not hold is left out.
QHash<int, CatalogueItem> assign(const CatalogueRequest& request, const QList<AlbumFolder>& albums,
                                 const QList<CatalogueItem>& answer);

} // namespace FillPlanner

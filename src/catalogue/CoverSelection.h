#pragma once

#include "catalogue/CatalogueItem.h"

#include <QUrl>
#include <QVariantMap>

#include <optional>

// The cover actions, numbered as the cover menu items are tagged and as
// coverActionHelper carries them; the last two act on a library album the
// cover was searched for.
enum class CoverAction : qint64 {
    SaveCoverAs = 0,
    SaveCoverToDownloads = 1,
    ViewCoverInBrowser = 2,
    ViewCoverListing = 3,
    CopyCoverImageToClipboard = 4,
    CopyCoverUrlToClipboard = 5,
    CopyCoverTitleToClipboard = 6,
    SaveIntoAlbumFolder = 7,
    EmbedIntoFiles = 8,
};
inline constexpr int kCoverActionCount = 9;

// The selected catalogue item, as the cover pane needs it. An absent name or
// link is empty.
struct CoverItem {
    QString artistName;
    QString collectionName;
    qint64 collectionId = 0;
    QString entity; // the media value the item stands for ("music", "movie", ...)
    int releaseYear = 0;
    QUrl highResolutionUrl;
    QUrl standardResolutionUrl;
    QUrl listingUrl;    // the store's own listing (a store application's scheme)
    QUrl webBrowserUrl; // the listing on the web
    QUrl thumbnailUrl;  // the row's thumbnail: the preview while the cover loads

    bool operator==(const CoverItem&) const = default;
    // "Artist - Collection", or the collection alone for movies, software and
    // TV seasons; empty without the names.
    QString title() const;
    // The View menu's listing item for the entity, empty when it has none.
    QString listingTitle() const;
};

// The user info of downloadCover, and how its receivers read it.
namespace CoverSelection {

namespace Keys {
inline const QString artistName = QStringLiteral("artistName");
inline const QString collectionId = QStringLiteral("collectionId");
inline const QString collectionName = QStringLiteral("collectionName");
inline const QString entityString = QStringLiteral("entityString");
inline const QString highResolutionUrl = QStringLiteral("highResolutionUrl");
inline const QString iTunesUrl = QStringLiteral("iTunesUrl");
inline const QString standardResolutionUrl = QStringLiteral("standardResolutionUrl");
inline const QString webBrowserUrl = QStringLiteral("webBrowserUrl");
inline const QString thumbnailUrl = QStringLiteral("thumbnailUrl");
inline const QString releaseYear = QStringLiteral("releaseYear");
} // namespace Keys

// The entries for `record`. A link whose text is no absolute URL (the record's
// placeholder sentences) is left out, so receivers see it as absent.
QVariantMap downloadCoverUserInfo(const CatalogueItem& record);

// The item the entries describe: a mistyped entry counts as absent. None
// without either cover URL, or without the entries at all.
std::optional<CoverItem> itemFromUserInfo(const QVariantMap& info);

// A link text as a URL, or none when it is no absolute URL with a host.
std::optional<QUrl> linkUrl(const QString& text);

} // namespace CoverSelection

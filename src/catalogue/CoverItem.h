#pragma once

#include "catalogue/CatalogueItem.h"

#include <QMetaType>
#include <QUrl>

#include <optional>

// The selected catalogue item, as the cover pane needs it: the value the
// search pane hands over when a row is chosen. An absent name or link is
// empty.
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
    // The View menu's listing item for the entity, with its mnemonic, in the
    // user's language; empty when it has none.
    QString listingTitle() const;

    // The item a record describes; none without either cover URL. A link
    // whose text is no absolute URL (the record's placeholder sentences) is
    // left empty.
    static std::optional<CoverItem> of(const CatalogueItem& record);
    // A link text as a URL, or none when it is no absolute URL with a host.
    static std::optional<QUrl> linkUrl(const QString& text);
};

Q_DECLARE_METATYPE(CoverItem)

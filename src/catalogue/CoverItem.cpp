#include "catalogue/CoverItem.h"

#include "platform/TextSafety.h"

#include <QCoreApplication>

QString CoverItem::title() const {
    static const QStringList titledByCollection{QStringLiteral("movie"), QStringLiteral("software"),
                                                QStringLiteral("tvSeason")};
    QString text;
    if (titledByCollection.contains(entity) && !collectionName.isEmpty()) {
        text = collectionName;
    } else if (!artistName.isEmpty() && !collectionName.isEmpty()) {
        text = collectionName + QStringLiteral(" — ") + artistName; // as everywhere: title first
    }
    return TextSafety::withoutControlCharacters(text);
}

QString CoverItem::listingTitle() const {
    if (entity == QLatin1String("software")) {
        return QCoreApplication::translate("CoverItem", "View Cover &Listing in App Store");
    }
    if (entity == QLatin1String("audiobook") || entity == QLatin1String("ebook")) {
        return QCoreApplication::translate("CoverItem", "View Cover &Listing in Books");
    }
    if (entity == QLatin1String("music")) {
        return QCoreApplication::translate("CoverItem", "View Cover &Listing in Music");
    }
    if (entity == QLatin1String("podcast")) {
        return QCoreApplication::translate("CoverItem", "View Cover &Listing in Podcasts");
    }
    return {};
}

std::optional<QUrl> CoverItem::linkUrl(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.isRelative() || url.host().isEmpty()) {
        return std::nullopt;
    }
    return url;
}

std::optional<CoverItem> CoverItem::of(const CatalogueItem& record) {
    const auto link = [](const QString& text) { return linkUrl(text).value_or(QUrl()); };
    CoverItem item;
    item.artistName = record.artistName();
    item.collectionName = record.collectionName();
    item.collectionId = record.collectionId();
    item.entity = record.entityString();
    item.releaseYear =
        record.releaseYear() > 0 && record.releaseYear() < 10000 ? record.releaseYear() : 0;
    item.highResolutionUrl = link(record.highResolutionUrl());
    item.standardResolutionUrl = link(record.standardResolutionUrl());
    item.listingUrl = link(record.iTunesUrl());
    item.webBrowserUrl = link(record.webBrowserUrl());
    item.thumbnailUrl = link(record.artworkUrl());
    if (item.highResolutionUrl.isEmpty() && item.standardResolutionUrl.isEmpty()) {
        return std::nullopt;
    }
    return item;
}

#include "catalogue/CoverSelection.h"

#include "platform/TextSafety.h"

QString CoverItem::title() const {
    static const QStringList titledByCollection{QStringLiteral("movie"), QStringLiteral("software"),
                                                QStringLiteral("tvSeason")};
    QString text;
    if (titledByCollection.contains(entity) && !collectionName.isEmpty()) {
        text = collectionName;
    } else if (!artistName.isEmpty() && !collectionName.isEmpty()) {
        text = artistName + QStringLiteral(" - ") + collectionName;
    }
    return TextSafety::withoutControlCharacters(text);
}

QString CoverItem::listingTitle() const {
    if (entity == QLatin1String("software")) {
        return QStringLiteral("View Cover Listing in App Store");
    }
    if (entity == QLatin1String("audiobook") || entity == QLatin1String("ebook")) {
        return QStringLiteral("View Cover Listing in Books");
    }
    if (entity == QLatin1String("music")) {
        return QStringLiteral("View Cover Listing in Music");
    }
    if (entity == QLatin1String("podcast")) {
        return QStringLiteral("View Cover Listing in Podcasts");
    }
    return {};
}

namespace CoverSelection {

std::optional<QUrl> linkUrl(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.isRelative() || url.host().isEmpty()) {
        return std::nullopt;
    }
    return url;
}

QVariantMap downloadCoverUserInfo(const CatalogueItem& record) {
    QVariantMap info;
    info.insert(Keys::artistName, record.artistName());
    info.insert(Keys::collectionId, QVariant::fromValue<qint64>(record.collectionId()));
    info.insert(Keys::collectionName, record.collectionName());
    info.insert(Keys::entityString, record.entityString());
    info.insert(Keys::releaseYear, QVariant::fromValue<qint64>(record.releaseYear()));
    const std::pair<const QString&, const QString&> links[] = {
        {Keys::highResolutionUrl, record.highResolutionUrl()},
        {Keys::iTunesUrl, record.iTunesUrl()},
        {Keys::standardResolutionUrl, record.standardResolutionUrl()},
        {Keys::webBrowserUrl, record.webBrowserUrl()},
        {Keys::thumbnailUrl, record.artworkUrl()},
    };
    for (const auto& [key, text] : links) {
        if (const auto url = linkUrl(text)) {
            info.insert(key, *url);
        }
    }
    return info;
}

namespace {

QString text(const QVariantMap& info, const QString& key) {
    const QVariant value = info.value(key);
    return value.metaType() == QMetaType::fromType<QString>() ? value.toString() : QString();
}

QUrl url(const QVariantMap& info, const QString& key) {
    const QVariant value = info.value(key);
    const QUrl url = value.metaType() == QMetaType::fromType<QUrl>() ? value.toUrl() : QUrl();
    return url.isValid() ? url : QUrl();
}

} // namespace

std::optional<CoverItem> itemFromUserInfo(const QVariantMap& info) {
    CoverItem item;
    item.artistName = text(info, Keys::artistName);
    item.collectionName = text(info, Keys::collectionName);
    const QVariant id = info.value(Keys::collectionId);
    if (id.typeId() == QMetaType::LongLong || id.typeId() == QMetaType::Int) {
        item.collectionId = id.toLongLong();
    }
    item.entity = text(info, Keys::entityString);
    const QVariant year = info.value(Keys::releaseYear);
    if (year.typeId() == QMetaType::LongLong && year.toLongLong() > 0 &&
        year.toLongLong() < 10000) {
        item.releaseYear = int(year.toLongLong());
    }
    item.highResolutionUrl = url(info, Keys::highResolutionUrl);
    item.standardResolutionUrl = url(info, Keys::standardResolutionUrl);
    item.listingUrl = url(info, Keys::iTunesUrl);
    item.webBrowserUrl = url(info, Keys::webBrowserUrl);
    item.thumbnailUrl = url(info, Keys::thumbnailUrl);
    if (item.highResolutionUrl.isEmpty() && item.standardResolutionUrl.isEmpty()) {
        return std::nullopt;
    }
    return item;
}

} // namespace CoverSelection

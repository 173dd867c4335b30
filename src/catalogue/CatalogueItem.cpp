#include "catalogue/CatalogueItem.h"

QJsonObject CatalogueItem::toJson() const {
    QJsonObject json;
    json[QStringLiteral("artistName")] = m.artistName;
    json[QStringLiteral("artworkUrl")] = m.artworkUrl;
    json[QStringLiteral("collectionId")] = m.collectionId;
    json[QStringLiteral("collectionName")] = m.collectionName;
    json[QStringLiteral("collectionViewUrl")] = m.collectionViewUrl;
    json[QStringLiteral("entityString")] = m.entityString;
    json[QStringLiteral("highResolutionUrl")] = m.highResolutionUrl;
    json[QStringLiteral("iTunesUrl")] = m.iTunesUrl;
    json[QStringLiteral("standardResolutionUrl")] = m.standardResolutionUrl;
    json[QStringLiteral("webBrowserUrl")] = m.webBrowserUrl;
    return json;
}

#pragma once

#include "catalogue/CatalogueItem.h"
#include "sources/store/ServiceOrigins.h"

#include <QJsonObject>
#include <QString>

// The store catalogue's result objects as catalogue items.
namespace StoreItems {

// The item of one result object of an answer, for the search's media value
// (e.g. "music") and lower-case storefront code, its links derived from the
// artwork and listing addresses. Cannot fail: missing sources give
// placeholder texts.
CatalogueItem fromResult(const QJsonObject& result, const QString& mediaValue,
                         const QString& lowerCountry, const ServiceOrigins& origins);

// The identity a result object carries: "collectionId", else "trackId", else 0.
qint64 identityOf(const QJsonObject& result);

} // namespace StoreItems

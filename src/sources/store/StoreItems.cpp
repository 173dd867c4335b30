#include "sources/store/StoreItems.h"

#include "platform/TextSafety.h"

#include <QJsonValue>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

std::optional<QString> stringField(const QJsonObject& object, const QString& key) {
    const QJsonValue v = object.value(key);
    if (!v.isString()) {
        return std::nullopt;
    }
    return v.toString();
}

// Only a JSON number with an exact integer value in range counts. Integers
// are read as integers, so ids above 2^53 keep every digit.
std::optional<qint64> integerField(const QJsonObject& object, const QString& key) {
    const QJsonValue v = object.value(key);
    if (!v.isDouble()) {
        return std::nullopt;
    }
    const QVariant exact = v.toVariant();
    if (exact.typeId() == QMetaType::LongLong) {
        return exact.toLongLong();
    }
    const double d = v.toDouble();
    if (!std::isfinite(d) || std::trunc(d) != d) {
        return std::nullopt;
    }
    // 2^63 itself is out of range; every double below it converts exactly.
    if (d < -9223372036854775808.0 || d >= 9223372036854775808.0) {
        return std::nullopt;
    }
    return static_cast<qint64>(d);
}

} // namespace

namespace StoreItems {

qint64 identityOf(const QJsonObject& result) {
    if (auto id = integerField(result, QStringLiteral("collectionId"))) {
        return *id;
    }
    if (auto id = integerField(result, QStringLiteral("trackId"))) {
        return *id;
    }
    return 0;
}

CatalogueItem fromResult(const QJsonObject& result, const QString& mediaValue,
                         const QString& lowerCountry, const ServiceOrigins& origins) {
    CatalogueItem::Fields record;

    record.artistName = stringField(result, QStringLiteral("artistName"))
                            .value_or(QStringLiteral("No Artist Name"));

    QString collection;
    if (auto name = stringField(result, QStringLiteral("collectionName"))) {
        collection = *name;
    } else if (auto track = stringField(result, QStringLiteral("trackName"))) {
        collection = *track;
    } else {
        collection = QStringLiteral("No Collection Name");
    }
    record.collectionName = TextSafety::withoutControlCharacters(collection);

    record.collectionId = identityOf(result);
    record.artistId = integerField(result, QStringLiteral("artistId")).value_or(0);
    record.explicitness =
        stringField(result, QStringLiteral("collectionExplicitness")).value_or(QString());
    // "2016-05-20T07:00:00Z": the year leads.
    const QString released = stringField(result, QStringLiteral("releaseDate")).value_or(QString());
    record.releaseYear = released.size() >= 4 ? released.left(4).toInt() : 0;
    record.trackCount = int(std::clamp<qint64>(
        integerField(result, QStringLiteral("trackCount")).value_or(0), 0, 10000));

    if (auto source = stringField(result, QStringLiteral("artworkUrl100"))) {
        QString high = *source;
        high.replace(origins.thumbnailPrefix, origins.fullSizePrefix());
        high.remove(QStringLiteral("/100x100bb.jpg"));
        record.highResolutionUrl = high;
        record.standardResolutionUrl = QString(*source).replace(QStringLiteral("100x100bb.jpg"),
                                                                QStringLiteral("600x600bb.jpg"));
        record.artworkUrl = QString(*source).replace(QStringLiteral("100x100bb.jpg"),
                                                     QStringLiteral("200x200bb.jpg"));
    } else {
        record.highResolutionUrl = QStringLiteral("No High Resolution URL");
        record.standardResolutionUrl = QStringLiteral("No Standard Resolution URL");
        record.artworkUrl = QStringLiteral("No Artwork URL");
    }

    record.collectionViewUrl = stringField(result, QStringLiteral("collectionViewUrl"))
                                   .value_or(QStringLiteral("No Collection View URL"));

    record.entityString = mediaValue;

    if (mediaValue == QLatin1String("music")) {
        const QString path = QLatin1Char('/') + lowerCountry + QStringLiteral("/album/") +
                             QString::number(record.collectionId) + QStringLiteral("?app=itunes");
        record.webBrowserUrl = origins.musicWeb + path;
        QString storeOrigin = origins.musicWeb;
        const qsizetype schemeEnd = storeOrigin.indexOf(QStringLiteral("://"));
        storeOrigin.replace(0, schemeEnd < 0 ? 0 : schemeEnd, QStringLiteral("musics"));
        record.iTunesUrl = storeOrigin + path;
    } else {
        std::optional<QString> listing = stringField(result, QStringLiteral("collectionViewUrl"));
        if (!listing) {
            listing = stringField(result, QStringLiteral("trackViewUrl"));
        }
        if (listing) {
            const QString cleaned = QString(*listing).remove(QStringLiteral("?uo=4"));
            record.webBrowserUrl = cleaned;
            record.iTunesUrl = cleaned;
        } else {
            record.webBrowserUrl = QStringLiteral("No Browser URL");
            record.iTunesUrl = QStringLiteral("No iTunes URL");
        }
    }
    return CatalogueItem(std::move(record));
}

} // namespace StoreItems

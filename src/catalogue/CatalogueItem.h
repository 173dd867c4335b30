#pragma once

#include "catalogue/ServiceOrigins.h"

#include <QJsonObject>
#include <QString>

// One catalogue item found by a search, with its titles and derived URLs.
// Built once from a result object and never changed.
class CatalogueItem {
public:
    CatalogueItem() = default;

    // Builds a record from one result object of a search answer, for the
    // search's media value (e.g. "music") and lower-case storefront code.
    // Cannot fail: missing sources give placeholder texts.
    static CatalogueItem fromResult(const QJsonObject& result, const QString& mediaValue,
                                    const QString& lowerCountry, const ServiceOrigins& origins);

    const QString& artistName() const { return m_artistName; }
    const QString& artworkUrl() const { return m_artworkUrl; }
    qint64 collectionId() const { return m_collectionId; }
    const QString& collectionName() const { return m_collectionName; }
    const QString& collectionViewUrl() const { return m_collectionViewUrl; }
    const QString& entityString() const { return m_entityString; }
    const QString& highResolutionUrl() const { return m_highResolutionUrl; }
    const QString& iTunesUrl() const { return m_iTunesUrl; }
    const QString& standardResolutionUrl() const { return m_standardResolutionUrl; }
    const QString& webBrowserUrl() const { return m_webBrowserUrl; }

    // The identity a result object carries: "collectionId", else "trackId", else 0.
    static qint64 identityOf(const QJsonObject& result);

    // The catalogue's artist id (0 when none), its "collectionExplicitness"
    // ("explicit", "cleaned", "notExplicit" or empty) and the year of its
    // release date (0 when none): what tells an album's editions apart.
    qint64 artistId() const { return m_artistId; }
    const QString& explicitness() const { return m_explicitness; }
    int releaseYear() const { return m_releaseYear; }

    // The ten fields under their names.
    QJsonObject toJson() const;

    bool operator==(const CatalogueItem&) const = default;

private:
    QString m_artistName;
    QString m_artworkUrl;
    qint64 m_collectionId = 0;
    QString m_collectionName;
    QString m_collectionViewUrl;
    QString m_entityString;
    QString m_highResolutionUrl;
    QString m_iTunesUrl;
    QString m_standardResolutionUrl;
    QString m_webBrowserUrl;
    qint64 m_artistId = 0;
    QString m_explicitness;
    int m_releaseYear = 0;
};

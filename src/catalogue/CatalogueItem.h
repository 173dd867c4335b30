#pragma once

#include <QJsonObject>
#include <QString>

// One catalogue item a source found, with its titles and links: a plain
// value, made once by the source that read it and never changed.
class CatalogueItem {
public:
    struct Fields {
        QString artistName;
        QString artworkUrl; // the thumbnail
        qint64 collectionId = 0;
        QString collectionName;
        QString collectionViewUrl;
        QString entityString; // the media value it stands for ("music", "movie", ...)
        QString highResolutionUrl;
        QString iTunesUrl; // the listing in the store's own application
        QString standardResolutionUrl;
        QString webBrowserUrl;
        qint64 artistId = 0;  // the source's artist id; 0 when none
        QString explicitness; // "explicit", "cleaned", "notExplicit" or empty
        int releaseYear = 0;  // 0 when none
        int trackCount = 0;   // an album's tracks; 0 when not told

        bool operator==(const Fields&) const = default;
    };

    CatalogueItem() = default;
    explicit CatalogueItem(Fields fields) : m(std::move(fields)) {}

    const QString& artistName() const { return m.artistName; }
    const QString& artworkUrl() const { return m.artworkUrl; }
    qint64 collectionId() const { return m.collectionId; }
    const QString& collectionName() const { return m.collectionName; }
    const QString& collectionViewUrl() const { return m.collectionViewUrl; }
    const QString& entityString() const { return m.entityString; }
    const QString& highResolutionUrl() const { return m.highResolutionUrl; }
    const QString& iTunesUrl() const { return m.iTunesUrl; }
    const QString& standardResolutionUrl() const { return m.standardResolutionUrl; }
    const QString& webBrowserUrl() const { return m.webBrowserUrl; }
    // What tells an album's editions apart.
    qint64 artistId() const { return m.artistId; }
    const QString& explicitness() const { return m.explicitness; }
    int releaseYear() const { return m.releaseYear; }
    int trackCount() const { return m.trackCount; }

    // The ten fields of `search --json` under their names.
    QJsonObject toJson() const;

    bool operator==(const CatalogueItem&) const = default;

private:
    Fields m;
};

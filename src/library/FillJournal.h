#pragma once

#include "catalogue/CatalogueItem.h"
#include "library/AlbumScanner.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>

#include <optional>

// What earlier fills of one library found for each of its album folders, in
// each storefront asked (one storefront's answer never overwrites
// another's): a small JSON file under the XDG state folder, named by a hash of the
// library's path and written atomically. It only saves requests: whether an
// album is covered is always decided from its folder, and deleting the
// journal loses nothing but this memory.
class FillJournal {
public:
    // An album without a confident match is not asked about again for this long.
    static constexpr int kRememberDays = 30;

    struct Entry {
        QString outcome; // "no-match", "ambiguous", "saved", ...
        QDateTime when;
        // What the outcome was decided on.
        QString artist;
        QString album;
        QString barcode;
        QString storefront;
        int rules = 0;
        QList<CatalogueItem> candidates; // ambiguous: what matched alike
    };

    explicit FillJournal(QByteArray libraryRoot);

    // "$XDG_STATE_HOME/Sleevanta/journals/<sha256 of the library's path>.json"
    static QString fileFor(const QByteArray& libraryRoot);
    QString filePath() const { return fileFor(m_root); }

    // Reads the journal. One that is damaged, unreadable or of another library
    // is left aside: the warning to give once, else empty.
    QString load();
    // The earlier outcome that spares asking the catalogue about `album` again:
    // no confident match, within kRememberDays, on the same inputs and rules.
    std::optional<Entry> remembered(const AlbumFolder& album, const QString& storefront,
                                    const QDateTime& now) const;
    void record(const AlbumFolder& album, const QString& outcome, const QString& storefront,
                const QDateTime& now, const QList<CatalogueItem>& candidates = {});
    // Writes the journal whole, or not at all; false when it could not.
    bool save() const;
    bool hasChanges() const { return m_changed; }

private:
    QByteArray keyOf(const AlbumFolder& album) const;

    QByteArray m_root;
    QHash<QByteArray, QHash<QString, Entry>> m_entries; // by album, then storefront
    bool m_changed = false;
};

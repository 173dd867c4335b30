#pragma once

#include "library/AlbumScanner.h"

#include <QObject>

#include <optional>

// The library album a search by hand is for (from the Fill window): the
// shown cover can be saved into its folder under the fill's cover name, or
// embedded into its audio files. The file work runs off the GUI thread; the
// outcome comes back as a status line or as an alert text.
class AlbumTarget : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The album searched for, and the cover name it is saved under (the
    // fill's own when empty); none when no album is searched for.
    void setAlbum(const std::optional<AlbumFolder>& album, const QString& coverName);

    // The album's folder as shown; empty without an album.
    QString folder() const { return m_album ? m_album->path : QString(); }

    // Writes the cover file beside the album's files (and in its disc
    // folders), never replacing one; the Fill window hears of it.
    void saveCover(const QByteArray& jpeg);
    // Puts the cover into the album's files that carry none, each through a
    // checked copy.
    void embedCover(const QByteArray& jpeg);

Q_SIGNALS:
    void changed();
    void succeeded(const QString& status, const QString& path);
    void failed(const QString& alertText);
    // The cover file was written into the album's folder.
    void coverSaved(const QByteArray& folder, const QString& file);

private:
    std::optional<AlbumFolder> m_album;
    QString m_coverName;
};

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
    explicit AlbumTarget(QObject* parent = nullptr);

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

private:
    std::optional<AlbumFolder> m_album;
    QString m_coverName;
};

#pragma once

#include "library/AlbumScanner.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

// A cover into an album: as a new file in its folder and its disc folders
// (never replacing one), and into its audio files that carry none. Blocking:
// for workers.
namespace AlbumCoverWriter {

// The cover's file name for an album: `pattern` with %{artistName} and
// %{collectionName} filled in from the album's names.
QString coverName(const QString& pattern, const AlbumFolder& album);

struct Written {
    enum class Outcome { Written, Taken, Failed };
    Outcome outcome = Outcome::Failed;
    QString path;     // the album folder's new cover
    QString error;    // why not
    QByteArray bytes; // what was written
};
// Writes the cover (as JPEG, a downloaded JPEG as it came) under `name`;
// Taken when the album folder has that name already (another run covered it).
Written writeCover(const AlbumFolder& album, const QString& name, const QByteArray& coverBytes);

struct Embedded {
    int files = 0;        // files the cover went into
    QStringList failed;   // "file: reason"
    bool stopped = false; // the run was stopped before every file was done
};
// Embeds the cover into the album's files that carry none, taking turns with
// other runs in the same folder (`notice` is told once when it waits). When
// `stop` becomes true the file under way is left as it was.
Embedded embedCover(const AlbumFolder& album, const QByteArray& coverBytes, int maxSide,
                    const std::atomic<bool>* stop = nullptr,
                    const std::function<void(const QString&)>& notice = {});

// "Another run is embedding covers in …; waiting for it to finish."
QString waitingNotice(const QString& folder);

} // namespace AlbumCoverWriter

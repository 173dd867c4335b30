#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

// One folder of a music library that directly holds audio files.
struct AlbumFolder {
    QByteArray nativePath; // the folder's path as the file system has it
    QString path;          // the same for people (names that are no UTF-8 show U+FFFD)
    QString artist;        // the album artist, else the most common track artist
    QString album;
    bool fromTags = false; // else taken from the folder names
    QString existingCover; // a cover image already there ("" when none)
};

// Walks a folder tree and reports its album folders as it finds them, one at
// a time, so that a library of ten thousand albums starts reporting at once and
// never sits in memory whole. Symbolic links to folders are followed, each
// folder once (no loops). Tags are read with TagLib; files without tags fall
// back to ".../<Artist>/<Album>/", a trailing " (2016)" or " [FLAC]" dropped.
class AlbumScanner {
public:
    // `coverName`: the file name a run would write; a folder holding it, or
    // cover.*, folder.*, front.*, album.* (jpg, jpeg, png, webp; any case), has
    // a cover already.
    explicit AlbumScanner(QString coverName = QStringLiteral("folder.jpg"));

    // Calls `found` for each album folder below (and at) `root`, depth first,
    // names in order. Returns when done or when `stop` becomes true.
    void scan(const QByteArray& root, const std::function<void(const AlbumFolder&)>& found,
              const std::atomic<bool>& stop) const;

    static bool isAudioFile(const QString& fileName);
    bool isCoverFile(const QString& fileName) const;
    // "Artist", "Album" from ".../Artist/Album (2016)".
    static std::pair<QString, QString> namesFromPath(const QString& folder);
    // The album's artist and title from the tags of its audio files.
    static std::pair<QString, QString> namesFromTags(const QList<QByteArray>& audioFiles);

private:
    QString m_coverName;
};

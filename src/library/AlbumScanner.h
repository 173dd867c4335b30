#pragma once

#include "library/AlbumTags.h"

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

// One album of a music library: a folder that directly holds audio files, or
// one whose audio lies only in disc folders ("CD1", "Disc 2") that name one
// album.
struct AlbumFolder {
    struct CoverFile {
        QString name;
        QSize size; // from its header; invalid when unreadable
    };
    QByteArray nativePath;            // the album's folder as the file system has it
    QString path;                     // the same for people (names that are no UTF-8 show U+FFFD)
    QList<QByteArray> discFolders;    // its disc folders, when its audio lies in them
    QList<QByteArray> audioFiles;     // every audio file of the album
    AlbumTags::Identity identity;     // which album it is (Unknown when nothing says)
    bool fromTags = false;            // else from the folder names
    QString existingCover;            // a cover file already there ("" when none)
    bool embeddedCovers = false;      // every audio file carries its cover
    QList<QByteArray> uncoveredFiles; // files a cover can go into that carry none
    QStringList slowFiles;            // files whose tags took too long, left out
    QString problem;                  // why it cannot be worked on at all
    QList<CoverFile> coverFiles;      // upgrade scans: every cover file players read
    struct Picture {
        QByteArray file;
        QSize size;
    };
    QSize largestPicture;         // upgrade scans: the largest front cover in its files
    QList<Picture> smallPictures; // and the files whose front cover is smaller than asked

    QString artist() const { return identity.artist; }
    QString album() const { return identity.album; }
    // The largest of its cover files (by the shorter side); invalid when none is known.
    QSize largestCoverFile() const;
    // The largest of its covers, files and (with `pictures`) embedded ones.
    QSize largestCover(bool pictures) const;
};

// Walks a folder tree and reports its albums as it finds them. Symbolic links
// to folders are followed, each folder once (no loops). Folders whose names
// begin with a dot are albums like any other, but for the hidden stores of
// other programs (.Trash*, .git, .cache, .AppleDouble, ...); a file whose name
// begins with a dot is never audio. Tags are read with TagReader (bounded,
// stoppable); files without tags fall back to ".../<Artist>/<Album>/".
struct ScanOptions {
    // The file name a run writes; a folder holding it, or cover.*, folder.*,
    // front.*, album.* (jpg, jpeg, png, webp; any case), has a cover already.
    QString coverName = QStringLiteral("cover.jpg");
    // Also read the tags of albums that have a cover file (to embed it).
    bool readCoveredTags = false;
    // Remove the scratch files an ended run of ours left in album folders.
    bool removeScratch = true;
    int tagTimeLimitMs = TagReader::kTimeLimitMs;
    // Above 0: read the size of every cover file from its header.
    int upgradeBelow = 0;
};

class AlbumScanner {
public:
    explicit AlbumScanner(ScanOptions options = ScanOptions());

    // Calls `found` for each album below (and at) `root`, depth first, names
    // in order. Returns when done or when `stop` becomes true.
    void scan(const QByteArray& root, const std::function<void(const AlbumFolder&)>& found,
              const std::atomic<bool>& stop) const;

    // The album that `files` (audio files of `folder`) are, from their own
    // tags alone (the folder's other files are left unread).
    AlbumFolder albumOf(const QByteArray& folder, const QList<QByteArray>& files,
                        const std::atomic<bool>& stop) const;

    static bool isAudioFile(const QByteArray& fileName);
    bool isCoverFile(const QString& fileName) const;

private:
    struct Listing;
    Listing list(const QByteArray& folder) const;
    bool readsTags(const AlbumFolder& album) const;
    QList<TrackTags> namesOnly(AlbumFolder& album, const std::atomic<bool>& stop) const;
    QList<TrackTags> readTracks(const QList<QByteArray>& files, AlbumFolder& album,
                                const std::atomic<bool>& stop) const;
    void identify(AlbumFolder& album, const QList<TrackTags>& tracks) const;
    bool mergeDiscs(const QList<QByteArray>& discs, AlbumFolder& album,
                    const std::atomic<bool>& stop) const;

    ScanOptions m_options;
};

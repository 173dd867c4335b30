#include "library/AlbumScanner.h"

#include "imaging/CoverFileWriter.h"
#include "imaging/PictureFacts.h"
#include "library/AlbumMatcher.h"
#include "library/formats/AudioFormat.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace {

QString display(const QByteArray& nativePath) {
    return QFile::decodeName(nativePath);
}

// Other programs' hidden stores; every other folder is looked into.
bool isPassedOver(const QByteArray& name) {
    static const QList<QByteArray> stores{".git",       ".cache",          ".AppleDouble",
                                          ".fseventsd", ".Spotlight-V100", ".stversions",
                                          ".stfolder",  ".thumbnails"};
    return name.startsWith(".Trash") || stores.contains(name);
}

} // namespace

// A folder's entries, sorted into what they are.
struct AlbumScanner::Listing {
    bool opened = false;
    QList<QByteArray> folders;
    QList<QByteArray> discs; // folders named as discs
    QList<QByteArray> audio;
    QString cover;
    QStringList covers;  // every cover file, in name order
    QStringList tooLong; // entries whose path the system cannot take
};

QSize AlbumFolder::largestCoverFile() const {
    QSize best;
    for (const CoverFile& cover : coverFiles) {
        if (PictureFacts::shorterSide(cover.size) > PictureFacts::shorterSide(best)) {
            best = cover.size;
        }
    }
    return best;
}

QSize AlbumFolder::largestCover(bool pictures) const {
    const QSize file = largestCoverFile();
    return pictures && PictureFacts::shorterSide(largestPicture) > PictureFacts::shorterSide(file)
               ? largestPicture
               : file;
}

AlbumScanner::AlbumScanner(ScanOptions options) : m_options(std::move(options)) {}

bool AlbumScanner::isAudioFile(const QByteArray& fileName) {
    // "._01.mp3" is a macOS metadata file, never audio.
    return !fileName.startsWith('.') && AudioFormats::byFileName(fileName) != nullptr;
}

bool AlbumScanner::isCoverFile(const QString& fileName) const {
    static const QRegularExpression cover(
        QStringLiteral("^(cover|folder|front|album)\\.(jpe?g|png|webp)$"),
        QRegularExpression::CaseInsensitiveOption);
    return cover.match(fileName).hasMatch() ||
           fileName.compare(m_options.coverName, Qt::CaseInsensitive) == 0;
}

AlbumScanner::Listing AlbumScanner::list(const QByteArray& folder) const {
    Listing listing;
    DIR* dir = ::opendir(folder.constData());
    if (!dir) {
        return listing; // no permission: nothing to learn there
    }
    listing.opened = true;
    QList<QByteArray> names;
    bool scratch = false;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != ".." && !isPassedOver(name)) {
            names.append(name);
            scratch |= CoverFileWriter::isScratchName(name);
        }
    }
    ::closedir(dir);
    if (scratch && m_options.removeScratch) {
        CoverFileWriter::removeAbandonedScratchFiles(folder);
    }
    std::sort(names.begin(), names.end());
    for (const QByteArray& name : std::as_const(names)) {
        const QByteArray path = folder + '/' + name;
        struct stat entry {};
        if (::stat(path.constData(), &entry) != 0) {
            if (errno == ENAMETOOLONG) {
                listing.tooLong.append(display(path));
            }
            continue;
        }
        const QString shown = display(name);
        if (S_ISDIR(entry.st_mode)) {
            (AlbumTags::isDiscFolderName(shown) ? listing.discs : listing.folders).append(path);
        } else if (S_ISREG(entry.st_mode) && isAudioFile(name)) {
            listing.audio.append(path);
        } else if (S_ISREG(entry.st_mode) && !name.startsWith('.') && isCoverFile(shown)) {
            listing.cover = listing.cover.isEmpty() ? shown : listing.cover;
            listing.covers.append(shown);
        }
    }
    return listing;
}

QList<TrackTags> AlbumScanner::readTracks(const QList<QByteArray>& files, AlbumFolder& album,
                                          const std::atomic<bool>& stop) const {
    QList<TrackTags> tracks;
    const int below = m_options.upgradeBelow;
    const TagReader reader(stop, m_options.tagTimeLimitMs, below > 0);
    for (const QByteArray& file : files) {
        TrackTags tags = reader.tagsOf(file);
        const int side = PictureFacts::shorterSide(tags.frontCoverSize);
        if (side > PictureFacts::shorterSide(album.largestPicture)) {
            album.largestPicture = tags.frontCoverSize;
        }
        if (side > 0 && side < below) {
            album.smallPictures.append({file, tags.frontCoverSize});
        }
        if (tags.read == TrackTags::Read::Stopped) {
            return {};
        }
        if (tags.read == TrackTags::Read::Slow) {
            album.slowFiles.append(display(file));
        }
        if (tags.embeddable && !tags.hasFrontCover) {
            album.uncoveredFiles.append(file);
        }
        tracks.append(std::move(tags));
    }
    return tracks;
}

void AlbumScanner::identify(AlbumFolder& album, const QList<TrackTags>& tracks) const {
    const bool covered = std::all_of(tracks.begin(), tracks.end(),
                                     [](const TrackTags& t) { return t.hasFrontCover; });
    album.embeddedCovers = !tracks.isEmpty() && covered;
    album.identity = AlbumTags::identify(tracks);
    album.fromTags = album.identity.kind != AlbumTags::Identity::Kind::Unknown;
    if (!album.fromTags) {
        const AlbumTags::Identity named = AlbumTags::fromFolderNames(album.path);
        album.identity.kind = named.kind;
        album.identity.artist = named.artist;
        album.identity.album = named.album;
        album.identity.year = album.identity.year ? album.identity.year : named.year;
    }
}

// A covered album's names, from one track: enough to list it under its artist
// and title, without reading the whole album.
QList<TrackTags> AlbumScanner::namesOnly(AlbumFolder& album, const std::atomic<bool>& stop) const {
    if (album.audioFiles.isEmpty()) {
        return {};
    }
    QList<TrackTags> tracks = readTracks({album.audioFiles.first()}, album, stop);
    for (TrackTags& track : tracks) {
        track.hasFrontCover = false; // one track says nothing of the others' pictures
    }
    // A slow track costs a covered album nothing: its folder names stand in.
    album.uncoveredFiles.clear();
    album.slowFiles.clear();
    album.largestPicture = {};
    album.smallPictures.clear();
    return tracks;
}

bool AlbumScanner::readsTags(const AlbumFolder& album) const {
    return album.existingCover.isEmpty() || m_options.readCoveredTags;
}

bool AlbumScanner::mergeDiscs(const QList<QByteArray>& discs, AlbumFolder& album,
                              const std::atomic<bool>& stop) const {
    // The discs are one album when their tags name one (disc markers aside).
    QSet<QString> titles;
    QList<TrackTags> tracks;
    for (const QByteArray& disc : discs) {
        const Listing listing = list(disc);
        if (readsTags(album)) {
            const QList<TrackTags> part = readTracks(listing.audio, album, stop);
            const AlbumTags::Identity identity = AlbumTags::identify(part);
            if (identity.kind == AlbumTags::Identity::Kind::Mixed) {
                return false;
            }
            if (identity.kind != AlbumTags::Identity::Kind::Unknown) {
                titles.insert(AlbumMatcher::parseTitle(identity.album).core);
            }
            tracks += part;
        }
        album.audioFiles += listing.audio;
    }
    if (titles.size() > 1 || album.audioFiles.isEmpty()) {
        album.audioFiles.clear();
        album.slowFiles.clear();
        album.uncoveredFiles.clear();
        return false; // a box set tagged per disc: albums of their own
    }
    album.discFolders = discs;
    identify(album, readsTags(album) ? tracks : namesOnly(album, stop));
    return true;
}

AlbumFolder AlbumScanner::albumOf(const QByteArray& folder, const QList<QByteArray>& files,
                                  const std::atomic<bool>& stop) const {
    AlbumFolder album;
    album.nativePath = folder;
    album.path = display(folder);
    album.existingCover = list(folder).cover;
    album.audioFiles = files;
    identify(album, readTracks(files, album, stop));
    return album;
}

void AlbumScanner::scan(const QByteArray& root,
                        const std::function<void(const AlbumFolder&)>& found,
                        const std::atomic<bool>& stop) const {
    QSet<QPair<dev_t, ino_t>> visited; // folders seen, however they were reached
    QList<QByteArray> pending{root};
    while (!pending.isEmpty() && !stop.load()) {
        QByteArray folder = pending.takeLast();
        while (folder.size() > 1 && folder.endsWith('/')) {
            folder.chop(1);
        }
        struct stat info {};
        if (::stat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
            visited.contains({info.st_dev, info.st_ino})) {
            continue;
        }
        visited.insert({info.st_dev, info.st_ino});
        const Listing listing = list(folder);
        for (const QString& tooLong : listing.tooLong) {
            AlbumFolder failed;
            failed.path = tooLong;
            failed.problem = QCoreApplication::translate(
                "AlbumScanner", "its path is longer than the system allows");
            found(failed);
        }
        AlbumFolder album;
        album.nativePath = folder;
        album.path = display(folder);
        album.existingCover = listing.cover;
        if (m_options.upgradeBelow > 0) {
            for (const QString& cover : listing.covers) {
                album.coverFiles.append(
                    {cover, PictureFacts::headerSizeOfFile(album.path + QLatin1Char('/') + cover)});
            }
        }
        QList<QByteArray> walked = listing.folders;
        // Audio of its own: an album, its disc folders albums of their own.
        // Audio only in disc folders: one album when they name one.
        const bool discAlbum = listing.audio.isEmpty() && !listing.discs.isEmpty() &&
                               mergeDiscs(listing.discs, album, stop);
        if (!discAlbum) {
            walked += listing.discs;
            std::sort(walked.begin(), walked.end());
        }
        // Depth first, in name order.
        std::for_each(walked.rbegin(), walked.rend(),
                      [&pending](const QByteArray& path) { pending.append(path); });
        if (!listing.audio.isEmpty()) {
            album.audioFiles = listing.audio;
            identify(album, readsTags(album) ? readTracks(album.audioFiles, album, stop)
                                             : namesOnly(album, stop));
        }
        if (!album.audioFiles.isEmpty() && !stop.load()) {
            found(album);
        }
    }
}

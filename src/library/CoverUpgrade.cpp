#include "library/CoverUpgrade.h"

#include "imaging/CoverFileWriter.h"
#include "imaging/ImageCodec.h"
#include "imaging/PictureFacts.h"
#include "library/ChosenCovers.h"
#include "library/CoverEmbedder.h"
#include "library/TagReader.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace CoverUpgrade {

namespace {

constexpr qint64 kLargestCover = 256LL * 1024 * 1024;

QString tr(const char* text) {
    return QCoreApplication::translate("CoverUpgrade", text);
}

// One cover file found in a folder, and what to do with it.
struct Found {
    QByteArray folder;
    QByteArray name;
    bool link = false;
    QByteArray target; // a link's
    QByteArray bytes;  // a file's
    QSize size;
};

QByteArray realFolder(const QByteArray& folder) {
    char resolved[PATH_MAX];
    return ::realpath(folder.constData(), resolved) ? QByteArray(resolved) : folder;
}

std::optional<QByteArray> readBytes(const QByteArray& path) {
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestCover) {
        return std::nullopt;
    }
    return file.readAll();
}

bool isJpeg(const QByteArray& bytes) {
    return bytes.startsWith("\xFF\xD8\xFF");
}

// The cover files of `folder` players read; links to another of them left
// out (their target stands for them), and files that cannot be replaced
// noted.
QList<Found> coversIn(const QByteArray& folder, const QString& coverName, QStringList& notes) {
    const AlbumScanner names(ScanOptions{coverName});
    QList<QByteArray> entries;
    if (DIR* dir = ::opendir(folder.constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (!name.startsWith('.') && names.isCoverFile(QFile::decodeName(name))) {
                entries.append(name);
            }
        }
        ::closedir(dir);
    }
    std::sort(entries.begin(), entries.end());
    const QByteArray real = realFolder(folder);
    QList<Found> found;
    for (const QByteArray& name : std::as_const(entries)) {
        const QByteArray path = folder + '/' + name;
        const QString shown = QFile::decodeName(name);
        struct stat info {};
        if (::lstat(path.constData(), &info) != 0) {
            continue;
        }
        if (S_ISLNK(info.st_mode)) {
            char target[PATH_MAX];
            const ssize_t length = ::readlink(path.constData(), target, sizeof target - 1);
            char resolved[PATH_MAX];
            const bool resolves = ::realpath(path.constData(), resolved) != nullptr;
            const QByteArray to(resolved);
            const QByteArray toName = to.mid(to.lastIndexOf('/') + 1);
            if (resolves && to.left(to.lastIndexOf('/')) == real && entries.contains(toName)) {
                continue; // another cover of the album: replaced as itself
            }
            if (length > 0) {
                found.append({folder, name, true, QByteArray(target, length), {}, {}});
                if (const auto bytes = resolves ? readBytes(to) : std::nullopt) {
                    found.last().size = ImageCodec::pictureSize(*bytes);
                }
            }
            continue;
        }
        if (!S_ISREG(info.st_mode)) {
            continue;
        }
        if (info.st_nlink > 1) {
            notes.append(tr("%1 has several hard links; it was left as it is").arg(shown));
            continue;
        }
        const auto bytes = readBytes(path);
        if (!bytes) {
            notes.append(tr("%1 cannot be read; it was left as it is").arg(shown));
            continue;
        }
        found.append({folder, name, false, {}, *bytes, ImageCodec::pictureSize(*bytes)});
    }
    return found;
}

QSize largest(const QList<Found>& covers) {
    QSize best;
    for (const Found& cover : covers) {
        if (PictureFacts::shorterSide(cover.size) > PictureFacts::shorterSide(best)) {
            best = cover.size;
        }
    }
    return best;
}

// The entries to keep aside for `covers`, and the name each one's
// replacement goes under.
QList<ReplacedCovers::Entry> plan(const QList<Found>& covers, const QByteArray& coverName,
                                  const QByteArray& writtenHash) {
    QList<ReplacedCovers::Entry> entries;
    for (const Found& cover : covers) {
        ReplacedCovers::Entry entry;
        entry.kind =
            cover.link ? ReplacedCovers::Entry::Kind::Link : ReplacedCovers::Entry::Kind::File;
        entry.folder = cover.folder;
        entry.name = cover.name;
        entry.bytes = cover.bytes;
        entry.target = cover.target;
        entry.written = cover.link || isJpeg(cover.bytes) ? cover.name : coverName;
        entry.writtenHash = writtenHash;
        entry.when = QDateTime::currentDateTimeUtc();
        entries.append(entry);
    }
    return entries;
}

// What `cover` would be as an embedded picture.
std::optional<QSize> embeddedSize(const QByteArray& cover, int embedSide) {
    const auto picture = CoverEmbedder::prepare(cover, embedSide);
    return picture ? std::optional<QSize>(ImageCodec::pictureSize(picture->data)) : std::nullopt;
}

} // namespace

QString keepName(Keep keep) {
    switch (keep) {
    case Keep::No:
        return {};
    case Keep::Larger:
        return QStringLiteral("larger");
    case Keep::Different:
        return QStringLiteral("different");
    case Keep::SizeUnknown:
        return QStringLiteral("size-unknown");
    case Keep::Chosen:
        return QStringLiteral("chosen");
    }
    return {};
}

QString keepReason(Keep keep) {
    switch (keep) {
    case Keep::No:
        return {};
    case Keep::Larger:
        return tr("the cover it has is as large as the catalogue's or larger");
    case Keep::Different:
        return tr("a different picture; use choose");
    case Keep::SizeUnknown:
        return tr("size unknown");
    case Keep::Chosen:
        return tr("a cover chosen by hand");
    }
    return {};
}

Keep decide(QSize had, QSize would, bool chosen, bool same) {
    if (chosen) {
        return Keep::Chosen;
    }
    if (!had.isValid()) {
        return Keep::SizeUnknown;
    }
    if (PictureFacts::shorterSide(would) <= PictureFacts::shorterSide(had)) {
        return Keep::Larger;
    }
    return same ? Keep::No : Keep::Different;
}

Smallness smallness(const AlbumFolder& album, int below, bool pictures) {
    const int best = PictureFacts::shorterSide(album.largestCover(pictures));
    return best == 0 ? Smallness::Unknown : best < below ? Smallness::Small : Smallness::Large;
}

namespace {

// The album's largest cover, file or (with pictures) embedded: its size and
// bytes (none for a link).
std::pair<QSize, QByteArray> largestOf(const QList<Found>& covers, const AlbumFolder& album,
                                       const Replacing& how) {
    const auto file = std::max_element(covers.begin(), covers.end(), [](auto& a, auto& b) {
        return PictureFacts::shorterSide(a.size) < PictureFacts::shorterSide(b.size);
    });
    std::pair<QSize, QByteArray> best;
    if (file != covers.end()) {
        best = {file->size, file->bytes};
    }
    if (!how.pictures) {
        return best;
    }
    for (const AlbumFolder::Picture& picture : album.smallPictures) {
        if (PictureFacts::shorterSide(picture.size) > PictureFacts::shorterSide(best.first)) {
            const std::atomic<bool> never = false;
            best = {picture.size, TagReader(how.stop ? *how.stop : never)
                                      .frontCoverOf(picture.file)
                                      .value_or(QByteArray())};
        }
    }
    return best;
}

// The disc folders' covers that are the album's own (the same bytes as one
// of `covers`): they go along; per-disc art stays.
QList<Found> discCopies(const AlbumFolder& album, const QList<Found>& covers,
                        const QString& coverName) {
    QSet<QByteArray> albumHashes;
    for (const Found& found : covers) {
        albumHashes.insert(ReplacedCovers::hashOf(found.bytes));
    }
    QList<Found> copies;
    for (const QByteArray& disc : album.discFolders) {
        QStringList ignored;
        for (const Found& found : coversIn(disc, coverName, ignored)) {
            if (!found.link && albumHashes.contains(ReplacedCovers::hashOf(found.bytes))) {
                copies.append(found);
            }
        }
    }
    return copies;
}

} // namespace

Outcome replace(const AlbumFolder& album, const QByteArray& cover, const Replacing& how,
                ReplacedCovers& keeper) {
    Outcome outcome;
    QList<Found> covers = coversIn(album.nativePath, how.coverName, outcome.notes);
    const QSize would = ImageCodec::pictureSize(cover);
    if (how.mode == Mode::Upgrade) {
        const auto [had, bytes] = largestOf(covers, album, how);
        outcome.before = had;
        const ChosenCovers chosen;
        const bool anyChosen = std::any_of(covers.begin(), covers.end(), [&](const Found& c) {
            return !c.link && chosen.contains(c.bytes);
        });
        // An embedded picture is compared as it would be embedded.
        const bool embeddedBest = had != largest(covers);
        const QSize compared =
            embeddedBest ? embeddedSize(cover, how.embedSide).value_or(QSize()) : would;
        outcome.keep = decide(had, compared, anyChosen || chosen.contains(bytes),
                              PictureFacts::samePicture(bytes, cover));
        if (outcome.keep != Keep::No) {
            return outcome;
        }
        // Only the small ones: a cover as large as the new one stays.
        covers.removeIf([&](const Found& c) {
            return PictureFacts::shorterSide(c.size) >= PictureFacts::shorterSide(would);
        });
    } else {
        outcome.before = largest(covers);
    }
    covers += discCopies(album, covers, how.coverName);
    const QByteArray name = QFile::encodeName(how.coverName);
    const QList<ReplacedCovers::Entry> entries = plan(covers, name, ReplacedCovers::hashOf(cover));
    if (const QString kept = keeper.keep(entries); !kept.isEmpty()) {
        outcome.error =
            tr("its covers could not be kept aside, so none was replaced: %1").arg(kept);
        return outcome;
    }
    QList<ReplacedCovers::Entry> unwritten; // kept aside for nothing: let go again
    for (const ReplacedCovers::Entry& entry : entries) {
        const auto written = CoverFileWriter::writeReplacing(
            QFile::decodeName(entry.folder + '/' + entry.written), cover);
        if (!written.ok()) {
            outcome.notes.append(tr("%1 could not be written: %2")
                                     .arg(QFile::decodeName(entry.written), written.error));
            unwritten.append(entry);
            continue;
        }
        if (entry.written != entry.name) {
            ::unlink((entry.folder + '/' + entry.name).constData());
        }
        if (entry.folder == album.nativePath && outcome.written.isEmpty()) {
            outcome.written = QFile::decodeName(entry.written);
        }
        ++outcome.replaced;
    }
    keeper.release(unwritten);
    if (!entries.isEmpty() && outcome.replaced == 0) {
        outcome.error = outcome.notes.join(QStringLiteral("; "));
        return outcome;
    }
    if (entries.isEmpty() && how.mode == Mode::Choose) {
        // Nothing was there to replace: a choice for an album without a cover.
        const auto written = CoverFileWriter::writeNewFile(album.nativePath, how.coverName, cover,
                                                           CoverFileWriter::Naming::Exact);
        if (!written.ok()) {
            outcome.error = written.error;
            return outcome;
        }
        outcome.written = how.coverName;
    }
    return outcome;
}

Pictures replacePictures(const AlbumFolder& album, const QByteArray& cover, const Replacing& how,
                         ReplacedCovers& keeper) {
    Pictures done;
    const auto picture = CoverEmbedder::prepare(cover, how.embedSide);
    if (!picture) {
        return done;
    }
    const QSize would = ImageCodec::pictureSize(picture->data);
    const std::atomic<bool> never = false;
    const TagReader reader(how.stop ? *how.stop : never);
    const ChosenCovers chosen;
    QList<ReplacedCovers::Entry> entries;
    // A choice goes into every file that carries a cover; an upgrade into
    // those whose cover is small.
    QList<AlbumFolder::Picture> pictures = album.smallPictures;
    if (how.mode == Mode::Choose) {
        pictures.clear();
        for (const QByteArray& file : album.audioFiles) {
            pictures.append({file, {}});
        }
    }
    for (const AlbumFolder::Picture& small : std::as_const(pictures)) {
        const auto old = reader.frontCoverOf(small.file);
        // As large already (the embedding size caps the new one), or chosen;
        // a person's choice replaces any.
        const bool larger =
            PictureFacts::shorterSide(would) > PictureFacts::shorterSide(small.size);
        if (!old || (how.mode == Mode::Upgrade && (!larger || chosen.contains(*old)))) {
            continue;
        }
        ReplacedCovers::Entry entry;
        entry.kind = ReplacedCovers::Entry::Kind::Picture;
        entry.folder = album.nativePath;
        entry.name = small.file.mid(album.nativePath.size() + 1);
        entry.bytes = *old;
        entry.written = entry.name;
        entry.writtenHash = ReplacedCovers::hashOf(picture->data);
        entry.when = QDateTime::currentDateTimeUtc();
        entries.append(entry);
    }
    if (const QString kept = keeper.keep(entries); !kept.isEmpty()) {
        done.failed.append(
            tr("the embedded covers could not be kept aside, so none was replaced: %1").arg(kept));
        return done;
    }
    QList<ReplacedCovers::Entry> unwritten;
    for (const ReplacedCovers::Entry& entry : entries) {
        const auto result =
            CoverEmbedder::embed(entry.folder + '/' + entry.name, *picture, true, how.stop);
        if (result.outcome != CoverEmbedder::Result::Outcome::Embedded) {
            unwritten.append(entry);
        }
        if (result.outcome == CoverEmbedder::Result::Outcome::Embedded) {
            ++done.files;
        } else if (result.outcome == CoverEmbedder::Result::Outcome::Failed) {
            done.failed.append(QFile::decodeName(entry.name) + QStringLiteral(": ") + result.error);
        }
    }
    keeper.release(unwritten);
    return done;
}

} // namespace CoverUpgrade

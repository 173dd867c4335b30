#include "AlbumScanner.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <taglib/fileref.h>
#include <taglib/tpropertymap.h>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace {

// Enough tracks to know an album's artist; reading every track of a large
// library would cost minutes.
constexpr int kTaggedFilesPerAlbum = 8;

QString display(const QByteArray& nativePath) {
    return QFile::decodeName(nativePath);
}

QString fromTag(const TagLib::String& text) {
    return QString::fromStdString(text.to8Bit(true)).trimmed();
}

} // namespace

AlbumScanner::AlbumScanner(QString coverName) : m_coverName(std::move(coverName)) {}

bool AlbumScanner::isAudioFile(const QString& fileName) {
    static const QStringList extensions{
        QStringLiteral("mp3"),  QStringLiteral("m4a"), QStringLiteral("mp4"),
        QStringLiteral("flac"), QStringLiteral("ogg"), QStringLiteral("oga"),
        QStringLiteral("opus"), QStringLiteral("wma"), QStringLiteral("aiff"),
        QStringLiteral("aif"),  QStringLiteral("wav")};
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot > 0 && extensions.contains(fileName.mid(dot + 1).toLower());
}

bool AlbumScanner::isCoverFile(const QString& fileName) const {
    static const QRegularExpression cover(
        QStringLiteral("^(cover|folder|front|album)\\.(jpe?g|png|webp)$"),
        QRegularExpression::CaseInsensitiveOption);
    return cover.match(fileName).hasMatch() ||
           fileName.compare(m_coverName, Qt::CaseInsensitive) == 0;
}

std::pair<QString, QString> AlbumScanner::namesFromPath(const QString& folder) {
    static const QRegularExpression addition(QStringLiteral(R"(\s*[\(\[][^\)\]]*[\)\]]\s*$)"));
    const QStringList parts = folder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString album = parts.value(parts.size() - 1);
    album.remove(addition); // " (2016)", " [FLAC]"
    return {parts.value(parts.size() - 2).trimmed(), album.trimmed()};
}

std::pair<QString, QString> AlbumScanner::namesFromTags(const QList<QByteArray>& audioFiles) {
    QHash<QString, int> artists;
    QString albumArtist;
    QString album;
    for (const QByteArray& file : audioFiles) {
        const TagLib::FileRef ref(file.constData(), false);
        if (ref.isNull() || !ref.tag()) {
            continue;
        }
        if (album.isEmpty()) {
            album = fromTag(ref.tag()->album());
        }
        if (albumArtist.isEmpty()) {
            albumArtist = fromTag(ref.file()->properties()["ALBUMARTIST"].toString());
        }
        const QString artist = fromTag(ref.tag()->artist());
        if (!artist.isEmpty()) {
            ++artists[artist];
        }
    }
    if (albumArtist.isEmpty() && !artists.isEmpty()) {
        albumArtist = std::max_element(artists.cbegin(), artists.cend()).key();
    }
    return {albumArtist, album};
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
        DIR* dir = ::opendir(folder.constData());
        if (!dir) {
            continue; // no permission: nothing to learn there
        }
        QList<QByteArray> names;
        while (const dirent* entry = ::readdir(dir)) {
            if (entry->d_name[0] != '.') {
                names.append(QByteArray(entry->d_name));
            }
        }
        ::closedir(dir);
        std::sort(names.begin(), names.end());

        QList<QByteArray> subfolders;
        QList<QByteArray> audio;
        QString cover;
        for (const QByteArray& name : names) {
            const QByteArray path = folder + '/' + name;
            struct stat entry {};
            if (::stat(path.constData(), &entry) != 0) {
                continue;
            }
            const QString shown = display(name);
            if (S_ISDIR(entry.st_mode)) {
                subfolders.append(path);
            } else if (S_ISREG(entry.st_mode) && isAudioFile(shown)) {
                audio.append(path);
            } else if (S_ISREG(entry.st_mode) && cover.isEmpty() && isCoverFile(shown)) {
                cover = shown;
            }
        }
        // Depth first, in name order.
        std::for_each(subfolders.rbegin(), subfolders.rend(),
                      [&pending](const QByteArray& path) { pending.append(path); });
        if (audio.isEmpty()) {
            continue;
        }
        AlbumFolder album;
        album.nativePath = folder;
        album.path = display(folder);
        album.existingCover = cover;
        // A covered album is named by its folders alone: its tags are not needed.
        const auto [artist, title] = cover.isEmpty()
                                         ? namesFromTags(audio.mid(0, kTaggedFilesPerAlbum))
                                         : std::pair<QString, QString>();
        album.fromTags = !artist.isEmpty() && !title.isEmpty();
        const auto [folderArtist, folderAlbum] = namesFromPath(album.path);
        album.artist = artist.isEmpty() ? folderArtist : artist;
        album.album = title.isEmpty() ? folderAlbum : title;
        found(album);
    }
}

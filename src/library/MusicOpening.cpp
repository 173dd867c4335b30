#include "library/MusicOpening.h"

#include "platform/TextSafety.h"

#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QUrl>

#include <sys/stat.h>

namespace MusicOpening {

namespace {

QByteArray parentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

QByteArray withoutTrailingSlashes(QByteArray path) {
    while (path.size() > 1 && path.endsWith('/')) {
        path.chop(1);
    }
    return path;
}

// The deepest folder that holds every one of `folders`.
QByteArray commonFolderOf(const QList<QByteArray>& folders) {
    QByteArray common = folders.value(0);
    for (const QByteArray& folder : folders) {
        while (common != "/" && folder != common && !folder.startsWith(common + '/')) {
            common = parentOf(common);
        }
    }
    return common;
}

bool isPicture(const QByteArray& path) {
    const QByteArray lower = path.toLower();
    for (const char* extension : {".jpg", ".jpeg", ".png", ".webp", ".gif", ".tif", ".tiff"}) {
        if (lower.endsWith(extension)) {
            return true;
        }
    }
    return false;
}

QString shown(const QByteArray& path) {
    return TextSafety::withoutControlCharacters(
        QFile::decodeName(path.mid(path.lastIndexOf('/') + 1)));
}

} // namespace

Opened open(const QList<QByteArray>& nativePaths, const std::atomic<bool>& stop) {
    Opened opened;
    QMap<QByteArray, QList<QByteArray>> filesByFolder;
    QList<QByteArray> folders;
    for (const QByteArray& given : nativePaths) {
        const QByteArray path = withoutTrailingSlashes(given);
        struct stat info {};
        if (path.isEmpty() || ::stat(path.constData(), &info) != 0) {
            opened.ignored << QCoreApplication::translate("MusicOpening", "%1: it does not exist")
                                  .arg(shown(path));
        } else if (S_ISDIR(info.st_mode)) {
            folders.append(path);
        } else if (S_ISREG(info.st_mode) &&
                   AlbumScanner::isAudioFile(path.mid(path.lastIndexOf('/') + 1))) {
            filesByFolder[parentOf(path)].append(path);
        } else if (isPicture(path)) {
            ++opened.images;
        } else {
            opened.ignored << QCoreApplication::translate("MusicOpening", "%1: it is not audio")
                                  .arg(shown(path));
        }
    }
    // A folder or file inside another dropped folder is that folder's already.
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    const QList<QByteArray> given = folders;
    const auto within = [&given](const QByteArray& path) {
        return std::any_of(given.cbegin(), given.cend(), [&path](const QByteArray& folder) {
            return path == folder || folder == "/" || path.startsWith(folder + '/');
        });
    };
    folders.removeIf([&given](const QByteArray& path) {
        return std::any_of(given.cbegin(), given.cend(), [&path](const QByteArray& folder) {
            return path != folder && (folder == "/" || path.startsWith(folder + '/'));
        });
    });
    filesByFolder.removeIf([&within](const auto& entry) { return within(entry.key()); });
    ScanOptions options;
    options.removeScratch = false;
    const AlbumScanner scanner(options);
    for (auto it = filesByFolder.cbegin(); it != filesByFolder.cend() && !stop; ++it) {
        opened.albums.append(scanner.albumOf(it.key(), it.value(), stop));
    }
    // Enough to tell one album from several: the fill scans the rest.
    std::atomic<bool> enough{false};
    QList<QByteArray> musicFolders;
    for (const QByteArray& folder : std::as_const(folders)) {
        if (enough || stop) {
            musicFolders.append(folder); // not looked into: the fill will
            continue;
        }
        const qsizetype before = opened.albums.size();
        scanner.scan(
            folder,
            [&](const AlbumFolder& album) {
                if (album.problem.isEmpty()) {
                    opened.albums.append(album);
                }
                enough = opened.albums.size() > 1 || stop;
            },
            enough);
        if (opened.albums.size() > before) {
            musicFolders.append(folder);
        } else {
            opened.ignored << QCoreApplication::translate("MusicOpening", "%1: it holds no audio")
                                  .arg(shown(folder));
        }
    }
    opened.several = opened.albums.size() > 1;
    opened.folders = musicFolders + filesByFolder.keys();
    if (!opened.folders.isEmpty()) {
        opened.commonFolder = commonFolderOf(opened.folders);
    }
    return opened;
}

QList<QByteArray> localPaths(const QStringList& uris, QStringList* refused) {
    QList<QByteArray> paths;
    for (const QString& uri : uris) {
        const QUrl url(uri, QUrl::StrictMode);
        const bool local = url.isValid() && url.scheme() == QLatin1String("file") &&
                           (url.host().isEmpty() || url.host() == QLatin1String("localhost")) &&
                           url.path().startsWith(QLatin1Char('/'));
        if (!local) {
            refused->append(TextSafety::withoutControlCharacters(uri));
            continue;
        }
        // The percent-decoded bytes: a name that is no UTF-8 stays itself.
        paths.append(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
    }
    return paths;
}

QString fileUri(const QByteArray& nativePath) {
    return QStringLiteral("file://") + QString::fromLatin1(nativePath.toPercentEncoding("/"));
}

QString hintFor(const Opened& opened) {
    if (!opened.albums.isEmpty()) {
        return {};
    }
    if (opened.images > 0) {
        return QCoreApplication::translate(
            "MusicOpening", "Pictures are not searched: drop audio files or album folders to "
                            "find their cover.");
    }
    if (!opened.ignored.isEmpty()) {
        return QCoreApplication::translate("MusicOpening", "No music to search: %1.")
            .arg(opened.ignored.join(QStringLiteral("; ")));
    }
    return QCoreApplication::translate("MusicOpening", "No music to search.");
}

} // namespace MusicOpening

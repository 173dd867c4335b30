#include "imaging/TemporaryCoverFile.h"

#include "imaging/CoverFileWriter.h"
#include "platform/UserPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMetaObject>
#include <QPointer>
#include <QRegularExpression>
#include <QThreadPool>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TemporaryCoverFile {

namespace {

QThreadPool& serialQueue() {
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool();
        p->setMaxThreadCount(1);
        return p;
    }();
    return *pool;
}

QString temporaryItems() {
    const auto base = UserPaths::perUserTemporaryDirectory();
    return base ? *base + QStringLiteral("/TemporaryItems") : QString();
}

// Empties the folder open at `folderFd`, entry by entry, relative to the
// descriptor: a link is removed as a link, never followed, and a folder
// swapped for a link meanwhile is not entered.
void removeContentsAt(int folderFd) {
    const int iterationFd = ::dup(folderFd);
    DIR* dir = iterationFd >= 0 ? ::fdopendir(iterationFd) : nullptr;
    if (!dir) {
        if (iterationFd >= 0) {
            ::close(iterationFd);
        }
        return;
    }
    QList<QByteArray> names;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..") {
            names.append(name);
        }
    }
    ::closedir(dir);
    for (const QByteArray& name : std::as_const(names)) {
        if (::unlinkat(folderFd, name.constData(), 0) == 0 || errno != EISDIR) {
            continue;
        }
        const int child =
            ::openat(folderFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child >= 0) {
            removeContentsAt(child);
            ::close(child);
        }
        ::unlinkat(folderFd, name.constData(), AT_REMOVEDIR);
    }
}

// Removes `path` itself: a link or file as such, a folder with its contents.
void removeTree(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (::unlink(native.constData()) == 0 || errno != EISDIR) {
        return;
    }
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        removeContentsAt(fd);
        ::close(fd);
    }
    ::rmdir(native.constData());
}

template <typename Callback> void finishOn(const QPointer<QObject>& guard, Callback callback) {
    if (!guard) {
        return;
    }
    QMetaObject::invokeMethod(
        guard.data(),
        [guard, callback = std::move(callback)]() mutable {
            if (guard) {
                callback();
            }
        },
        Qt::QueuedConnection);
}

} // namespace

// The start time (clock ticks after boot) tells a process from a later one
// that was given the same id.
QString processFolderName(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray line = stat.readAll();
    // The command name may hold blanks and parentheses: count after the last ")".
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    constexpr int kStartTimeAfterName = 19; // field 22 of proc(5)
    if (fields.size() <= kStartTimeAfterName) {
        return {};
    }
    return QStringLiteral("%1-%2").arg(pid).arg(QString::fromLatin1(fields[kStartTimeAfterName]));
}

QString processFolder() {
    const QString items = temporaryItems();
    if (items.isEmpty()) {
        return {};
    }
    static const QString own = processFolderName(QCoreApplication::applicationPid());
    return items + QLatin1Char('/') + own;
}

QString write(const CoverImage& cover, qint64 collectionId, const QString& fileName) {
    const QString root = processFolder();
    if (root.isEmpty()) {
        return {};
    }
    removeTree(root);
    if (!CoverFileWriter::staysInsideFolder(fileName)) {
        return {};
    }
    const std::optional<QByteArray> jpeg = ImageCodec::jpegData(cover);
    if (!jpeg) {
        return {};
    }
    const QString path =
        root + QLatin1Char('/') + QString::number(collectionId) + QLatin1Char('/') + fileName;
    if (!QDir().mkpath(path.section(QLatin1Char('/'), 0, -2)) ||
        !CoverFileWriter::writeReplacing(path, *jpeg, false).ok()) {
        return {};
    }
    return path;
}

void removeAll() {
    const QString root = processFolder();
    if (root.isEmpty()) {
        return;
    }
    removeTree(root);
    // The shared folders go too when nothing else is left in them.
    const QString items = root.section(QLatin1Char('/'), 0, -2);
    if (::rmdir(QFile::encodeName(items).constData()) == 0) {
        ::rmdir(QFile::encodeName(items.section(QLatin1Char('/'), 0, -2)).constData());
    }
}

void removeAbandonedFolders() {
    const QString items = temporaryItems();
    if (items.isEmpty()) {
        return;
    }
    static const QRegularExpression tag(QStringLiteral("^(\\d+)-\\d+$"));
    const QDir folder(items);
    for (const QString& name :
         folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        const auto match = tag.match(name);
        if (match.hasMatch() && processFolderName(match.captured(1).toLongLong()) != name) {
            removeTree(folder.filePath(name));
        }
    }
}

void writeAsync(const CoverImage& cover, qint64 collectionId, const QString& fileName,
                QObject* context, std::function<void(const QUrl&)> done) {
    QPointer<QObject> guard(context);
    serialQueue().start([=] {
        const QString path = write(cover, collectionId, fileName);
        const QUrl url = path.isEmpty() ? QUrl() : QUrl::fromLocalFile(path);
        finishOn(guard, [done, url] { done(url); });
    });
}

void removeAllAsync() {
    serialQueue().start([] { removeAll(); });
}

void removeAbandonedFoldersAsync() {
    serialQueue().start([] { removeAbandonedFolders(); });
}

void waitForPendingWork() {
    serialQueue().waitForDone();
}

} // namespace TemporaryCoverFile

#include "ImageDataHelper.h"

#include "CoverFileWriter.h"
#include "DefaultsHelper.h"
#include "MediaHelper.h"
#include "UserDefaults.h"
#include "UserPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <QPointer>
#include <QRegularExpression>
#include <QThreadPool>

namespace {

QThreadPool& serialQueue() {
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool();
        p->setMaxThreadCount(1);
        return p;
    }();
    return *pool;
}

bool removeEntry(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink()) {
        return QDir(path).removeRecursively();
    }
    return QFile::remove(path);
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
QString ImageDataHelper::processFolderName(qint64 pid) {
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

namespace {

QString temporaryItems() {
    const auto base = UserPaths::perUserTemporaryDirectory();
    return base ? *base + QStringLiteral("/TemporaryItems") : QString();
}

void removeContents(const QString& folderPath) {
    QDir folder(folderPath);
    const QStringList names =
        folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        if (!removeEntry(folder.filePath(name))) {
            return;
        }
    }
}

// Writes the temporary cover file into this process's (emptied) folder; its
// path, or empty when nothing was written.
QString writeTemporaryFile(const std::optional<CoverImage>& image,
                           const std::optional<QString>& artistName,
                           const std::optional<qint64>& collectionId,
                           const std::optional<QString>& collectionName) {
    const QString root = ImageDataHelper::temporaryRoot();
    if (root.isEmpty()) {
        return {};
    }
    removeContents(root);
    if (!image || !artistName || !collectionId || !collectionName) {
        return {};
    }
    const std::optional<QByteArray> jpeg = ImageCodec::jpegData(*image);
    const QString fileName = MediaHelper::coverFileName(*artistName, *collectionName);
    if (!jpeg || !CoverFileWriter::staysInsideFolder(fileName)) {
        return {};
    }
    const QString itemFolder = root + QLatin1Char('/') + QString::number(*collectionId);
    const QString path = itemFolder + QLatin1Char('/') + fileName;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) ||
        !CoverFileWriter::writeReplacing(path, *jpeg).ok()) {
        return {};
    }
    return path;
}

} // namespace

QString ImageDataHelper::temporaryRoot() {
    const QString items = temporaryItems();
    if (items.isEmpty()) {
        return {};
    }
    static const QString own = processFolderName(QCoreApplication::applicationPid());
    return items + QLatin1Char('/') + own;
}

void ImageDataHelper::removeTemporaryFiles() {
    UserDefaults::standard().removeObject(SettingsKeys::temporaryFileUrl);
    const QString root = temporaryRoot();
    if (!root.isEmpty()) {
        removeContents(root);
    }
}

void ImageDataHelper::removeAbandonedFolders() {
    const QString items = temporaryItems();
    if (items.isEmpty()) {
        return;
    }
    static const QRegularExpression tag(QStringLiteral("^(\\d+)-\\d+$"));
    QDir folder(items);
    for (const QString& name : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const auto match = tag.match(name);
        if (match.hasMatch() && processFolderName(match.captured(1).toLongLong()) != name) {
            QDir(folder.filePath(name)).removeRecursively();
        }
    }
}

void ImageDataHelper::createTemporaryFile(const std::optional<CoverImage>& image,
                                          const std::optional<QString>& artistName,
                                          const std::optional<qint64>& collectionId,
                                          const std::optional<QString>& collectionName) {
    UserDefaults::standard().removeObject(SettingsKeys::temporaryFileUrl);
    const QString path = writeTemporaryFile(image, artistName, collectionId, collectionName);
    if (!path.isEmpty()) {
        UserDefaults::standard().setUrl(SettingsKeys::temporaryFileUrl, QUrl::fromLocalFile(path));
    }
}

void ImageDataHelper::createTemporaryFileAsync(const std::optional<CoverImage>& image,
                                               const std::optional<QString>& artistName,
                                               const std::optional<qint64>& collectionId,
                                               const std::optional<QString>& collectionName,
                                               QObject* context, std::function<void(QUrl)> done) {
    QPointer<QObject> guard(context);
    serialQueue().start([=] {
        const QString path = writeTemporaryFile(image, artistName, collectionId, collectionName);
        const QUrl url = path.isEmpty() ? QUrl() : QUrl::fromLocalFile(path);
        if (done) {
            finishOn(guard, [done, url] { done(url); });
        }
    });
}

void ImageDataHelper::removeTemporaryFilesAsync() {
    serialQueue().start([] {
        const QString root = temporaryRoot();
        if (!root.isEmpty()) {
            removeContents(root);
        }
    });
}

void ImageDataHelper::removeAbandonedFoldersAsync() {
    serialQueue().start([] { removeAbandonedFolders(); });
}

void ImageDataHelper::waitForPendingWork() {
    serialQueue().waitForDone();
}

#include "ImageDataHelper.h"

#include "CoverFileWriter.h"
#include "DefaultsHelper.h"
#include "MediaHelper.h"
#include "UserDefaults.h"
#include "UserPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <QPointer>
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

QString ImageDataHelper::temporaryRoot() {
    const auto base = UserPaths::perUserTemporaryDirectory();
    if (!base) {
        return {};
    }
    return *base + QStringLiteral("/TemporaryItems");
}

void ImageDataHelper::removeTemporaryFiles() {
    UserDefaults::standard().removeObject(SettingsKeys::temporaryFileUrl);
    const QString root = temporaryRoot();
    if (root.isEmpty()) {
        return;
    }
    QDir folder(root);
    if (!folder.exists()) {
        return;
    }
    const QStringList names =
        folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        if (!removeEntry(folder.filePath(name))) {
            return;
        }
    }
}

void ImageDataHelper::createTemporaryFile(const std::optional<CoverImage>& image,
                                          const std::optional<QString>& artistName,
                                          const std::optional<qint64>& collectionId,
                                          const std::optional<QString>& collectionName) {
    removeTemporaryFiles();
    if (!image) {
        return;
    }
    const std::optional<QByteArray> jpeg = ImageCodec::jpegData(*image);
    if (!jpeg) {
        return;
    }
    if (!artistName || !collectionId || !collectionName) {
        return;
    }
    const QString fileName = MediaHelper::coverFileName(*artistName, *collectionName);
    const QString root = temporaryRoot();
    if (root.isEmpty() || !CoverFileWriter::staysInsideFolder(fileName)) {
        return;
    }
    const QString itemFolder = root + QLatin1Char('/') + QString::number(*collectionId);
    if (!QDir().mkpath(itemFolder)) {
        return;
    }
    const QString path = itemFolder + QLatin1Char('/') + fileName;
    const CoverFileWriter::WriteResult written = CoverFileWriter::writeReplacing(path, *jpeg);
    if (!written.ok()) {
        return;
    }
    UserDefaults::standard().setUrl(SettingsKeys::temporaryFileUrl, QUrl::fromLocalFile(path));
}

void ImageDataHelper::createTemporaryFileAsync(const std::optional<CoverImage>& image,
                                               const std::optional<QString>& artistName,
                                               const std::optional<qint64>& collectionId,
                                               const std::optional<QString>& collectionName,
                                               QObject* context, std::function<void(QUrl)> done) {
    QPointer<QObject> guard(context);
    serialQueue().start([=] {
        createTemporaryFile(image, artistName, collectionId, collectionName);
        const QUrl url = UserDefaults::standard().urlForKey(SettingsKeys::temporaryFileUrl);
        if (done) {
            finishOn(guard, [done, url] { done(url); });
        }
    });
}

void ImageDataHelper::removeTemporaryFilesAsync(QObject* context, std::function<void()> done) {
    QPointer<QObject> guard(context);
    serialQueue().start([=] {
        removeTemporaryFiles();
        if (done) {
            finishOn(guard, done);
        }
    });
}

void ImageDataHelper::waitForPendingWork() {
    serialQueue().waitForDone();
}

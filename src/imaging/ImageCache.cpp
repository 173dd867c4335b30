#include "imaging/ImageCache.h"

#include "platform/UserPaths.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace {

bool isEntryFileName(const QString& name) {
    static const QRegularExpression entry(QStringLiteral("^[0-9a-f]{64}$"));
    return entry.match(name).hasMatch();
}

qint64 costOf(const CoverImage& image) {
    return qMax<qint64>(1, image.image.sizeInBytes() + image.encodedData.size());
}

} // namespace

ImageCache::ImageCache(const QString& diskDirectory, qint64 memoryLimitBytes, qint64 diskLimitBytes)
    : m_directory(diskDirectory), m_diskLimit(diskLimitBytes), m_memory(memoryLimitBytes),
      m_copies(diskDirectory + QStringLiteral("/screen")) {
    m_diskQueue.setMaxThreadCount(1);
    m_diskQueue.setExpiryTimeout(5000);
    m_copyQueue.setMaxThreadCount(1);
    m_copyQueue.setExpiryTimeout(5000);
    runOnDiskQueue([this] {
        makeDirectory();
        trimDiskSync();
    });
}

ImageCache::~ImageCache() {
    m_diskQueue.waitForDone();
    m_copyQueue.waitForDone();
}

QString ImageCache::fileNameForKey(const QString& key) {
    return QString::fromLatin1(
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex());
}

QString ImageCache::diskPathForKey(const QString& key) const {
    return m_directory + QLatin1Char('/') + fileNameForKey(key);
}

bool ImageCache::makeDirectory() {
    return !m_directory.isEmpty() && QDir().mkpath(m_directory);
}

// Memory ------------------------------------------------------------------

std::optional<CoverImage> ImageCache::imageFromMemory(const QString& key) const {
    QMutexLocker lock(&m_memoryMutex);
    if (const CoverImage* found = m_memory.object(key)) {
        return *found;
    }
    return std::nullopt;
}

void ImageCache::storeInMemory(const QString& key, const CoverImage& image) {
    if (image.isNull()) {
        return;
    }
    QMutexLocker lock(&m_memoryMutex);
    // A single large cover would push out every thumbnail, and the bytes of a
    // large original outweigh the picture on screen many times: such covers
    // are read from disk again when they come back.
    if (costOf(image) > m_memory.maxCost() / 4 || image.encodedData.size() > kMaxMemoryBytes) {
        m_memory.remove(key);
        return;
    }
    m_memory.insert(key, new CoverImage(image), costOf(image));
}

void ImageCache::clearMemory() {
    QMutexLocker lock(&m_memoryMutex);
    m_memory.clear();
}

qint64 ImageCache::memoryCost() const {
    QMutexLocker lock(&m_memoryMutex);
    return m_memory.totalCost();
}

// Disk, blocking ----------------------------------------------------------

bool ImageCache::diskImageExistsSync(const QString& key) const {
    const QFileInfo info(diskPathForKey(key));
    return info.isFile() && info.size() > 0;
}

std::optional<CoverImage> ImageCache::imageFromDiskSync(const QString& key, const QSize& box) {
    QFile file(diskPathForKey(key));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    CoverImage entry;
    entry.encodedData = file.read(file.size());
    file.close();
    // Used now: the last to go when the disk is trimmed (an entry that cannot
    // be touched is read all the same).
    ::utimensat(AT_FDCWD, QFile::encodeName(file.fileName()).constData(), nullptr, 0);
    const QString name = fileNameForKey(key);
    const std::optional<QImage> copy = m_copies.decode(name, box);
    if (copy) {
        const ImageCodec::PictureInfo info = ImageCodec::pictureInfo(entry.encodedData);
        entry.image = *copy;
        entry.fullSize = info.size;
        entry.format = info.format;
    } else {
        entry = ImageCodec::decodeCover(entry.encodedData, box);
    }
    if (entry.image.isNull() || !entry.fullSize.isValid()) {
        // Damaged or foreign: a miss, and out of the way of the next store.
        QFile::remove(file.fileName());
        m_copies.remove(name);
        return std::nullopt;
    }
    if (!copy && ScreenCopies::worthACopy(entry.fullSize, box)) {
        makeScreenCopyLater(key, entry.encodedData);
    }
    return entry;
}

void ImageCache::makeScreenCopyLater(const QString& key, const QByteArray& bytes) {
    m_copyQueue.start([this, name = fileNameForKey(key), bytes] {
        m_copies.make(name, bytes);
        m_copies.trim();
    });
}

QByteArray ImageCache::bytesFromDiskSync(const QString& key) const {
    QFile file(diskPathForKey(key));
    return file.open(QIODevice::ReadOnly) ? file.read(file.size()) : QByteArray();
}

bool ImageCache::storeImageDataToDiskSync(const QByteArray& data, const QString& key) {
    // An unwritable cache is no error the user should see: this entry stays in
    // memory only, and the next write tries again.
    if (data.isEmpty() || !makeDirectory()) {
        return false;
    }
    const QString path = diskPathForKey(key);
    const qint64 replaced = QFileInfo(path).size();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        file.cancelWriting();
        return false;
    }
    if (m_diskBytes.load() >= 0) {
        m_diskBytes += data.size() - replaced;
    }
    // A large picture is shown again from a copy at screen size.
    m_copies.remove(fileNameForKey(key));
    makeScreenCopyLater(key, data);
    if (m_diskBytes.load() < 0 || m_diskBytes.load() > m_diskLimit) {
        trimDiskSync();
    }
    return true;
}

void ImageCache::trimDiskSync() {
    struct Entry {
        QString path;
        qint64 size;
        QDateTime used;
    };
    std::vector<Entry> entries;
    qint64 total = 0;
    QDirIterator it(m_directory, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (isEntryFileName(info.fileName())) {
            entries.push_back({info.filePath(), info.size(), info.lastModified()});
            total += info.size();
        }
    }
    if (total > m_diskLimit) {
        // Down to nine tenths, so that the next few writes do not trim again.
        std::sort(entries.begin(), entries.end(),
                  [](const Entry& a, const Entry& b) { return a.used < b.used; });
        for (const Entry& entry : entries) {
            if (total <= m_diskLimit / 10 * 9) {
                break;
            }
            if (QFile::remove(entry.path)) {
                total -= entry.size;
            }
        }
    }
    m_diskBytes = total;
}

ImageCache::DiskUsage ImageCache::diskUsageSync() const {
    DiskUsage usage;
    QDirIterator entries(m_directory, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        entries.next();
        const QFileInfo info = entries.fileInfo();
        if (isEntryFileName(info.fileName())) {
            usage.bytes += static_cast<quint64>(info.size());
            ++usage.count;
        }
    }
    return usage;
}

void ImageCache::clearDiskSync() {
    m_copyQueue.waitForDone(); // a copy being made would outlive the clearing
    QDir directory(m_directory);
    if (directory.exists()) {
        directory.removeRecursively();
    }
    makeDirectory();
    m_diskBytes = 0;
}

// Disk, asynchronous ------------------------------------------------------

void ImageCache::runOnDiskQueue(std::function<void()> work) {
    m_diskQueue.start(std::move(work));
}

template <typename Result>
void ImageCache::runOnDiskQueue(QObject* context, std::function<Result()> work,
                                std::function<void(Result)> done) {
    QPointer<QObject> guard(context);
    m_diskQueue.start([guard, work = std::move(work), done = std::move(done)]() mutable {
        Result result = work();
        if (!guard) {
            return;
        }
        QMetaObject::invokeMethod(
            guard.data(),
            [guard, done = std::move(done), result = std::move(result)]() mutable {
                if (guard) {
                    done(std::move(result));
                }
            },
            Qt::QueuedConnection);
    });
}

void ImageCache::diskImageExists(const QString& key, QObject* context,
                                 std::function<void(bool)> done) {
    runOnDiskQueue<bool>(
        context, [this, key] { return diskImageExistsSync(key); }, std::move(done));
}

void ImageCache::imageFromDisk(const QString& key, const QSize& box, QObject* context,
                               std::function<void(std::optional<CoverImage>)> done) {
    runOnDiskQueue<std::optional<CoverImage>>(
        context, [this, key, box] { return imageFromDiskSync(key, box); }, std::move(done));
}

void ImageCache::storeImageDataToDisk(const QByteArray& data, const QString& key) {
    runOnDiskQueue([this, data, key] { storeImageDataToDiskSync(data, key); });
}

void ImageCache::diskUsage(QObject* context, std::function<void(DiskUsage)> done) {
    runOnDiskQueue<DiskUsage>(
        context, [this] { return diskUsageSync(); }, std::move(done));
}

void ImageCache::clearDisk(QObject* context, std::function<void()> done) {
    runOnDiskQueue<bool>(
        context,
        [this] {
            clearDiskSync();
            return true;
        },
        [done = std::move(done)](bool) {
            if (done) {
                done();
            }
        });
}

void ImageCache::waitForDiskWork() {
    m_diskQueue.waitForDone();
    m_copyQueue.waitForDone();
}

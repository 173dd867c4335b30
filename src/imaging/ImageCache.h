#pragma once

#include "imaging/ImageCodec.h"
#include "imaging/ScreenCopies.h"

#include <QCache>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <optional>

// The shared image cache: decoded images in memory, the bytes as downloaded on
// disk, both keyed by the absolute string of the image URL. Disk work runs on
// one serial worker so that a store is always seen by a later look-up; every
// asynchronous completion arrives on the thread of its context object (the GUI
// thread). The disk holds at most a set number of bytes: the entries used least
// recently go first. A write that fails (folder gone, disk full) costs only
// that entry; the next write tries again.
class ImageCache {
public:
    struct DiskUsage {
        quint64 bytes = 0;
        quint64 count = 0;
    };

    static constexpr qint64 kDefaultDiskLimitBytes = 1024LL * 1024 * 1024;
    // Entries whose downloaded bytes are larger stay out of memory.
    static constexpr qint64 kMaxMemoryBytes = 1024 * 1024;

    explicit ImageCache(const QString& diskDirectory, qint64 memoryLimitBytes = 64LL * 1024 * 1024,
                        qint64 diskLimitBytes = kDefaultDiskLimitBytes);
    ~ImageCache();
    ImageCache(const ImageCache&) = delete;
    ImageCache& operator=(const ImageCache&) = delete;

    QString diskDirectory() const { return m_directory; }
    // The file that holds (or would hold) the entry of `key`.
    QString diskPathForKey(const QString& key) const;
    static QString fileNameForKey(const QString& key);

    // Memory.
    std::optional<CoverImage> imageFromMemory(const QString& key) const;
    void storeInMemory(const QString& key, const CoverImage& image);
    void clearMemory();
    qint64 memoryCost() const;

    // Disk, blocking: for worker threads and the command-line tool.
    bool diskImageExistsSync(const QString& key) const;
    // The cached entry decoded for a view of `box` device pixels (see
    // ImageCodec::decode; from its screen copy when it has one that fills the
    // box), and marked as used now; an entry that is no image is removed.
    std::optional<CoverImage> imageFromDiskSync(const QString& key, const QSize& box = {});
    // The entry's bytes; empty when there is none.
    QByteArray bytesFromDiskSync(const QString& key) const;
    // Makes the entry's screen copy later, on a worker of its own.
    void makeScreenCopyLater(const QString& key, const QByteArray& bytes);
    bool storeImageDataToDiskSync(const QByteArray& data, const QString& key);
    DiskUsage diskUsageSync() const;
    void clearDiskSync();
    // Removes the least recently used entries until the disk holds at most
    // nine tenths of its limit; nothing when it is within the limit.
    void trimDiskSync();

    // Disk, asynchronous. Completions run on `context`'s thread and are
    // dropped when `context` is gone.
    void diskImageExists(const QString& key, QObject* context, std::function<void(bool)> done);
    void imageFromDisk(const QString& key, const QSize& box, QObject* context,
                       std::function<void(std::optional<CoverImage>)> done);
    void storeImageDataToDisk(const QByteArray& data, const QString& key);
    void diskUsage(QObject* context, std::function<void(DiskUsage)> done);
    void clearDisk(QObject* context, std::function<void()> done);

    // Blocks until queued disk work has run (tests, shutdown).
    void waitForDiskWork();

private:
    template <typename Result>
    void runOnDiskQueue(QObject* context, std::function<Result()> work,
                        std::function<void(Result)> done);
    void runOnDiskQueue(std::function<void()> work);
    bool makeDirectory();

    QString m_directory;
    qint64 m_diskLimit;
    std::atomic<qint64> m_diskBytes{-1}; // what the disk holds; -1 until measured
    mutable QMutex m_memoryMutex;
    QCache<QString, CoverImage> m_memory;
    QThreadPool m_diskQueue;
    ScreenCopies m_copies;
    QThreadPool m_copyQueue; // makes screen copies without holding up the disk queue
};

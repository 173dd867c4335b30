#include "ImageCache.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray encoded(const QSize& size, const char* format, QColor color = Qt::darkCyan) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

} // namespace

class TestImageCache : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString cacheFolder() const { return m_dir->path() + QStringLiteral("/images"); }

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void storedDataIsFoundAcrossInstances() {
        const QString key = QStringLiteral("https://example.invalid/a/600x600bb.jpg");
        const QByteArray jpeg = encoded({64, 48}, "jpeg");
        {
            ImageCache cache(cacheFolder());
            QVERIFY(!cache.diskImageExistsSync(key));
            cache.storeImageDataToDisk(jpeg, key);
            cache.waitForDiskWork();
        }
        ImageCache cache(cacheFolder());
        QVERIFY(cache.diskImageExistsSync(key));
        const auto entry = cache.imageFromDiskSync(key);
        QVERIFY(entry);
        QCOMPARE(entry->encodedData, jpeg);
        QCOMPARE(entry->image.size(), QSize(64, 48));
        QCOMPARE(QFileInfo(cache.diskPathForKey(key)).fileName(), ImageCache::fileNameForKey(key));
    }

    void keysAreTakenExactly() {
        ImageCache cache(cacheFolder());
        const QString key = QStringLiteral("https://example.invalid/a.jpg");
        QVERIFY(cache.storeImageDataToDiskSync(encoded({8, 8}, "png"), key));
        QVERIFY(!cache.diskImageExistsSync(key + QLatin1Char('?')));
        QVERIFY(!cache.diskImageExistsSync(QStringLiteral("https://example.invalid/A.jpg")));
    }

    void asynchronousCompletionsArriveOnTheGuiThread() {
        ImageCache cache(cacheFolder());
        const QString key = QStringLiteral("k");
        cache.storeImageDataToDisk(encoded({16, 16}, "jpeg"), key);
        QObject context;
        bool exists = false;
        bool read = false;
        bool onGuiThread = true;
        cache.diskImageExists(key, &context, [&](bool found) {
            exists = found;
            onGuiThread &= QThread::currentThread() == QCoreApplication::instance()->thread();
        });
        cache.imageFromDisk(key, &context, [&](std::optional<CoverImage> entry) {
            read = entry.has_value() && entry->image.width() == 16;
            onGuiThread &= QThread::currentThread() == QCoreApplication::instance()->thread();
        });
        QTRY_VERIFY(exists && read);
        QVERIFY(onGuiThread);
    }

    void completionForAGoneContextIsDropped() {
        ImageCache cache(cacheFolder());
        bool called = false;
        {
            QObject context;
            cache.diskImageExists(QStringLiteral("k"), &context, [&](bool) { called = true; });
        }
        cache.waitForDiskWork();
        QTest::qWait(50);
        QVERIFY(!called);
    }

    void sizeCountAndClearing() {
        ImageCache cache(cacheFolder());
        const QByteArray a = encoded({32, 32}, "jpeg");
        const QByteArray b = encoded({40, 40}, "png");
        cache.storeImageDataToDisk(a, QStringLiteral("a"));
        cache.storeImageDataToDisk(b, QStringLiteral("b"));
        cache.storeImageDataToDisk(a, QStringLiteral("a")); // same key: one entry
        cache.waitForDiskWork();
        // Files that are no entries do not count.
        QFile stray(cacheFolder() + QStringLiteral("/notes.txt"));
        QVERIFY(stray.open(QIODevice::WriteOnly));
        stray.write("x");
        stray.close();

        const ImageCache::DiskUsage usage = cache.diskUsageSync();
        QCOMPARE(usage.count, quint64(2));
        QCOMPARE(usage.bytes, quint64(a.size() + b.size()));

        QObject context;
        bool measured = false;
        cache.diskUsage(&context, [&](ImageCache::DiskUsage async) {
            measured = async.count == 2 && async.bytes == usage.bytes;
        });
        QTRY_VERIFY(measured);

        cache.storeInMemory(QStringLiteral("a"), CoverImage{QImage(8, 8, QImage::Format_RGB32), a});
        QVERIFY(cache.imageFromMemory(QStringLiteral("a")));
        cache.clearMemory();
        QVERIFY(!cache.imageFromMemory(QStringLiteral("a")));
        QVERIFY(cache.diskImageExistsSync(QStringLiteral("a")));

        bool cleared = false;
        bool onGuiThread = false;
        cache.clearDisk(&context, [&] {
            cleared = true;
            onGuiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        });
        QTRY_VERIFY(cleared);
        QVERIFY(onGuiThread);
        QCOMPARE(cache.diskUsageSync().count, quint64(0));
        QVERIFY(!cache.diskImageExistsSync(QStringLiteral("a")));
        // The cache keeps working after a clear.
        QVERIFY(cache.storeImageDataToDiskSync(a, QStringLiteral("c")));
        QVERIFY(cache.diskImageExistsSync(QStringLiteral("c")));
    }

    void corruptEntryIsAMissAndIsRemoved_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text") << QByteArray("<html>503</html>");
        QTest::newRow("cut-off jpeg") << encoded({300, 300}, "jpeg").left(40);
        QTest::newRow("empty") << QByteArray();
    }
    void corruptEntryIsAMissAndIsRemoved() {
        QFETCH(QByteArray, content);
        ImageCache cache(cacheFolder());
        cache.waitForDiskWork();
        const QString key = QStringLiteral("https://example.invalid/broken.jpg");
        QFile file(cache.diskPathForKey(key));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();

        QVERIFY(!cache.imageFromDiskSync(key));
        QVERIFY(!QFile::exists(cache.diskPathForKey(key)));
        QVERIFY(!cache.diskImageExistsSync(key));
    }

    void unusableFolderDegradesToMemory() {
        // A file where the folder should be: nothing can be created below it.
        const QString blocker = m_dir->path() + QStringLiteral("/blocker");
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        ImageCache cache(blocker + QStringLiteral("/images"));
        cache.waitForDiskWork();
        QVERIFY(!cache.isDiskEnabled());
        QVERIFY(!cache.storeImageDataToDiskSync(encoded({8, 8}, "png"), QStringLiteral("k")));
        QVERIFY(!cache.diskImageExistsSync(QStringLiteral("k")));
        QCOMPARE(cache.diskUsageSync().count, quint64(0));
        cache.storeInMemory(QStringLiteral("k"),
                            CoverImage{QImage(8, 8, QImage::Format_RGB32), {}});
        QVERIFY(cache.imageFromMemory(QStringLiteral("k")));
    }

    void memoryIsBoundedByCost() {
        ImageCache cache(cacheFolder(), 1024 * 1024);
        for (int i = 0; i < 10; ++i) {
            QImage image(256, 256, QImage::Format_RGB32); // 256 KB each
            image.fill(Qt::red);
            cache.storeInMemory(QString::number(i), CoverImage{image, {}});
        }
        QVERIFY(cache.memoryCost() <= 1024 * 1024);
        QVERIFY(cache.imageFromMemory(QStringLiteral("9")));
        QVERIFY(!cache.imageFromMemory(QStringLiteral("0")));
    }
};

QTEST_MAIN(TestImageCache)
#include "tst_imagecache.moc"

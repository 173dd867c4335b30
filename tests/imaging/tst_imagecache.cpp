// The image cache: decoded images in memory, the downloaded bytes on disk.
#include "ImagingRig.h"
#include "TestSupport.h"
#include "imaging/CoverLadder.h"
#include "imaging/ImageService.h"

#include <QDateTime>

using Fault = FixtureServer::Fault;

class TestImageCache : public QObject {
    Q_OBJECT
private:
    ImagingRig m_rig;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_rig.server.start()); }
    void init() { m_rig.reset(); }
    void cleanup() { m_rig.close(); }

    void diskEntriesAreTheBytesUnderTheirExactKey() {
        const QByteArray png =
            TestSupport::encoded(TestSupport::filled({64, 48}, Qt::darkCyan), "png");
        const QString key = QStringLiteral("https://example.invalid/a.jpg");
        m_rig.cache->storeImageDataToDisk(png, key);
        m_rig.restart();
        const auto entry = m_rig.cache->imageFromDiskSync(key);
        QVERIFY(entry);
        QCOMPARE(entry->encodedData, png);
        QCOMPARE(entry->image.size(), QSize(64, 48));
        QVERIFY(!m_rig.cache->diskImageExistsSync(key + QLatin1Char('?')));
        QVERIFY(!m_rig.cache->diskImageExistsSync(QStringLiteral("https://example.invalid/A.jpg")));

        // Asynchronous reads complete on the GUI thread, never for a context that is gone.
        QObject context;
        bool read = false;
        m_rig.cache->imageFromDisk(key, {}, &context, [&](std::optional<CoverImage> found) {
            read = found && QThread::currentThread() == qApp->thread();
        });
        {
            QObject gone;
            m_rig.cache->diskImageExists(key, &gone, [](bool) { QFAIL("context is gone"); });
        }
        QTRY_VERIFY(read);
    }

    void damagedEntryIsAMissAndGoes_data() {
        TestSupport::columns<QByteArray>("content");
        TestSupport::row("text", QByteArray("<html>503</html>"));
        TestSupport::row(
            "cut-off JPEG",
            TestSupport::encoded(TestSupport::filled({300, 300}, Qt::red), "jpeg").left(40));
    }

    void damagedEntryIsAMissAndGoes() {
        QFETCH(QByteArray, content);
        const QString key = QStringLiteral("k");
        m_rig.cache->waitForDiskWork();
        QFile file(m_rig.cache->diskPathForKey(key));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QVERIFY(!m_rig.cache->imageFromDiskSync(key));
        QVERIFY(!QFile::exists(m_rig.cache->diskPathForKey(key)));
    }

    void usageCountsEntriesAndClearingEmpties() {
        const QByteArray a = TestSupport::encoded(TestSupport::filled({32, 32}, Qt::red), "jpeg");
        m_rig.cache->storeImageDataToDisk(a, QStringLiteral("a"));
        m_rig.cache->storeImageDataToDisk(a, QStringLiteral("a"));
        m_rig.cache->storeImageDataToDisk(QByteArray(100, 'x'), QStringLiteral("b"));
        m_rig.cache->waitForDiskWork();
        QFile stray(m_rig.cacheFolder() + QStringLiteral("/notes.txt"));
        QVERIFY(stray.open(QIODevice::WriteOnly));
        stray.write("not an entry");
        stray.close();
        QCOMPARE(m_rig.cache->diskUsageSync().count, quint64(2));
        QCOMPARE(m_rig.cache->diskUsageSync().bytes, quint64(a.size() + 100));
        m_rig.cache->clearDiskSync();
        QCOMPARE(m_rig.cache->diskUsageSync().count, quint64(0));
        QVERIFY(m_rig.cache->storeImageDataToDiskSync(a, QStringLiteral("c")));
    }

    void aFailedWriteCostsOnlyThatEntry() {
        m_rig.cache->waitForDiskWork();
        QVERIFY(QDir(m_rig.cacheFolder()).removeRecursively());
        QFile blocker(m_rig.cacheFolder()); // a file where the folder should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(!m_rig.cache->storeImageDataToDiskSync("x", QStringLiteral("k")));
        QVERIFY(blocker.remove());
        QVERIFY(m_rig.cache->storeImageDataToDiskSync("x", QStringLiteral("k")));
        QVERIFY(m_rig.cache->diskImageExistsSync(QStringLiteral("k")));
    }

    void diskKeepsTheRecentlyUsedWithinItsLimit() {
        m_rig.cache.reset();
        ImageCache cache(m_rig.cacheFolder(), 1024 * 1024, 100 * 1024);
        const QByteArray png = TestSupport::encoded(TestSupport::filled({8, 8}, Qt::red), "png");
        const QByteArray padded = png + QByteArray(30 * 1024 - png.size(), '\0');
        const QDateTime start = QDateTime::currentDateTimeUtc().addSecs(-60);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(cache.storeImageDataToDiskSync(padded, QString::number(i)));
            QFile entry(cache.diskPathForKey(QString::number(i)));
            QVERIFY(entry.open(QIODevice::ReadWrite));
            entry.setFileTime(start.addSecs(i), QFileDevice::FileModificationTime);
        }
        QVERIFY(cache.imageFromDiskSync(QStringLiteral("0")));                // used last now
        QVERIFY(cache.storeImageDataToDiskSync(padded, QStringLiteral("3"))); // 120 KB: trim
        QVERIFY(cache.diskUsageSync().bytes <= 90 * 1024);
        for (const char* key : {"0", "3"}) {
            QVERIFY(cache.diskImageExistsSync(QLatin1String(key)));
        }
        QVERIFY(!cache.diskImageExistsSync(QStringLiteral("1")));
        // A new start trims at once.
        for (int i = 4; i < 8; ++i) {
            QVERIFY(ImageCache(m_rig.cacheFolder(), 1024, 1LL << 30)
                        .storeImageDataToDiskSync(padded, QString::number(i)));
        }
        ImageCache restarted(m_rig.cacheFolder(), 1024 * 1024, 100 * 1024);
        restarted.waitForDiskWork();
        QVERIFY(restarted.diskUsageSync().bytes <= 90 * 1024);
    }

    void memoryHasABudgetAndLargeCoversStayOut() {
        ImageCache cache(m_rig.cacheFolder(), 1024 * 1024);
        for (int i = 0; i < 10; ++i) { // 64 KB each
            cache.storeInMemory(QString::number(i),
                                CoverImage{TestSupport::filled({128, 128}, Qt::red), {}});
        }
        QVERIFY(cache.imageFromMemory(QStringLiteral("9")));
        // More than a quarter of the budget: kept out, the thumbnails stay.
        cache.storeInMemory(QStringLiteral("big"),
                            CoverImage{TestSupport::filled({300, 300}, Qt::red), {}});
        QVERIFY(!cache.imageFromMemory(QStringLiteral("big")));
        QVERIFY(cache.imageFromMemory(QStringLiteral("0")));
        for (int i = 10; i < 30; ++i) {
            cache.storeInMemory(QString::number(i),
                                CoverImage{TestSupport::filled({128, 128}, Qt::red), {}});
        }
        QVERIFY(cache.memoryCost() <= 1024 * 1024);
        QVERIFY(!cache.imageFromMemory(QStringLiteral("0")));
    }

    // A large cover is shown again from its screen-size copy, its own bytes
    // kept for everything else; a damaged copy gives way to the cover itself.
    void largeCoversComeBackFromScreenCopies() {
        const QByteArray jpeg =
            TestSupport::encoded(TestSupport::filled({1600, 1200}, Qt::darkRed), "jpeg");
        QVERIFY(m_rig.cache->storeImageDataToDiskSync(jpeg, QStringLiteral("big")));
        m_rig.cache->waitForDiskWork();
        const QString copy = m_rig.cacheFolder() + QStringLiteral("/screen/") +
                             ImageCache::fileNameForKey(QStringLiteral("big"));
        QCOMPARE(ImageCodec::pictureSize(TestSupport::readFile(copy)), QSize(1024, 768));
        // A copy told apart by its colour is what shows; a damaged one is not.
        const QByteArray green =
            TestSupport::encoded(TestSupport::filled({1024, 768}, Qt::green), "jpeg");
        for (const QByteArray& planted : {green, QByteArray("junk")}) {
            QFile file(copy);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(planted) == planted.size());
            file.close();
            const auto entry =
                m_rig.cache->imageFromDiskSync(QStringLiteral("big"), QSize(400, 400));
            QVERIFY(entry);
            QCOMPARE(entry->image.size(), QSize(400, 300));
            QCOMPARE(entry->image.pixelColor(200, 150).green() > 200, planted == green);
            QCOMPARE(entry->fullSize, QSize(1600, 1200));
            QCOMPARE(entry->encodedData, jpeg);
        }
        m_rig.cache->waitForDiskWork();
        QCOMPARE(ImageCodec::pictureSize(TestSupport::readFile(copy)),
                 QSize(1024, 768)); // made anew
        // Larger than the copy: the cover itself.
        QCOMPARE(
            m_rig.cache->imageFromDiskSync(QStringLiteral("big"), QSize(1400, 1400))->image.size(),
            QSize(1400, 1050));
    }
};

SLEEVANTA_TEST_MAIN(TestImageCache, QGuiApplication)
#include "tst_imagecache.moc"

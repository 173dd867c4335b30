// The image cache: decoded images in memory, the downloaded bytes on disk.
#include "CoverLadder.h"
#include "ImageService.h"
#include "TestSupport.h"

#include <QDateTime>

using Fault = FixtureServer::Fault;

class TestImageCache : public QObject {
    Q_OBJECT
private:
    FixtureServer m_server;
    std::unique_ptr<ImageCache> m_cache;
    std::unique_ptr<ImageService> m_service;

    QString cacheFolder() const {
        return TestSupport::homeFolder().path() + QStringLiteral("/own-cache");
    }
    QUrl art(const QString& name, int side = 200) const {
        return QUrl(m_server.origin() +
                    QStringLiteral("/image/thumb/Music/%1/%2x%2bb.jpg").arg(name).arg(side));
    }
    // A new process: nothing in memory, the same folder on disk.
    void restart() {
        m_service.reset();
        m_cache.reset();
        m_cache = std::make_unique<ImageCache>(cacheFolder());
        m_service = std::make_unique<ImageService>(*m_cache);
    }
    void slowArtwork(Fault kind, int delayMs) {
        FixtureServer::FaultConfig config = TestSupport::fault(kind);
        config.delayMs = delayMs;
        config.dripChunk = 512;
        config.dripIntervalMs = 20;
        m_server.setFault(FixtureServer::Scope::Artwork, config);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_server.start()); }
    void init() {
        TestSupport::resetHome();
        TestSupport::useServer(m_server);
        restart();
    }
    void cleanup() {
        m_service.reset();
        m_cache.reset();
    }

    void diskEntriesAreTheBytesUnderTheirExactKey() {
        const QByteArray png =
            TestSupport::encoded(TestSupport::filled({64, 48}, Qt::darkCyan), "png");
        const QString key = QStringLiteral("https://example.invalid/a.jpg");
        m_cache->storeImageDataToDisk(png, key);
        restart();
        const auto entry = m_cache->imageFromDiskSync(key);
        QVERIFY(entry);
        QCOMPARE(entry->encodedData, png);
        QCOMPARE(entry->image.size(), QSize(64, 48));
        QVERIFY(!m_cache->diskImageExistsSync(key + QLatin1Char('?')));
        QVERIFY(!m_cache->diskImageExistsSync(QStringLiteral("https://example.invalid/A.jpg")));

        // Asynchronous reads complete on the GUI thread, never for a context that is gone.
        QObject context;
        bool read = false;
        m_cache->imageFromDisk(key, {}, &context, [&](std::optional<CoverImage> found) {
            read = found && QThread::currentThread() == qApp->thread();
        });
        {
            QObject gone;
            m_cache->diskImageExists(key, &gone, [](bool) { QFAIL("context is gone"); });
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
        m_cache->waitForDiskWork();
        QFile file(m_cache->diskPathForKey(key));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QVERIFY(!m_cache->imageFromDiskSync(key));
        QVERIFY(!QFile::exists(m_cache->diskPathForKey(key)));
    }

    void usageCountsEntriesAndClearingEmpties() {
        const QByteArray a = TestSupport::encoded(TestSupport::filled({32, 32}, Qt::red), "jpeg");
        m_cache->storeImageDataToDisk(a, QStringLiteral("a"));
        m_cache->storeImageDataToDisk(a, QStringLiteral("a"));
        m_cache->storeImageDataToDisk(QByteArray(100, 'x'), QStringLiteral("b"));
        m_cache->waitForDiskWork();
        QFile stray(cacheFolder() + QStringLiteral("/notes.txt"));
        QVERIFY(stray.open(QIODevice::WriteOnly));
        stray.write("not an entry");
        stray.close();
        QCOMPARE(m_cache->diskUsageSync().count, quint64(2));
        QCOMPARE(m_cache->diskUsageSync().bytes, quint64(a.size() + 100));
        m_cache->clearDiskSync();
        QCOMPARE(m_cache->diskUsageSync().count, quint64(0));
        QVERIFY(m_cache->storeImageDataToDiskSync(a, QStringLiteral("c")));
    }

    void aFailedWriteCostsOnlyThatEntry() {
        m_cache->waitForDiskWork();
        QVERIFY(QDir(cacheFolder()).removeRecursively());
        QFile blocker(cacheFolder()); // a file where the folder should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(!m_cache->storeImageDataToDiskSync("x", QStringLiteral("k")));
        QVERIFY(blocker.remove());
        QVERIFY(m_cache->storeImageDataToDiskSync("x", QStringLiteral("k")));
        QVERIFY(m_cache->diskImageExistsSync(QStringLiteral("k")));
    }

    void diskKeepsTheRecentlyUsedWithinItsLimit() {
        m_cache.reset();
        ImageCache cache(cacheFolder(), 1024 * 1024, 100 * 1024);
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
            QVERIFY(ImageCache(cacheFolder(), 1024, 1LL << 30)
                        .storeImageDataToDiskSync(padded, QString::number(i)));
        }
        ImageCache restarted(cacheFolder(), 1024 * 1024, 100 * 1024);
        restarted.waitForDiskWork();
        QVERIFY(restarted.diskUsageSync().bytes <= 90 * 1024);
    }

    void memoryHasABudgetAndLargeCoversStayOut() {
        ImageCache cache(cacheFolder(), 1024 * 1024);
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
};

SLEEVANTA_TEST_MAIN(TestImageCache, QGuiApplication)
#include "tst_imagecache.moc"

#include "FixtureServer.h"
#include "ImageService.h"
#include "NetworkAccess.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using Fault = FixtureServer::Fault;
using Scope = FixtureServer::Scope;

namespace {

struct Recorder {
    QList<ImageLoadResult> results;
    QList<QPair<qint64, qint64>> progress;
    bool offGuiThread = false;

    ImageService::Progress progressHandler() {
        return [this](qint64 received, qint64 expected, const QUrl&) {
            offGuiThread |= QThread::currentThread() != QCoreApplication::instance()->thread();
            progress.append({received, expected});
        };
    }
    ImageService::Completion completionHandler() {
        return [this](const ImageLoadResult& result) {
            offGuiThread |= QThread::currentThread() != QCoreApplication::instance()->thread();
            results.append(result);
        };
    }
    bool waitForResults(int count) {
        return QTest::qWaitFor([&] { return results.size() >= count; }, 15000);
    }
};

class FakeView : public QObject, public ImageViewContract {
public:
    QObject* imageViewObject() override { return this; }
    void setLoadedImage(const CoverImage& image) override {
        ++setCount;
        shown = image;
    }
    CoverImage shown;
    int setCount = 0;
};

} // namespace

class TestImageService : public QObject {
    Q_OBJECT
private:
    FixtureServer m_server;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ImageCache> m_cache;
    std::unique_ptr<ImageService> m_service;

    QUrl thumbnail(const QString& name, int side = 200) const {
        return QUrl(m_server.origin() +
                    QStringLiteral("/image/thumb/Music/%1/%2x%2bb.jpg").arg(name).arg(side));
    }
    QUrl fullSize(const QString& name) const {
        return QUrl(m_server.origin() + QStringLiteral("/us/r1000/0/Music/%1").arg(name));
    }
    void delayArtwork(int milliseconds) {
        FixtureServer::FaultConfig slow;
        slow.fault = Fault::Delay;
        slow.delayMs = milliseconds;
        m_server.setFault(Scope::Artwork, slow);
    }
    void freshService() {
        m_service.reset();
        if (m_cache) {
            m_cache->waitForDiskWork();
        }
        m_cache = std::make_unique<ImageCache>(m_dir->path() + QStringLiteral("/images"));
        m_service = std::make_unique<ImageService>(*m_cache);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_server.start()); }

    void init() {
        m_server.clearFaults();
        m_server.resetCounts();
        NetworkAccess::setTransferTimeout(60000);
        m_service.reset();
        m_cache.reset();
        m_dir = std::make_unique<QTemporaryDir>();
        freshService();
    }

    void progressAsServed_data() {
        QTest::addColumn<int>("fault");
        QTest::addColumn<bool>("sizeKnown");
        QTest::newRow("with length") << int(Fault::None) << true;
        QTest::newRow("slow drip") << int(Fault::SlowDrip) << true;
        QTest::newRow("without length") << int(Fault::NoContentLength) << false;
    }
    void progressAsServed() {
        QFETCH(int, fault);
        QFETCH(bool, sizeKnown);
        FixtureServer::FaultConfig config;
        config.fault = Fault(fault);
        config.dripChunk = 4096;
        config.dripIntervalMs = 50;
        m_server.setFault(Scope::Artwork, config);

        Recorder recorder;
        m_service->loadImage(fullSize(QStringLiteral("a-s1200.jpg")), recorder.progressHandler(),
                             recorder.completionHandler());
        QVERIFY(recorder.waitForResults(1));
        const ImageLoadResult& result = recorder.results.first();
        QVERIFY2(result.hasImage(), qPrintable(result.errorText));
        QCOMPARE(result.cover.image.size(), QSize(1200, 1200));
        QCOMPARE(result.cacheType, ImageCacheType::None);
        QVERIFY(!recorder.offGuiThread);
        QVERIFY(!recorder.progress.isEmpty());
        const qint64 bodySize = result.cover.encodedData.size();
        QCOMPARE(recorder.progress.last().first, bodySize);
        for (const auto& [received, expected] : std::as_const(recorder.progress)) {
            if (sizeKnown) {
                QCOMPARE(expected, bodySize);
            } else {
                QVERIFY(expected <= 0);
            }
        }
        // Qt reports progress at most every 100 ms, so a 600 ms drip gives several.
        if (Fault(fault) == Fault::SlowDrip) {
            QVERIFY2(recorder.progress.size() >= 3, qPrintable(QString::number(bodySize)));
        }
    }

    void failuresCompleteWithoutImage_data() {
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("error");
        QTest::newRow("404") << int(Fault::Status) << 404 << int(ImageLoadError::HttpStatus);
        QTest::newRow("no image") << int(Fault::Garbage) << 0 << int(ImageLoadError::NotAnImage);
        QTest::newRow("header of a giant")
            << int(Fault::HugeImageHeader) << 0 << int(ImageLoadError::NotAnImage);
        QTest::newRow("reset") << int(Fault::Reset) << 0 << int(ImageLoadError::Network);
        QTest::newRow("truncated") << int(Fault::Truncate) << 0 << int(ImageLoadError::Network);
        QTest::newRow("timed out") << int(Fault::Delay) << 0 << int(ImageLoadError::TimedOut);
    }
    void failuresCompleteWithoutImage() {
        QFETCH(int, fault);
        QFETCH(int, status);
        QFETCH(int, error);
        FixtureServer::FaultConfig config;
        config.fault = Fault(fault);
        config.statusCode = status;
        config.delayMs = 3000;
        m_server.setFault(Scope::Artwork, config);
        NetworkAccess::setTransferTimeout(300);

        Recorder recorder;
        const QUrl url = thumbnail(QStringLiteral("broken"));
        m_service->loadImage(url, {}, recorder.completionHandler());
        QVERIFY(recorder.waitForResults(1));
        QCOMPARE(int(recorder.results.first().error), error);
        QVERIFY(!recorder.results.first().hasImage());
        QCOMPARE(recorder.results.first().url, url);
        m_cache->waitForDiskWork();
        QVERIFY(!m_cache->diskImageExistsSync(url.toString()));
        QCOMPARE(m_service->activeDownloadCount(), 0);
    }

    void invalidUrlCompletesLater() {
        Recorder recorder;
        m_service->loadImage(QUrl(QStringLiteral("No Artwork URL")), {},
                             recorder.completionHandler());
        QVERIFY(recorder.results.isEmpty()); // never inside the call
        QVERIFY(recorder.waitForResults(1));
        QCOMPARE(recorder.results.first().error, ImageLoadError::InvalidUrl);
        QCOMPARE(m_server.requestCount(), 0);
    }

    void cancelStopsTheDownload() {
        FixtureServer::FaultConfig slow;
        slow.fault = Fault::SlowDrip;
        slow.dripChunk = 512;
        slow.dripIntervalMs = 20;
        m_server.setFault(Scope::Artwork, slow);

        Recorder recorder;
        const auto token =
            m_service->loadImage(fullSize(QStringLiteral("slow-s1000.jpg")),
                                 recorder.progressHandler(), recorder.completionHandler());
        QVERIFY(QTest::qWaitFor([&] { return !recorder.progress.isEmpty(); }, 10000));
        m_service->cancel(token);
        QCOMPARE(m_service->activeDownloadCount(), 0);
        QVERIFY(recorder.waitForResults(1));
        QCOMPARE(recorder.results.first().error, ImageLoadError::Cancelled);
        QVERIFY(!recorder.results.first().hasImage());
        QTest::qWait(100);
        QCOMPARE(recorder.results.size(), 1);
    }

    void loadsOfOneUrlShareOneDownload() {
        delayArtwork(200);
        const QUrl url = thumbnail(QStringLiteral("shared"));
        Recorder first;
        Recorder second;
        m_service->loadImage(url, {}, first.completionHandler());
        m_service->loadImage(url, {}, second.completionHandler());
        QVERIFY(first.waitForResults(1));
        QVERIFY(second.waitForResults(1));
        QVERIFY(first.results.first().hasImage());
        QVERIFY(second.results.first().hasImage());
        QCOMPARE(m_server.requestCount(QStringLiteral("/image/thumb")), 1);
    }

    void cancellingOneSharerKeepsTheOther() {
        delayArtwork(200);
        const QUrl url = thumbnail(QStringLiteral("kept"));
        Recorder cancelled;
        Recorder kept;
        const auto token = m_service->loadImage(url, {}, cancelled.completionHandler());
        m_service->loadImage(url, {}, kept.completionHandler());
        m_service->cancel(token);
        QVERIFY(kept.waitForResults(1));
        QVERIFY(kept.results.first().hasImage());
        QCOMPARE(cancelled.results.first().error, ImageLoadError::Cancelled);
    }

    void secondLoadComesFromMemoryThenDisk() {
        const QUrl url = thumbnail(QStringLiteral("cached"));
        Recorder first;
        m_service->loadImage(url, {}, first.completionHandler());
        QVERIFY(first.waitForResults(1));
        QVERIFY(first.results.first().hasImage());

        Recorder second;
        m_service->loadImage(url, {}, second.completionHandler());
        QVERIFY(second.waitForResults(1));
        QCOMPARE(second.results.first().cacheType, ImageCacheType::Memory);

        // A new process: nothing in memory, the bytes on disk.
        freshService();
        Recorder third;
        m_service->loadImage(url, {}, third.completionHandler());
        QVERIFY(third.waitForResults(1));
        QCOMPARE(third.results.first().cacheType, ImageCacheType::Disk);
        QCOMPARE(third.results.first().cover.image.size(), QSize(200, 200));
        QCOMPARE(m_server.requestCount(QStringLiteral("/image/thumb")), 1);
    }

    void diskHoldsTheBytesAsServed() {
        const QUrl url = fullSize(QStringLiteral("source.png"));
        Recorder recorder;
        m_service->loadImage(url, {}, recorder.completionHandler());
        QVERIFY(recorder.waitForResults(1));
        const QByteArray served = recorder.results.first().cover.encodedData;
        QVERIFY(served.startsWith("\x89PNG"));
        m_cache->waitForDiskWork();
        QFile stored(m_cache->diskPathForKey(url.toString()));
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QCOMPARE(stored.readAll(), served);
    }

    void viewLoadReplacesThePrevious() {
        delayArtwork(300);
        FakeView view;
        view.shown = CoverImage{QImage(4, 4, QImage::Format_RGB32), {}};
        Recorder first;
        Recorder second;
        m_service->setImageWithUrl(&view, thumbnail(QStringLiteral("one")), 0, {},
                                   first.completionHandler());
        QVERIFY(view.shown.isNull()); // no placeholder while loading
        m_service->setImageWithUrl(&view, thumbnail(QStringLiteral("two"), 300), 0, {},
                                   second.completionHandler());
        QVERIFY(second.waitForResults(1));
        QVERIFY(first.waitForResults(1));
        QCOMPARE(first.results.first().error, ImageLoadError::Cancelled);
        QVERIFY(second.results.first().hasImage());
        QCOMPARE(view.shown.image.size(), QSize(300, 300));
    }

    void avoidAutoSetLeavesTheViewAlone() {
        FakeView view;
        Recorder recorder;
        m_service->setImageWithUrl(&view, thumbnail(QStringLiteral("manual")),
                                   ImageLoadOption::AvoidAutoSetImage, {},
                                   recorder.completionHandler());
        QVERIFY(recorder.waitForResults(1));
        QVERIFY(recorder.results.first().hasImage());
        QVERIFY(view.shown.isNull());
        QCOMPARE(view.setCount, 1); // only the clearing at the start
    }

    void destroyedViewGetsNoCompletion() {
        delayArtwork(200);
        Recorder recorder;
        {
            FakeView view;
            m_service->setImageWithUrl(&view, thumbnail(QStringLiteral("gone")), 0, {},
                                       recorder.completionHandler());
        }
        QCOMPARE(m_service->activeDownloadCount(), 0);
        QTest::qWait(400);
        QVERIFY(recorder.results.isEmpty());
    }
};

QTEST_MAIN(TestImageService)
#include "tst_imageservice.moc"

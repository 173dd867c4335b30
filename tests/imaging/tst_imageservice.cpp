// The image service: downloads with progress, failures, shared downloads, cancelling.
#include "ImagingRig.h"
#include "TestSupport.h"
#include "imaging/CoverLadder.h"
#include "imaging/ImageService.h"

#include <QDateTime>

using Fault = FixtureServer::Fault;

namespace {

struct Recorder {
    QList<ImageLoadResult> results;
    QList<QPair<qint64, qint64>> progress;
    ImageService::Progress onProgress() {
        return [this](qint64 received, qint64 expected, const QUrl&) {
            QVERIFY(QThread::currentThread() == qApp->thread());
            progress.append({received, expected});
        };
    }
    ImageService::Completion onDone() {
        return [this](const ImageLoadResult& result) {
            QVERIFY(QThread::currentThread() == qApp->thread());
            results.append(result);
        };
    }
    bool wait(int count = 1) {
        return QTest::qWaitFor([&] { return results.size() >= count; }, 15000);
    }
};

} // namespace

class TestImageService : public QObject {
    Q_OBJECT
private:
    ImagingRig m_rig;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_rig.server.start()); }
    void init() { m_rig.reset(); }
    void cleanup() { m_rig.close(); }

    void progressAsServed_data() {
        TestSupport::columns<int, bool>("fault", "sizeKnown");
        TestSupport::row("with length", int(Fault::None), true);
        TestSupport::row("slow drip", int(Fault::SlowDrip), true);
        TestSupport::row("without length", int(Fault::NoContentLength), false);
    }

    void progressAsServed() {
        QFETCH(int, fault);
        QFETCH(bool, sizeKnown);
        m_rig.slowArtwork(Fault(fault), 0);
        Recorder recorder;
        m_rig.service->loadImage(m_rig.art(QStringLiteral("p"), 700), {}, recorder.onProgress(),
                                 recorder.onDone());
        QVERIFY(recorder.wait());
        const ImageLoadResult& result = recorder.results.first();
        QVERIFY2(result.hasImage(), qPrintable(result.errorText));
        QCOMPARE(result.cover.image.size(), QSize(700, 700));
        const qint64 size = result.cover.encodedData.size();
        QCOMPARE(recorder.progress.first(), qMakePair(qint64(0), qint64(-1))); // to the network
        QCOMPARE(recorder.progress.last().first, size);
        for (const auto& [received, expected] : recorder.progress.mid(1)) {
            QCOMPARE(expected, sizeKnown ? size : -1);
        }
    }

    void failuresCompleteWithoutImageOrEntry_data() {
        TestSupport::columns<int, int, int>("fault", "status", "error");
        using TestSupport::row;
        row("404", int(Fault::Status), 404, int(ImageLoadError::HttpStatus));
        row("no image", int(Fault::Garbage), 0, int(ImageLoadError::NotAnImage));
        row("30000x30000 header", int(Fault::PixelBomb), 0, int(ImageLoadError::TooManyPixels));
        row("reset", int(Fault::Reset), 0, int(ImageLoadError::Network));
        row("truncated", int(Fault::Truncate), 0, int(ImageLoadError::Network));
        row("time-out", int(Fault::Delay), 0, int(ImageLoadError::TimedOut));
    }

    void failuresCompleteWithoutImageOrEntry() {
        QFETCH(int, fault);
        QFETCH(int, status);
        QFETCH(int, error);
        FixtureServer::FaultConfig config = TestSupport::fault(Fault(fault), status);
        config.delayMs = 2000;
        m_rig.server.setFault(FixtureServer::Scope::Artwork, config);
        TestSupport::context().network().setTransferTimeout(300);
        Recorder recorder;
        const QUrl url = m_rig.art(QStringLiteral("broken"));
        m_rig.service->loadImage(url, {}, {}, recorder.onDone());
        QVERIFY(recorder.wait());
        QCOMPARE(int(recorder.results.first().error), error);
        QVERIFY(!recorder.results.first().hasImage());
        QCOMPARE(recorder.results.first().url, url);
        m_rig.cache->waitForDiskWork();
        QCOMPARE(m_rig.cache->diskUsageSync().count, quint64(0));
    }

    void loadsShareOneDownloadAndTheCache() {
        m_rig.slowArtwork(Fault::Delay, 200);
        const QUrl url = m_rig.art(QStringLiteral("shared"));
        Recorder first;
        Recorder cancelled;
        Recorder second;
        m_rig.service->loadImage(url, {}, {}, first.onDone());
        m_rig.service->cancel(m_rig.service->loadImage(url, {}, {}, cancelled.onDone()));
        m_rig.service->loadImage(url, QSize(40, 40), {}, second.onDone()); // a list's thumbnail
        QVERIFY(first.wait() && second.wait() && cancelled.wait());
        QVERIFY(first.results.first().hasImage() && second.results.first().hasImage());
        QCOMPARE(cancelled.results.first().error, ImageLoadError::Cancelled);
        QCOMPARE(first.results.first().cover.image.width(), 200);
        QVERIFY(second.results.first().cover.image.width() < 200);

        // Memory serves each size the picture made for it, never the other's.
        for (const QSize& box : {QSize(), QSize(40, 40)}) {
            Recorder fromMemory;
            m_rig.service->loadImage(url, box, {}, fromMemory.onDone());
            QVERIFY(fromMemory.results.isEmpty()); // never inside the call
            QVERIFY(fromMemory.wait());
            QCOMPARE(fromMemory.results.first().cacheType, ImageCacheType::Memory);
            QCOMPARE(fromMemory.results.first().cover.image.size(),
                     (box.isValid() ? second : first).results.first().cover.image.size());
        }
        m_rig.restart();
        Recorder fromDisk;
        m_rig.service->loadImage(url, {}, {}, fromDisk.onDone());
        QVERIFY(fromDisk.wait());
        QCOMPARE(fromDisk.results.first().cacheType, ImageCacheType::Disk);
        QCOMPARE(fromDisk.results.first().cover.encodedData,
                 first.results.first().cover.encodedData);
        QCOMPARE(m_rig.server.requestCount(), 1);
    }

    void cancelStopsTheTransfer() {
        m_rig.slowArtwork(Fault::SlowDrip, 0);
        Recorder recorder;
        const auto token = m_rig.service->loadImage(m_rig.art(QStringLiteral("slow"), 1000), {},
                                                    recorder.onProgress(), recorder.onDone());
        QVERIFY(QTest::qWaitFor([&] { return recorder.progress.size() > 1; }, 10000));
        m_rig.service->cancel(token);
        QCOMPARE(m_rig.service->activeDownloadCount(), 0);
        QVERIFY(recorder.wait());
        QCOMPARE(recorder.results.first().error, ImageLoadError::Cancelled);
        Recorder invalid;
        m_rig.service->loadImage(QUrl(QStringLiteral("No Artwork URL")), {}, {}, invalid.onDone());
        QVERIFY(invalid.wait());
        QCOMPARE(invalid.results.first().error, ImageLoadError::InvalidUrl);
        QCOMPARE(m_rig.server.requestCount(), 1);
    }
};

SLEEVANTA_TEST_MAIN(TestImageService, QGuiApplication)
#include "tst_imageservice.moc"

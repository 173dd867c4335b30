// The image cache (memory and disk), the image service's downloads, and the
// JPEG bytes a cover is written as.
#include "CoverLadder.h"
#include "ImageService.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QDateTime>
#include <QImageWriter>

using Fault = FixtureServer::Fault;

namespace {

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

QImage filled(const QSize& size, QColor color, QImage::Format format = QImage::Format_RGB32) {
    QImage image(size, format);
    image.fill(color);
    return image;
}

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

class FakeView : public QObject, public ImageViewContract {
public:
    QObject* imageViewObject() override { return this; }
    void setLoadedImage(const CoverImage& image) override { shown = image; }
    CoverImage shown{filled({4, 4}, Qt::red), {}};
};

} // namespace

class TestImaging : public QObject {
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
        const QByteArray png = encoded(filled({64, 48}, Qt::darkCyan), "png");
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
        TestSupport::row("cut-off JPEG", encoded(filled({300, 300}, Qt::red), "jpeg").left(40));
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
        const QByteArray a = encoded(filled({32, 32}, Qt::red), "jpeg");
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
        const QByteArray png = encoded(filled({8, 8}, Qt::red), "png");
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
            cache.storeInMemory(QString::number(i), CoverImage{filled({128, 128}, Qt::red), {}});
        }
        QVERIFY(cache.imageFromMemory(QStringLiteral("9")));
        // More than a quarter of the budget: kept out, the thumbnails stay.
        cache.storeInMemory(QStringLiteral("big"), CoverImage{filled({300, 300}, Qt::red), {}});
        QVERIFY(!cache.imageFromMemory(QStringLiteral("big")));
        QVERIFY(cache.imageFromMemory(QStringLiteral("0")));
        for (int i = 10; i < 30; ++i) {
            cache.storeInMemory(QString::number(i), CoverImage{filled({128, 128}, Qt::red), {}});
        }
        QVERIFY(cache.memoryCost() <= 1024 * 1024);
        QVERIFY(!cache.imageFromMemory(QStringLiteral("0")));
    }

    void progressAsServed_data() {
        TestSupport::columns<int, bool>("fault", "sizeKnown");
        TestSupport::row("with length", int(Fault::None), true);
        TestSupport::row("slow drip", int(Fault::SlowDrip), true);
        TestSupport::row("without length", int(Fault::NoContentLength), false);
    }
    void progressAsServed() {
        QFETCH(int, fault);
        QFETCH(bool, sizeKnown);
        slowArtwork(Fault(fault), 0);
        Recorder recorder;
        m_service->loadImage(art(QStringLiteral("p"), 700), {}, recorder.onProgress(),
                             recorder.onDone());
        QVERIFY(recorder.wait());
        const ImageLoadResult& result = recorder.results.first();
        QVERIFY2(result.hasImage(), qPrintable(result.errorText));
        QCOMPARE(result.cover.image.size(), QSize(700, 700));
        const qint64 size = result.cover.encodedData.size();
        QVERIFY(!recorder.progress.isEmpty());
        QCOMPARE(recorder.progress.last().first, size);
        for (const auto& [received, expected] : std::as_const(recorder.progress)) {
            QCOMPARE(expected, sizeKnown ? size : -1);
        }
    }

    void failuresCompleteWithoutImageOrEntry_data() {
        TestSupport::columns<int, int, int>("fault", "status", "error");
        using TestSupport::row;
        row("404", int(Fault::Status), 404, int(ImageLoadError::HttpStatus));
        row("no image", int(Fault::Garbage), 0, int(ImageLoadError::NotAnImage));
        row("30000x30000 header", int(Fault::HugeImageHeader), 0, int(ImageLoadError::NotAnImage));
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
        m_server.setFault(FixtureServer::Scope::Artwork, config);
        NetworkAccess::setTransferTimeout(300);
        Recorder recorder;
        const QUrl url = art(QStringLiteral("broken"));
        m_service->loadImage(url, {}, {}, recorder.onDone());
        QVERIFY(recorder.wait());
        QCOMPARE(int(recorder.results.first().error), error);
        QVERIFY(!recorder.results.first().hasImage());
        QCOMPARE(recorder.results.first().url, url);
        m_cache->waitForDiskWork();
        QCOMPARE(m_cache->diskUsageSync().count, quint64(0));
    }

    void loadsShareOneDownloadAndTheCache() {
        slowArtwork(Fault::Delay, 200);
        const QUrl url = art(QStringLiteral("shared"));
        Recorder first;
        Recorder cancelled;
        Recorder second;
        m_service->loadImage(url, {}, {}, first.onDone());
        m_service->cancel(m_service->loadImage(url, {}, {}, cancelled.onDone()));
        m_service->loadImage(url, {}, {}, second.onDone());
        QVERIFY(first.wait() && second.wait() && cancelled.wait());
        QVERIFY(first.results.first().hasImage() && second.results.first().hasImage());
        QCOMPARE(cancelled.results.first().error, ImageLoadError::Cancelled);

        Recorder fromMemory;
        m_service->loadImage(url, {}, {}, fromMemory.onDone());
        QVERIFY(fromMemory.results.isEmpty()); // never inside the call
        QVERIFY(fromMemory.wait());
        QCOMPARE(fromMemory.results.first().cacheType, ImageCacheType::Memory);
        restart();
        Recorder fromDisk;
        m_service->loadImage(url, {}, {}, fromDisk.onDone());
        QVERIFY(fromDisk.wait());
        QCOMPARE(fromDisk.results.first().cacheType, ImageCacheType::Disk);
        QCOMPARE(fromDisk.results.first().cover.encodedData,
                 first.results.first().cover.encodedData);
        QCOMPARE(m_server.requestCount(), 1);
    }

    void cancelStopsTheTransfer() {
        slowArtwork(Fault::SlowDrip, 0);
        Recorder recorder;
        const auto token = m_service->loadImage(art(QStringLiteral("slow"), 1000), {},
                                                recorder.onProgress(), recorder.onDone());
        QVERIFY(QTest::qWaitFor([&] { return !recorder.progress.isEmpty(); }, 10000));
        m_service->cancel(token);
        QCOMPARE(m_service->activeDownloadCount(), 0);
        QVERIFY(recorder.wait());
        QCOMPARE(recorder.results.first().error, ImageLoadError::Cancelled);
        Recorder invalid;
        m_service->loadImage(QUrl(QStringLiteral("No Artwork URL")), {}, {}, invalid.onDone());
        QVERIFY(invalid.wait());
        QCOMPARE(invalid.results.first().error, ImageLoadError::InvalidUrl);
        QCOMPARE(m_server.requestCount(), 1);
    }

    void viewLoadsReplaceEachOther() {
        slowArtwork(Fault::Delay, 300);
        FakeView view;
        Recorder first;
        Recorder second;
        m_service->setImageWithUrl(&view, art(QStringLiteral("one")), 0, {}, first.onDone());
        QVERIFY(view.shown.isNull()); // no placeholder while loading
        m_service->setImageWithUrl(&view, art(QStringLiteral("two"), 300), 0, {}, second.onDone());
        QVERIFY(first.wait() && second.wait());
        QCOMPARE(first.results.first().error, ImageLoadError::Cancelled);
        QCOMPARE(view.shown.image.size(), QSize(300, 300));

        Recorder manual;
        m_service->setImageWithUrl(&view, art(QStringLiteral("three")),
                                   ImageLoadOption::AvoidAutoSetImage, {}, manual.onDone());
        QVERIFY(manual.wait());
        QVERIFY(manual.results.first().hasImage() && view.shown.isNull());

        Recorder orphan;
        {
            FakeView gone;
            m_service->setImageWithUrl(&gone, art(QStringLiteral("four")), 0, {}, orphan.onDone());
        }
        QCOMPARE(m_service->activeDownloadCount(), 0);
        QTest::qWait(400);
        QVERIFY(orphan.results.isEmpty());
    }

    // Which rungs are asked for, in which order, and which one answers.
    void ladder_data() {
        TestSupport::columns<QString, bool, int, QStringList, QSize, bool>(
            "item", "high", "originalFault", "asked", "size", "original");
        using TestSupport::row;
        const int none = int(Fault::None);
        const QStringList originalThen9999{"original", "9999"};
        row("JPEG original", "Music/v4/big/cover-s3000.jpg", true, none, QStringList{"original"},
            QSize(3000, 3000), true);
        row("TIFF original", "Music/v4/aa/859713193161_cover-s2400.tif", true, none,
            QStringList{"original"}, QSize(2400, 2400), true);
        row("bare source: 404", "Music/v4/0b/old-s1600/source", true, none, originalThen9999,
            QSize(1600, 1600), false);
        row("layered original: not asked", "Video126/v4/dd/pr_source.lsr", true, none,
            QStringList{"9999"}, QSize(1400, 2100), false);
        row("HTML original", "Music/v4/h/html.jpg", true, int(Fault::Garbage), originalThen9999,
            QSize(1400, 1400), false);
        row("30000x30000 original", "Music/v4/h/header.jpg", true, int(Fault::HugeImageHeader),
            originalThen9999, QSize(1400, 1400), false);
        row("300 MB original", "Music/v4/h/body.jpg", true, int(Fault::HugeBody), originalThen9999,
            QSize(1400, 1400), false);
        row("never-ending original", "Music/v4/h/drip.jpg", true, int(Fault::SlowDrip),
            originalThen9999, QSize(1400, 1400), false);
        row("standard quality", "Music/v4/big/cover-s3000.jpg", false, none, QStringList{"600"},
            QSize(600, 600), false);
        row("every rung fails", "Music/v4/h/fails.jpg", true, int(Fault::Status),
            QStringList{"original", "9999", "3000", "600"}, QSize(0, 0), false);
    }
    void ladder() {
        QFETCH(QString, item);
        QFETCH(bool, high);
        QFETCH(int, originalFault);
        QFETCH(QStringList, asked);
        QFETCH(QSize, size);
        QFETCH(bool, original);
        FixtureServer::FaultConfig config = TestSupport::fault(Fault(originalFault), 404);
        config.dripIntervalMs = 100;
        config.onlyPathsContaining = originalFault == int(Fault::Status) ? "" : "/us/r1000/0/";
        m_server.setFault(FixtureServer::Scope::Artwork, config);
        if (Fault(originalFault) == Fault::SlowDrip) {
            NetworkAccess::setArtworkDeadline(500); // else a slow machine misses real originals
        }
        const QString origin = m_server.origin();
        const QList<CoverRung> rungs =
            CoverLadder::rungs(origin + "/us/r1000/0/" + item,
                               origin + "/image/thumb/" + item + "/600x600bb.jpg", high);
        auto climb = [&] {
            std::optional<std::pair<ImageLoadResult, CoverRung>> done;
            CoverLoader loader(*m_service);
            loader.load(rungs, {}, {}, [&](const ImageLoadResult& r, const CoverRung& rung) {
                done.emplace(r, rung);
            });
            (void)QTest::qWaitFor([&] { return done.has_value(); }, 15000);
            return done.value_or(std::pair<ImageLoadResult, CoverRung>{});
        };
        const auto [result, rung] = climb();
        QStringList requested;
        for (const QByteArray& target : m_server.requestTargets()) {
            requested << (target.startsWith("/us/") ? QStringLiteral("original")
                                                    : QString::fromLatin1(target.split('/').last())
                                                          .section(QLatin1Char('x'), 0, 0));
        }
        QCOMPARE(requested, asked);
        QCOMPARE(result.cover.image.size(), size);
        QCOMPARE(rung.original, original);
        if (!size.isEmpty()) {
            const CoverFacts facts = CoverFacts::of(result.cover.encodedData, original);
            QCOMPARE(facts.size, size);
            // Within the run the rung that answered is asked first: from the cache.
            restart();
            const auto [again, same] = climb();
            QCOMPARE(same, rung);
            QCOMPARE(again.cacheType, ImageCacheType::Disk);
            QCOMPARE(m_server.requestCount(), asked.size());
        }
    }

    void coverFacts_data() {
        TestSupport::columns<QByteArray, bool, QString, QString>("format", "original", "display",
                                                                 "line");
        TestSupport::row("JPEG original", QByteArray("jpeg"), true,
                         "90 × 60 · JPEG · 1 KB · original", "90×60 JPEG 1 KB original");
        TestSupport::row("PNG rendition", QByteArray("png"), false, "90 × 60 · PNG · 1 KB",
                         "90×60 PNG 1 KB rendition");
    }
    void coverFacts() {
        QFETCH(QByteArray, format);
        QFETCH(bool, original);
        QFETCH(QString, display);
        QFETCH(QString, line);
        const CoverFacts facts =
            CoverFacts::of(encoded(filled({90, 60}, Qt::red), format.constData()), original);
        QCOMPARE(facts.display(), display);
        QCOMPARE(facts.line(), line);
        const CoverFacts large{QSize(3000, 3000), QStringLiteral("JPEG"), 2516582, true};
        QCOMPARE(large.display(), QStringLiteral("3000 × 3000 · JPEG · 2.4 MB · original"));
    }

    // Decoded for the view: never smaller than the pixels shown, never larger
    // than the picture.
    void decodedForTheView_data() {
        TestSupport::columns<QSize, QSize, QSize>("picture", "box", "decoded");
        TestSupport::row("large into a wide box", QSize(3000, 3000), QSize(800, 600),
                         QSize(600, 600));
        TestSupport::row("poster", QSize(600, 900), QSize(400, 400), QSize(267, 400));
        TestSupport::row("small picture", QSize(500, 500), QSize(800, 800), QSize(500, 500));
        TestSupport::row("no box", QSize(700, 300), QSize(), QSize(700, 300));
    }
    void decodedForTheView() {
        QFETCH(QSize, picture);
        QFETCH(QSize, box);
        QFETCH(QSize, decoded);
        QCOMPARE(ImageCodec::decodeSize(picture, box), decoded);
        const QByteArray jpeg = encoded(filled(picture, Qt::darkGreen), "jpeg");
        const CoverImage cover = ImageCodec::decodeCover(jpeg, box);
        QCOMPARE(cover.image.size(), decoded);
        QCOMPARE(cover.pictureSize(), picture);
        QCOMPARE(cover.encodedData, jpeg);
    }

    void coversAreWrittenAsJpeg_data() {
        TestSupport::columns<QByteArray, QColor>("format", "centre");
        TestSupport::row("JPEG bytes as they came", QByteArray("jpeg"), QColor(30, 160, 60));
        TestSupport::row("PNG", QByteArray("png"), QColor(30, 160, 60));
        TestSupport::row("alpha flattened onto white", QByteArray("png-alpha"), QColor(Qt::white));
    }
    void coversAreWrittenAsJpeg() {
        QFETCH(QByteArray, format);
        QFETCH(QColor, centre);
        const bool alpha = format.endsWith("alpha");
        const QImage image = filled({90, 60}, alpha ? QColor(Qt::transparent) : QColor(30, 160, 60),
                                    alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        const QByteArray bytes = encoded(image, alpha ? "png" : format.constData());
        const auto jpeg = ImageCodec::jpegData(CoverImage{ImageCodec::decode(bytes), bytes});
        QVERIFY(jpeg && ImageCodec::isJpeg(*jpeg));
        if (format == "jpeg") {
            QCOMPARE(*jpeg, bytes);
        }
        const QColor written = ImageCodec::decode(*jpeg).pixelColor(45, 30);
        QVERIFY2(qAbs(written.red() - centre.red()) < 4 &&
                     qAbs(written.green() - centre.green()) < 4,
                 qPrintable(written.name()));
        QVERIFY(!ImageCodec::jpegData(CoverImage{QImage(), "not an image"}));
    }
};

SLEEVANTA_TEST_MAIN(TestImaging, QGuiApplication)
#include "tst_imaging.moc"

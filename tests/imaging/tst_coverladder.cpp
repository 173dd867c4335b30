// The resolution ladder: which rungs are asked, which answers, and what arrived.
#include "ImagingRig.h"
#include "TestSupport.h"
#include "imaging/CoverLadder.h"
#include "imaging/ImageService.h"
#include "platform/LocaleFormat.h"

#include <QDateTime>

using Fault = FixtureServer::Fault;

// The store's rungs for an item of the fixture catalogue.
static QList<CoverRung> rungsOf(const QString& origin, const QString& item, bool high) {
    CoverItem cover;
    cover.highResolutionUrl = QUrl(origin + "/us/r1000/0/" + item);
    cover.standardResolutionUrl = QUrl(origin + "/image/thumb/" + item + "/600x600bb.jpg");
    return TestSupport::context().sources().primary().rungs(cover, high);
}

class TestCoverLadder : public QObject {
    Q_OBJECT
private:
    ImagingRig m_rig;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_rig.server.start()); }
    void init() { m_rig.reset(); }
    void cleanup() { m_rig.close(); }

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
        row("30000x30000 original", "Music/v4/h/header.jpg", true, int(Fault::PixelBomb),
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
        m_rig.server.setFault(FixtureServer::Scope::Artwork, config);
        if (Fault(originalFault) == Fault::SlowDrip) {
            TestSupport::context().network().setArtworkDeadline(
                500); // else a slow machine misses real originals
        }
        const QString origin = m_rig.server.origin();
        const QList<CoverRung> rungs = rungsOf(origin, item, high);
        auto climb = [&] {
            std::optional<std::pair<ImageLoadResult, CoverRung>> done;
            CoverLoader loader(*m_rig.service);
            loader.load(rungs, {}, {}, [&](const ImageLoadResult& r, const CoverRung& rung) {
                done.emplace(r, rung);
            });
            (void)QTest::qWaitFor([&] { return done.has_value(); }, 15000);
            return done.value_or(std::pair<ImageLoadResult, CoverRung>{});
        };
        const auto [result, rung] = climb();
        QStringList requested;
        for (const QByteArray& target : m_rig.server.requestTargets()) {
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
            m_rig.restart();
            const auto [again, same] = climb();
            QCOMPARE(same, rung);
            QCOMPARE(again.cacheType, ImageCacheType::Disk);
            QCOMPARE(m_rig.server.requestCount(), asked.size());
        }
    }

    // The high rungs share one stall allowance: the standard rendition is had
    // within it, not after a full one per rung.
    void highRungsShareOneStallAllowance() {
        FixtureServer::FaultConfig stall = TestSupport::fault(Fault::Delay);
        stall.delayMs = 5000;
        stall.exceptPathsContaining = "/600x600bb.jpg";
        m_rig.server.setFault(FixtureServer::Scope::Artwork, stall);
        TestSupport::context().network().setTransferTimeout(400);
        const QString item = QStringLiteral("Music/v4/st/stall.jpg");
        const QString origin = m_rig.server.origin();
        CoverLoader loader(*m_rig.service);
        std::optional<CoverRung> answered;
        loader.load(rungsOf(origin, item, true), {}, {},
                    [&](const ImageLoadResult& r, const CoverRung& rung) {
                        QVERIFY(r.hasImage());
                        answered = rung;
                    });
        QTRY_VERIFY_WITH_TIMEOUT(answered.has_value(), 5000);
        QVERIFY(answered->url.path().endsWith(QLatin1String("/600x600bb.jpg")));
        // One rung's stall at most passed before the last high rung's turn came.
        QCOMPARE(m_rig.server.requestCount(QStringLiteral("/image/thumb/") + item + "/3000x3000"),
                 0);
    }

    void coverFacts_data() {
        TestSupport::columns<QByteArray, bool, QString, QString>("format", "original", "display",
                                                                 "line");
        TestSupport::row("JPEG original", QByteArray("jpeg"), true,
                         "90 × 60 · JPEG · 1 kB · original", "90×60 JPEG 1 KB original");
        TestSupport::row("PNG rendition", QByteArray("png"), false, "90 × 60 · PNG · 1 kB",
                         "90×60 PNG 1 KB rendition");
    }

    void coverFacts() {
        QFETCH(QByteArray, format);
        QFETCH(bool, original);
        QFETCH(QString, display);
        QFETCH(QString, line);
        const CoverFacts facts = CoverFacts::of(
            TestSupport::encoded(TestSupport::filled({90, 60}, Qt::red), format.constData()),
            original);
        QCOMPARE(facts.display(), display);
        QCOMPARE(facts.line(), line);
        const CoverFacts large{QSize(3000, 3000), QStringLiteral("JPEG"), 2516582, true};
        QCOMPARE(large.display(), QStringLiteral("3000 × 3000 · JPEG · 2.4 MB · original"));
    }

    // Sizes and counts in the user's digits; "MB" is 1024 × 1024 bytes.
    void localeFormats_data() {
        TestSupport::columns<QString, qint64, int, QString, QString>("locale", "bytes", "decimals",
                                                                     "size", "count");
        TestSupport::row("English kilobytes", "en_US", 89088LL, 1, "87 kB", "89,088");
        TestSupport::row("German megabytes", "de_DE", 2516582LL, 1, "2,4 MB", "2.516.582");
        TestSupport::row("under a kilobyte", "de_DE", 300LL, 1, "1 kB", "300");
        TestSupport::row("nothing", "en_US", 0LL, 1, "0 bytes", "0");
        TestSupport::row("whole megabytes", "en_US", 17804820LL, 0, "17 MB", "17,804,820");
        TestSupport::row("Arabic digits", "ar_EG", 2516582LL, 1, "٢٫٤ م.ب", "٢٬٥١٦٬٥٨٢");
    }

    void localeFormats() {
        QFETCH(QString, locale);
        QFETCH(qint64, bytes);
        QFETCH(int, decimals);
        QTEST(LocaleFormat::dataSize(bytes, decimals, QLocale(locale)), "size");
        QTEST(LocaleFormat::count(bytes, QLocale(locale)), "count");
    }
};

SLEEVANTA_TEST_MAIN(TestCoverLadder, QGuiApplication)
#include "tst_coverladder.moc"

// Image work and the GUI thread: decoding covers of three sizes, writing the
// temporary cover file for each, and loading 50 thumbnails from the fixture
// catalogue. For each, the median time and the longest stretch the GUI thread
// was kept busy (measured by a timer that records its own lateness).
#include "BenchSupport.h"
#include "FixtureServer.h"
#include "ImageCodec.h"
#include "ImageService.h"
#include "TemporaryCoverFile.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings and the temporary cover file stay inside a scratch folder.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.path()));
    QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QGuiApplication app(argc, argv);

    FixtureServer server;
    if (!server.start()) {
        std::fprintf(stderr, "the fixture server did not start\n");
        return 1;
    }
    StallMeter meter;
    double worstStall = 0;
    std::printf("%-34s %12s %14s\n", "benchmark", "median ms", "GUI busy ms");

    for (int side : {600, 3000, 5000}) {
        const QByteArray jpeg = jpegOfSide(side);
        const int runs = side >= 3000 ? 5 : 15;

        // Decoding, as the service does it for a cover pane 800 device pixels
        // wide: on the pool, completion on the GUI thread.
        std::vector<double> decodeTimes;
        double stall = 0;
        CoverImage cover;
        for (int run = 0; run < runs; ++run) {
            double elapsed = 0;
            stall = std::max(
                stall,
                runMeasured(
                    meter,
                    [&](std::function<void()> done) {
                        auto* watcher = new QFutureWatcher<QImage>();
                        QObject::connect(
                            watcher, &QFutureWatcher<QImage>::finished,
                            [watcher, done, &cover, &jpeg, side] {
                                cover = CoverImage{watcher->result(), jpeg, QSize(side, side)};
                                watcher->deleteLater();
                                done();
                            });
                        watcher->setFuture(QtConcurrent::run(
                            [&jpeg] { return ImageCodec::decode(jpeg, QSize(800, 800)); }));
                    },
                    &elapsed));
            decodeTimes.push_back(elapsed);
        }
        worstStall = std::max(worstStall, stall);
        std::printf("decode %4dx%-4d JPEG (%5.1f MB) for 800 %8.2f %14.2f\n", side, side,
                    jpeg.size() / 1048576.0, median(decodeTimes), stall);

        // The temporary cover file for it.
        std::vector<double> writeTimes;
        stall = 0;
        for (int run = 0; run < runs; ++run) {
            double elapsed = 0;
            stall = std::max(stall, runMeasured(
                                        meter,
                                        [&](std::function<void()> done) {
                                            TemporaryCoverFile::writeAsync(
                                                cover, 1000 + run, QStringLiteral("folder.jpg"),
                                                &app, [done](const QUrl&) { done(); });
                                        },
                                        &elapsed));
            writeTimes.push_back(elapsed);
        }
        worstStall = std::max(worstStall, stall);
        std::printf("temporary file %4dx%-4d            %12.2f %14.2f\n", side, side,
                    median(writeTimes), stall);
    }

    // 50 thumbnails, as a result list loads them: all at once, cold then warm.
    for (const char* pass : {"cold", "memory"}) {
        static QTemporaryDir cacheDir;
        static ImageCache cache(cacheDir.filePath(QStringLiteral("images")));
        static ImageService service(cache);
        std::vector<double> times;
        double stall = 0;
        const int runs = 5;
        for (int run = 0; run < runs; ++run) {
            const bool cold = qstrcmp(pass, "cold") == 0;
            if (cold) {
                cache.clearMemory();
            }
            double elapsed = 0;
            stall = std::max(
                stall,
                runMeasured(
                    meter,
                    [&](std::function<void()> done) {
                        auto remaining = std::make_shared<int>(50);
                        for (int i = 0; i < 50; ++i) {
                            const QUrl url(server.origin() +
                                           QStringLiteral("/image/thumb/Music/b%1/%2/200x200bb.jpg")
                                               .arg(cold ? run : 0)
                                               .arg(i));
                            // Rows of 101 points show 91-pixel thumbnails.
                            service.loadImage(url, QSize(91, 91), {},
                                              [remaining, done](const ImageLoadResult&) {
                                                  if (--*remaining == 0) {
                                                      done();
                                                  }
                                              });
                        }
                    },
                    &elapsed));
            times.push_back(elapsed);
        }
        worstStall = std::max(worstStall, stall);
        std::printf("50 thumbnails (%-6s)              %12.2f %14.2f\n", pass, median(times),
                    stall);
    }

    std::printf("\nlongest GUI stretch: %.2f ms (target: under 50 ms) %s\n", worstStall,
                worstStall < 50 ? "OK" : "MISSED");
    TemporaryCoverFile::removeAll();
    return 0;
}

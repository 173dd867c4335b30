// Image work and the GUI thread: decoding covers of three sizes, writing the
// temporary cover file for each, and loading 50 thumbnails from the fixture
// catalogue. For each, the median time and the longest stretch the GUI thread
// was kept busy (measured by a timer that records its own lateness).
#include "BenchSupport.h"
#include "FixtureServer.h"
#include "imaging/ImageCodec.h"
#include "imaging/ImageService.h"
#include "imaging/TemporaryCoverFile.h"
#include "platform/NetworkAccess.h"
#include "sources/store/StoreCatalogue.h"

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

namespace {

// Decoding a cover as the service does it for a cover pane 800 device pixels
// wide (on the pool, completion on the GUI thread), then its temporary file.
double coverOfSide(QGuiApplication& app, StallMeter& meter, int side) {
    const QByteArray jpeg = jpegOfSide(side);
    const int runs = side >= 3000 ? 5 : 15;
    std::vector<double> decodeTimes;
    double worst = 0;
    CoverImage cover;
    for (int run = 0; run < runs; ++run) {
        double elapsed = 0;
        worst = std::max(
            worst, runMeasured(
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
    std::printf("decode %4dx%-4d JPEG (%5.1f MB) for 800 %8.2f %14.2f\n", side, side,
                jpeg.size() / 1048576.0, median(decodeTimes), worst);

    std::vector<double> writeTimes;
    double stall = 0;
    for (int run = 0; run < runs; ++run) {
        double elapsed = 0;
        stall = std::max(stall, runMeasured(
                                    meter,
                                    [&](std::function<void()> done) {
                                        TemporaryCoverFile::writeAsync(
                                            cover, 1000 + run, QStringLiteral("folder.jpg"), &app,
                                            [done](const QUrl&) { done(); });
                                    },
                                    &elapsed));
        writeTimes.push_back(elapsed);
    }
    std::printf("temporary file %4dx%-4d            %12.2f %14.2f\n", side, side,
                median(writeTimes), stall);
    return std::max(worst, stall);
}

// 50 thumbnails, as a result list loads them: all at once, cold then warm.
double thumbnails(StallMeter& meter, const FixtureServer& server) {
    QTemporaryDir cacheDir;
    ImageCache cache(cacheDir.filePath(QStringLiteral("images")));
    NetworkAccess network;
    const ServiceOrigins origins = ServiceOrigins::singleOrigin(server.origin());
    CoverSources sources;
    sources.add(std::make_unique<StoreCatalogue>(network, origins));
    ImageService service(cache, network, sources);
    double worst = 0;
    for (const bool cold : {true, false}) {
        std::vector<double> times;
        double stall = 0;
        for (int run = 0; run < 5; ++run) {
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
        std::printf("50 thumbnails (%-6s)              %12.2f %14.2f\n", cold ? "cold" : "memory",
                    median(times), stall);
        worst = std::max(worst, stall);
    }
    return worst;
}

} // namespace

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
        worstStall = std::max(worstStall, coverOfSide(app, meter, side));
    }
    worstStall = std::max(worstStall, thumbnails(meter, server));
    std::printf("\nlongest GUI stretch: %.2f ms (target: under 50 ms) %s\n", worstStall,
                worstStall < 50 ? "OK" : "MISSED");
    TemporaryCoverFile::removeAll();
    return 0;
}

// Image work and the GUI thread: decoding covers of three sizes, writing the
// temporary cover file for each, and loading 50 thumbnails from the fixture
// catalogue. For each, the median time and the longest stretch the GUI thread
// was kept busy (measured by a timer that records its own lateness).
#include "FixtureServer.h"
#include "ImageCodec.h"
#include "ImageDataHelper.h"
#include "ImageService.h"

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

// Ticks every 2 ms; the largest gap minus the interval is how long the event
// loop was blocked.
class StallMeter {
public:
    StallMeter() {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(2);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            if (m_last >= 0) {
                m_worst = std::max(m_worst, now - m_last);
            }
            m_last = now;
        });
    }
    void start() {
        m_worst = 0;
        m_last = -1;
        m_clock.start();
        m_timer.start();
    }
    double stopMs() {
        m_timer.stop();
        return std::max<qint64>(0, m_worst - 2000000) / 1e6;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = -1;
    qint64 m_worst = 0;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A photograph-like cover: smooth gradients with noise, so JPEG has work to do.
QByteArray jpegOfSide(int side) {
    QImage image(side, side, QImage::Format_RGB32);
    auto* random = QRandomGenerator::global();
    for (int y = 0; y < side; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < side; ++x) {
            const int noise = int(random->bounded(24));
            line[x] = qRgb((x * 255 / side + noise) & 255, (y * 255 / side + noise) & 255,
                           ((x + y) * 127 / side + noise) & 255);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(92);
    writer.write(image);
    return bytes;
}

// Runs `start` (which calls its argument when done) under the stall meter.
double runMeasured(StallMeter& meter, const std::function<void(std::function<void()>)>& start,
                   double* elapsedMs) {
    QElapsedTimer clock;
    bool done = false;
    meter.start();
    clock.start();
    start([&] { done = true; });
    while (!done) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    *elapsedMs = clock.nsecsElapsed() / 1e6;
    return meter.stopMs();
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
        const QByteArray jpeg = jpegOfSide(side);
        const int runs = side >= 3000 ? 5 : 15;

        // Decoding, as the service does it: on the pool, completion on the GUI thread.
        std::vector<double> decodeTimes;
        double stall = 0;
        CoverImage cover;
        for (int run = 0; run < runs; ++run) {
            double elapsed = 0;
            stall =
                std::max(stall, runMeasured(
                                    meter,
                                    [&](std::function<void()> done) {
                                        auto* watcher = new QFutureWatcher<QImage>();
                                        QObject::connect(watcher, &QFutureWatcher<QImage>::finished,
                                                         [watcher, done, &cover, &jpeg] {
                                                             cover = {watcher->result(), jpeg};
                                                             watcher->deleteLater();
                                                             done();
                                                         });
                                        watcher->setFuture(QtConcurrent::run(
                                            [&jpeg] { return ImageCodec::decode(jpeg); }));
                                    },
                                    &elapsed));
            decodeTimes.push_back(elapsed);
        }
        worstStall = std::max(worstStall, stall);
        std::printf("decode %4dx%-4d JPEG (%5.1f MB)     %12.2f %14.2f\n", side, side,
                    jpeg.size() / 1048576.0, median(decodeTimes), stall);

        // The temporary cover file for it.
        std::vector<double> writeTimes;
        stall = 0;
        for (int run = 0; run < runs; ++run) {
            double elapsed = 0;
            stall = std::max(stall, runMeasured(
                                        meter,
                                        [&](std::function<void()> done) {
                                            ImageDataHelper::createTemporaryFileAsync(
                                                cover, QStringLiteral("Artist"), 1000 + run,
                                                QStringLiteral("Album\n"), &app,
                                                [done](QUrl) { done(); });
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
                            service.loadImage(url, {}, [remaining, done](const ImageLoadResult&) {
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
    ImageDataHelper::removeTemporaryFiles();
    return 0;
}

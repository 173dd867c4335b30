// The application as a user meets it: cold start to the first paint, search
// round trips, covers shown from the disk cache, saving to Downloads, and the
// peak memory after a long result list and a large cover. Each row gives the
// median time and the longest stretch the GUI thread was kept busy.
#include "AppDelegate.h"
#include "AppStyle.h"
#include "BenchSupport.h"
#include "CoverSelection.h"
#include "CoverViewController.h"
#include "DraggableImageView.h"
#include "FixtureServer.h"
#include "ImageCache.h"
#include "MainViewController.h"
#include "MemoryPolicy.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "SearchResults.h"
#include "SearchViewController.h"
#include "ServiceOrigins.h"
#include "TemporaryCoverFile.h"
#include "ThumbnailLoader.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLineEdit>
#include <QProcess>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>

namespace {

// Child mode: start the application's window and report its first paint.
class FirstPaint : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            std::printf("painted\n");
            std::fflush(stdout);
            std::_Exit(0);
        }
        return QObject::eventFilter(watched, event);
    }
};

int runStartupChild(int argc, char* argv[]) {
    QApplication app(argc, argv);
    AppStyle::install(); // as main() does
    MainViewController window;
    AppDelegate delegate(&window);
    FirstPaint filter;
    window.installEventFilter(&filter);
    window.show();
    return QApplication::exec();
}

// The floor for a start: a bare window of the same kinds of widgets.
int runBareChild(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLineEdit);
    for (int i = 0; i < 3; ++i) {
        layout->addWidget(new QComboBox);
    }
    layout->addWidget(new QTableView);
    window.resize(700, 525);
    FirstPaint filter;
    window.installEventFilter(&filter);
    window.show();
    return QApplication::exec();
}

// Milliseconds from starting this program in `mode` to its first paint.
double startTime(const char* program, const char* mode) {
    QElapsedTimer clock;
    clock.start();
    QProcess child;
    child.start(QString::fromLocal8Bit(program), {QLatin1String(mode)});
    child.waitForFinished(10000);
    if (!child.readAllStandardOutput().contains("painted")) {
        std::fprintf(stderr, "the window did not paint\n");
        std::exit(1);
    }
    return clock.nsecsElapsed() / 1e6;
}

void ratio(const char* name, double value, double target) {
    std::printf("ratio %s %.2f (target %.2f)\n", name, value, target);
}

// Median milliseconds of a plain full-size read of `path`.
double medianFullDecode(const QString& path) {
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer clock;
        clock.start();
        QImageReader reader(path);
        const QImage image = reader.read();
        times.push_back(clock.nsecsElapsed() / 1e6);
        if (image.isNull()) {
            std::fprintf(stderr, "the cover did not decode\n");
        }
    }
    return median(times);
}

qint64 peakRssKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').first().toLongLong();
        }
    }
    return -1;
}

// Starts the high-water mark afresh from the current use.
void resetPeakRss() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) {
        clear.write("5");
    }
}

void row(const char* name, double medianMs, double stallMs, double* worst) {
    *worst = std::max(*worst, stallMs);
    std::printf("%-46s %10.2f %12.2f %10.1f\n", name, medianMs, stallMs,
                peakRssKilobytes() / 1024.0);
}

} // namespace

int main(int argc, char* argv[]) {
    MemoryPolicy::apply();
    if (argc > 1 && qstrcmp(argv[1], "--startup-child") == 0) {
        return runStartupChild(argc, argv);
    }
    if (argc > 1 && qstrcmp(argv[1], "--bare-child") == 0) {
        return runBareChild(argc, argv);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir home;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        const QString folder = home.filePath(QString::fromLatin1(name));
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv(name, QFile::encodeName(folder));
    }
    QDir().mkpath(home.filePath(QStringLiteral("HOME/Downloads")));
    QApplication app(argc, argv);

    FixtureServer server;
    if (!server.start()) {
        std::fprintf(stderr, "the fixture server did not start\n");
        return 1;
    }
    qputenv("SLEEVANTA_SERVICE_ORIGIN", server.origin().toUtf8());

    double worst = 0;
    std::printf("%-46s %10s %12s %10s\n", "benchmark", "median ms", "GUI busy ms", "peak MB");

    // Cold start: a new process each time, until the window's first paint.
    // Taken in turns, so that the machine's moods fall on both alike.
    std::vector<double> starts;
    std::vector<double> bareStarts;
    for (int run = 0; run < 11; ++run) {
        starts.push_back(startTime(argv[0], "--startup-child"));
        bareStarts.push_back(startTime(argv[0], "--bare-child"));
    }
    const double start = median(starts);
    const double bareStart = median(bareStarts);
    // The child's own stalls are part of its start-up time.
    std::printf("%-46s %10.2f %12s\n", "cold start to first paint (target 300)", start, "-");
    std::vector<std::pair<const char*, double>> ratios{{"start-vs-bare-window", start / bareStart}};

    ServiceOrigins::setCurrent(ServiceOrigins::singleOrigin(server.origin()));
    MainViewController window;
    AppDelegate delegate(&window);
    window.resize(900, 700);
    window.show();
    QCoreApplication::processEvents();
    SearchViewController* search = window.searchPane();
    CoverViewController* cover = window.coverPane();
    StallMeter meter;

    // Search round trips until the rows are on screen.
    for (int count : {50, 200}) {
        std::vector<double> times;
        double stall = 0;
        for (int run = 0; run < 5; ++run) {
            double elapsed = 0;
            stall =
                std::max(stall, runMeasured(
                                    meter,
                                    [&](std::function<void()> done) {
                                        search->searchField()->setText(
                                            QStringLiteral("generated %1").arg(count));
                                        search->startSearch();
                                        auto* poll = new QTimer(&app);
                                        QObject::connect(poll, &QTimer::timeout, [=] {
                                            if (search->tableView()->model()->rowCount() == count) {
                                                search->tableView()->viewport()->repaint();
                                                poll->deleteLater();
                                                done();
                                            }
                                        });
                                        poll->start(0);
                                    },
                                    &elapsed));
            times.push_back(elapsed);
        }
        const QByteArray name =
            QByteArray("search round trip, ") + QByteArray::number(count) + " results";
        row(name.constData(), median(times), stall, &worst);
    }

    // Thumbnails of every row, scrolled through as a user would.
    {
        double elapsed = 0;
        const double stall = runMeasured(
            meter,
            [&](std::function<void()> done) {
                QScrollBar* bar = search->tableView()->verticalScrollBar();
                auto* step = new QTimer(&app);
                QObject::connect(step, &QTimer::timeout, [=] {
                    if (search->thumbnails()->loadingCount() > 0) {
                        return;
                    }
                    if (bar->value() >= bar->maximum()) {
                        step->deleteLater();
                        done();
                        return;
                    }
                    bar->setValue(bar->value() + search->tableView()->viewport()->height());
                });
                step->start(5);
            },
            &elapsed);
        row("200 rows scrolled, thumbnails loaded", elapsed, stall, &worst);
    }

    // Covers from the disk cache, until they are on screen.
    QByteArray largest;
    std::map<int, double> coverTimes;
    std::map<int, double> fullDecodeTimes;
    for (int side : {600, 3000, 5000}) {
        const QByteArray jpeg = jpegOfSide(side);
        // Cached covers were cached a while ago: on disk, not being written back.
        for (int run = 0; run < 5; ++run) {
            ImageCache::shared().storeImageDataToDiskSync(
                jpeg,
                server.origin() + QStringLiteral("/us/r1000/0/bench/%1-%2.jpg").arg(side).arg(run));
        }
        QFile floor(home.filePath(QStringLiteral("full-%1.jpg").arg(side)));
        floor.open(QIODevice::WriteOnly);
        floor.write(jpeg);
        floor.close();
        ::sync();
        // The floor: a plain full-size read of the same bytes.
        fullDecodeTimes[side] = medianFullDecode(floor.fileName());
        // Drawing the test cover and the floor's decode are no part of the
        // application's memory.
        resetPeakRss();
        std::vector<double> times;
        double stall = 0;
        for (int run = 0; run < 5; ++run) {
            const QUrl url(server.origin() +
                           QStringLiteral("/us/r1000/0/bench/%1-%2.jpg").arg(side).arg(run));
            QVariantMap info{
                {CoverSelection::Keys::artistName, QStringLiteral("A")},
                {CoverSelection::Keys::collectionName, QStringLiteral("B")},
                {CoverSelection::Keys::collectionId, QVariant::fromValue<qint64>(side + run)},
                {CoverSelection::Keys::entityString, QStringLiteral("music")},
                {CoverSelection::Keys::standardResolutionUrl, url},
            };
            double elapsed = 0;
            stall = std::max(stall, runMeasured(
                                        meter,
                                        [&](std::function<void()> done) {
                                            NotificationCenter::defaultCenter().post(
                                                NotificationNames::downloadCover, info);
                                            auto* poll = new QTimer(&app);
                                            QObject::connect(poll, &QTimer::timeout, [=] {
                                                if (cover->coverImageView()->hasImage()) {
                                                    cover->coverImageView()->repaint();
                                                    poll->deleteLater();
                                                    done();
                                                }
                                            });
                                            poll->start(0);
                                        },
                                        &elapsed));
            times.push_back(elapsed);
            if (run < 4) {
                NotificationCenter::defaultCenter().post(NotificationNames::removeCover);
            }
        }
        coverTimes[side] = median(times);
        const QByteArray name = QByteArray("cover from disk cache, ") + QByteArray::number(side) +
                                "x" + QByteArray::number(side) +
                                (side == 3000 ? " (target 150)" : "");
        row(name.constData(), median(times), stall, &worst);
    }
    TemporaryCoverFile::waitForPendingWork();
    QCoreApplication::processEvents();

    // Saving the shown 5000x5000 cover to Downloads.
    {
        std::vector<double> times;
        double stall = 0;
        for (int run = 0; run < 5; ++run) {
            double elapsed = 0;
            stall = std::max(
                stall, runMeasured(
                           meter,
                           [&](std::function<void()> done) {
                               auto connection = std::make_shared<QMetaObject::Connection>();
                               *connection = QObject::connect(
                                   cover, &CoverViewController::saveFinished, [=](const QString&) {
                                       QObject::disconnect(*connection);
                                       done();
                                   });
                               cover->coverAction(1);
                           },
                           &elapsed));
            times.push_back(elapsed);
        }
        row("save 5000x5000 cover to Downloads", median(times), stall, &worst);

        // The floor: the same bytes copied to a new file.
        const QString source = ImageCache::shared().diskPathForKey(
            server.origin() + QStringLiteral("/us/r1000/0/bench/5000-4.jpg"));
        std::vector<double> copies;
        for (int run = 0; run < 5; ++run) {
            const QString target = home.filePath(QStringLiteral("copy-%1.jpg").arg(run));
            QElapsedTimer clock;
            clock.start();
            QFile::copy(source, target);
            copies.push_back(clock.nsecsElapsed() / 1e6);
        }
        ratios.push_back({"save-vs-copy", median(times) / median(copies)});
    }
    ratios.insert(ratios.begin(),
                  {{"cover-3000-vs-full-decode", coverTimes[3000] / fullDecodeTimes[3000]},
                   {"cover-5000-vs-full-decode", coverTimes[5000] / fullDecodeTimes[5000]}});

    const qint64 peak = peakRssKilobytes();
    std::printf("\n");
    const std::map<std::string, double> targets{{"cover-3000-vs-full-decode", 0.35},
                                                {"cover-5000-vs-full-decode", 0.30},
                                                {"start-vs-bare-window", 1.3},
                                                {"save-vs-copy", 1.2}};
    for (const auto& [name, value] : ratios) {
        ratio(name, value, targets.at(name));
    }
    std::printf("peak memory (RSS): %.1f MB (target: at most 120 MB) %s\n", peak / 1024.0,
                peak >= 0 && peak <= 120 * 1024 ? "OK" : "MISSED");
    std::printf("longest GUI stretch: %.2f ms (target: under 16 ms on a quiet machine) %s\n", worst,
                worst < 16 ? "OK" : "MISSED");
    TemporaryCoverFile::removeAll();
    return 0;
}

// The application as a user meets it: cold start to the first paint, search
// round trips, covers shown from the disk cache, saving to Downloads, and the
// peak memory after a long result list and a large cover. Each row gives the
// median time and the longest stretch the GUI thread was kept busy.
#include "BenchSupport.h"
#include "FixtureServer.h"
#include "StartupChild.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "catalogue/CoverItem.h"
#include "imaging/ImageCache.h"
#include "imaging/TemporaryCoverFile.h"
#include "library/AppContext.h"
#include "platform/MemoryPolicy.h"
#include "sources/store/ServiceOrigins.h"
#include "ui/common/AppStyle.h"
#include "ui/cover/CoverPane.h"
#include "ui/cover/DraggableImageView.h"
#include "ui/search/SearchPane.h"
#include "ui/search/ThumbnailLoader.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLineEdit>
#include <QProcess>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <cstdio>
#include <fcntl.h>
#include <map>
#include <string>
#include <unistd.h>

namespace {

void ratio(const char* name, double value, double target) {
    std::printf("ratio %s %.2f (target %.2f)\n", name, value, target);
}

// Milliseconds of a plain full-size read of `path`.
double fullDecodeTime(const QString& path) {
    QElapsedTimer clock;
    clock.start();
    QImageReader reader(path);
    const QImage image = reader.read();
    const double elapsed = clock.nsecsElapsed() / 1e6;
    if (image.isNull()) {
        std::fprintf(stderr, "the cover did not decode\n");
    }
    return elapsed;
}

// Milliseconds to copy `source` to the new file `target`, flushed to disk.
double safeCopyTime(const QString& source, const QString& target) {
    QElapsedTimer clock;
    clock.start();
    QFile::copy(source, target);
    for (const QString& path : {target, QFileInfo(target).path()}) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        ::fsync(fd);
        ::close(fd);
    }
    return clock.nsecsElapsed() / 1e6;
}

// The measurements of one run of the benchmark, each a row of the table.
class AppBenchmark {
public:
    AppBenchmark(QApplication& app, FixtureServer& server, const QString& home)
        : m_app(app), m_server(server), m_home(home) {}

    void startUp(const char* program) {
        // A new process each time, until the window's first paint; taken in
        // turns with the floor, so that the machine's moods fall on both alike.
        std::vector<double> starts;
        std::vector<double> bareStarts;
        for (int run = 0; run < 11; ++run) {
            starts.push_back(StartupChild::startTime(program, "--startup-child"));
            bareStarts.push_back(StartupChild::startTime(program, "--bare-child"));
        }
        // The child's own stalls are part of its start-up time.
        std::printf("%-46s %10.2f %12s\n", "cold start to first paint (target 300)", median(starts),
                    "-");
        m_ratios.push_back({"start-vs-bare-window", median(starts) / median(bareStarts)});
    }

    void openWindow() {
        m_context = std::make_unique<AppContext>();
        m_context->setOrigins(ServiceOrigins::singleOrigin(m_server.origin()));
        m_window = std::make_unique<MainWindow>(*m_context);
        m_delegate = std::make_unique<Application>(*m_context, m_window.get());
        m_window->resize(900, 700);
        m_window->show();
        QCoreApplication::processEvents();
    }

    // Search round trips until the rows are on screen.
    void searches() {
        SearchPane* search = m_window->searchPane();
        for (int count : {50, 200}) {
            std::vector<double> times;
            double stall = 0;
            for (int run = 0; run < 5; ++run) {
                double elapsed = 0;
                stall = std::max(
                    stall,
                    measure(
                        [&](std::function<void()> done) {
                            search->searchField()->setText(
                                QStringLiteral("generated %1").arg(count));
                            search->startSearch();
                            pollUntil(
                                [=] { return search->tableView()->model()->rowCount() == count; },
                                [=] { search->tableView()->viewport()->repaint(); }, done);
                        },
                        &elapsed));
                times.push_back(elapsed);
            }
            const QByteArray name = "search round trip, " + QByteArray::number(count) + " results";
            tableRow(name.constData(), median(times), stall);
        }
    }

    // Thumbnails of every row, scrolled through as a user would.
    void scrolling() {
        SearchPane* search = m_window->searchPane();
        double elapsed = 0;
        const double stall = measure(
            [&](std::function<void()> done) {
                QScrollBar* bar = search->tableView()->verticalScrollBar();
                auto* step = new QTimer(&m_app);
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
        tableRow("200 rows scrolled, thumbnails loaded", elapsed, stall);
    }

    // Covers from the disk cache until they are on screen, each run beside a
    // plain full-size read of the same bytes, so that both see the same load.
    void coversFromDisk() {
        for (int side : {600, 3000, 5000}) {
            const QByteArray jpeg = jpegOfSide(side);
            // Cached covers were cached a while ago: on disk, not being written back.
            for (int run = 0; run < 5; ++run) {
                m_context->cache().storeImageDataToDiskSync(jpeg, coverUrl(side, run).toString());
            }
            m_context->cache().waitForDiskWork();
            QFile floor(m_home + QStringLiteral("/full-%1.jpg").arg(side));
            floor.open(QIODevice::WriteOnly);
            floor.write(jpeg);
            floor.close();
            ::sync();
            std::vector<double> times;
            std::vector<double> ratios;
            double stall = 0;
            for (int run = 0; run < 5; ++run) {
                const double fullDecode = fullDecodeTime(floor.fileName());
                // Drawing the test cover and the floor's decode are no part of
                // the application's memory.
                resetPeakRss();
                double elapsed = 0;
                stall = std::max(stall, showCover(side, run, &elapsed));
                times.push_back(elapsed);
                ratios.push_back(elapsed / fullDecode);
                if (run < 4) {
                    m_window->coverPane()->removeCover();
                }
            }
            const QByteArray name = "cover from disk cache, " + QByteArray::number(side) + "x" +
                                    QByteArray::number(side) +
                                    (side == 3000 ? " (target 150)" : "");
            tableRow(name.constData(), median(times), stall);
            if (side > 600) {
                m_coverRatios.push_back(
                    {side == 3000 ? "cover-3000-vs-full-decode" : "cover-5000-vs-full-decode",
                     median(ratios)});
            }
        }
        TemporaryCoverFile::waitForPendingWork();
        QCoreApplication::processEvents();
    }

    // Saving the shown 5000x5000 cover to Downloads, against copying its
    // bytes to a new file as safely (flushed to disk).
    void saving() {
        CoverPane* cover = m_window->coverPane();
        std::vector<double> times;
        double stall = 0;
        for (int run = 0; run < 5; ++run) {
            double elapsed = 0;
            stall = std::max(stall,
                             measure(
                                 [&](std::function<void()> done) {
                                     auto connection = std::make_shared<QMetaObject::Connection>();
                                     *connection = QObject::connect(
                                         cover, &CoverPane::saveFinished, [=](const QString&) {
                                             QObject::disconnect(*connection);
                                             done();
                                         });
                                     cover->saveCoverToDownloads();
                                 },
                                 &elapsed));
            times.push_back(elapsed);
        }
        tableRow("save 5000x5000 cover to Downloads", median(times), stall);
        const QString source = m_context->cache().diskPathForKey(coverUrl(5000, 4).toString());
        std::vector<double> copies;
        for (int run = 0; run < 5; ++run) {
            copies.push_back(
                safeCopyTime(source, m_home + QStringLiteral("/copy-%1.jpg").arg(run)));
        }
        m_ratios.push_back({"save-vs-copy", median(times) / median(copies)});
    }

    void summary() const {
        const qint64 peak = peakRssKilobytes();
        std::printf("\n");
        const std::map<std::string, double> targets{{"cover-3000-vs-full-decode", 0.35},
                                                    {"cover-5000-vs-full-decode", 0.30},
                                                    {"start-vs-bare-window", 1.3},
                                                    {"save-vs-copy", 1.2}};
        for (const auto& [name, value] : m_coverRatios) {
            ratio(name, value, targets.at(name));
        }
        for (const auto& [name, value] : m_ratios) {
            ratio(name, value, targets.at(name));
        }
        std::printf("peak memory (RSS): %.1f MB (target: at most 120 MB) %s\n", peak / 1024.0,
                    peak >= 0 && peak <= 120 * 1024 ? "OK" : "MISSED");
        std::printf("longest GUI stretch: %.2f ms (target: under 16 ms on a quiet machine) %s\n",
                    m_worst, m_worst < 16 ? "OK" : "MISSED");
    }

private:
    QUrl coverUrl(int side, int run) const {
        return QUrl(m_server.origin() +
                    QStringLiteral("/us/r1000/0/bench/%1-%2.jpg").arg(side).arg(run));
    }
    double measure(const std::function<void(std::function<void()>)>& start, double* elapsed) {
        return runMeasured(m_meter, start, elapsed);
    }
    // Calls `then` and `done` once `ready` holds, looking at every turn.
    void pollUntil(std::function<bool()> ready, std::function<void()> then,
                   std::function<void()> done) {
        auto* poll = new QTimer(&m_app);
        QObject::connect(poll, &QTimer::timeout, [=] {
            if (ready()) {
                then();
                poll->deleteLater();
                done();
            }
        });
        poll->start(0);
    }
    double showCover(int side, int run, double* elapsed) {
        CoverPane* cover = m_window->coverPane();
        CoverItem item;
        item.artistName = QStringLiteral("A");
        item.collectionName = QStringLiteral("B");
        item.collectionId = side + run;
        item.entity = QStringLiteral("music");
        item.standardResolutionUrl = coverUrl(side, run);
        return measure(
            [&](std::function<void()> done) {
                cover->showItem(item);
                pollUntil([=] { return cover->coverImageView()->hasImage(); },
                          [=] { cover->coverImageView()->repaint(); }, done);
            },
            elapsed);
    }
    void tableRow(const char* name, double medianMs, double stallMs) {
        m_worst = std::max(m_worst, stallMs);
        std::printf("%-46s %10.2f %12.2f %10.1f\n", name, medianMs, stallMs,
                    peakRssKilobytes() / 1024.0);
    }

    QApplication& m_app;
    FixtureServer& m_server;
    QString m_home;
    StallMeter m_meter;
    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<Application> m_delegate;
    double m_worst = 0;
    std::vector<std::pair<const char*, double>> m_coverRatios;
    std::vector<std::pair<const char*, double>> m_ratios;
};

} // namespace

int main(int argc, char* argv[]) {
    MemoryPolicy::apply();
    if (argc > 1 && qstrcmp(argv[1], "--startup-child") == 0) {
        return StartupChild::runStartupChild(argc, argv);
    }
    if (argc > 1 && qstrcmp(argv[1], "--bare-child") == 0) {
        return StartupChild::runBareChild(argc, argv);
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

    std::printf("%-46s %10s %12s %10s\n", "benchmark", "median ms", "GUI busy ms", "peak MB");
    AppBenchmark bench(app, server, home.path());
    bench.startUp(argv[0]);
    bench.openWindow();
    bench.searches();
    bench.scrolling();
    bench.coversFromDisk();
    bench.saving();
    bench.summary();
    TemporaryCoverFile::removeAll();
    return 0;
}

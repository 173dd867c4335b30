// The application as a user meets it: cold start to the first paint, search
// round trips, covers shown from the disk cache, saving to Downloads, and the
// peak memory after a long result list and a large cover. Each row gives the
// median time and the longest stretch the GUI thread was kept busy.
#include "AlbumObjectHelper.h"
#include "AppDelegate.h"
#include "BenchSupport.h"
#include "CoverSelection.h"
#include "CoverViewController.h"
#include "DraggableImageView.h"
#include "FixtureServer.h"
#include "ImageCache.h"
#include "ImageDataHelper.h"
#include "MainViewController.h"
#include "MemoryPolicy.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "SearchViewController.h"
#include "ServiceOrigins.h"
#include "ThumbnailLoader.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>

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
    MainViewController window;
    AppDelegate delegate(&window);
    FirstPaint filter;
    window.installEventFilter(&filter);
    window.show();
    return QApplication::exec();
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
    {
        std::vector<double> times;
        for (int run = 0; run < 5; ++run) {
            QElapsedTimer clock;
            clock.start();
            QProcess child;
            child.start(QString::fromLocal8Bit(argv[0]), {QStringLiteral("--startup-child")});
            child.waitForFinished(10000);
            if (!child.readAllStandardOutput().contains("painted")) {
                std::fprintf(stderr, "the window did not paint\n");
                return 1;
            }
            times.push_back(clock.nsecsElapsed() / 1e6);
        }
        // The child's own stalls are part of its start-up time.
        std::printf("%-46s %10.2f %12s\n", "cold start to first paint (target 300)", median(times),
                    "-");
    }

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
    for (int side : {600, 3000, 5000}) {
        const QByteArray jpeg = jpegOfSide(side);
        // Drawing the test cover is no part of the application's memory.
        resetPeakRss();
        std::vector<double> times;
        double stall = 0;
        for (int run = 0; run < 5; ++run) {
            const QUrl url(server.origin() +
                           QStringLiteral("/us/r1000/0/bench/%1-%2.jpg").arg(side).arg(run));
            ImageCache::shared().storeImageDataToDiskSync(jpeg, url.toString());
            QVariantMap info{
                {CoverSelection::Keys::artistName, QVariant::fromValue(AttributedText::thin("A"))},
                {CoverSelection::Keys::collectionName,
                 QVariant::fromValue(AttributedText::semibold("B\n"))},
                {CoverSelection::Keys::collectionId, QVariant::fromValue<qint64>(side + run)},
                {CoverSelection::Keys::entityString, QStringLiteral("music")},
                {CoverSelection::Keys::standardResolutionUrl, url},
            };
            double elapsed = 0;
            stall = std::max(stall,
                             runMeasured(
                                 meter,
                                 [&](std::function<void()> done) {
                                     NotificationCenter::defaultCenter().post(
                                         NotificationNames::downloadCover, info);
                                     auto* poll = new QTimer(&app);
                                     QObject::connect(poll, &QTimer::timeout, [=] {
                                         if (cover->state() == CoverViewController::State::Shown) {
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
        const QByteArray name = QByteArray("cover from disk cache, ") + QByteArray::number(side) +
                                "x" + QByteArray::number(side) +
                                (side == 3000 ? " (target 150)" : "");
        row(name.constData(), median(times), stall, &worst);
    }
    ImageDataHelper::waitForPendingWork();
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
    }

    const qint64 peak = peakRssKilobytes();
    std::printf("\npeak memory (RSS): %.1f MB (target: under 200 MB) %s\n", peak / 1024.0,
                peak >= 0 && peak < 200 * 1024 ? "OK" : "MISSED");
    std::printf("longest GUI stretch: %.2f ms (target: under 50 ms) %s\n", worst,
                worst < 50 ? "OK" : "MISSED");
    ImageDataHelper::removeTemporaryFiles();
    return 0;
}

#include "Commands.h"
#include "FillRun.h"
#include "Output.h"

#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <unistd.h>

namespace Commands {

namespace {

// Set by SIGINT; the run is stopped from the event loop.
std::atomic<bool> g_interrupted{false};

// One line on a terminal that keeps itself up to date: a bar, the album
// worked on, and the time left at the run's pace.
class ProgressLine {
public:
    ProgressLine(const FillRun& run, bool shown, int intervalMs)
        : m_run(run), m_out(stdout), m_shown(shown), m_intervalMs(intervalMs) {}

    void working(const AlbumFolder& album) {
        m_album = Output::terminal(album.artist + QStringLiteral(" – ") + album.album);
        draw();
    }
    void draw() {
        if (!m_shown) {
            return;
        }
        const int found = m_run.albumsFound();
        const int done = m_run.albumsDone();
        const int width = 24;
        const int filled = found > 0 ? width * done / found : 0;
        const qint64 left = qint64(found - done) * m_intervalMs / 1000;
        m_out << "\r\033[K[" << QString(filled, QLatin1Char('#'))
              << QString(width - filled, QLatin1Char('-')) << "] " << done << '/' << found
              << (m_run.scanFinished() ? "" : "+") << ' ' << m_album.left(48) << "  about "
              << Output::duration(left) << " left" << Qt::flush;
    }
    void erase() {
        if (m_shown) {
            m_out << "\r\033[K" << Qt::flush;
        }
    }

private:
    const FillRun& m_run;
    QTextStream m_out;
    bool m_shown;
    int m_intervalMs;
    QString m_album;
};

struct Tally {
    int written = 0;
    int hadCover = 0;
    QList<AlbumReport> unmatched;
    QList<AlbumReport> failed;

    void count(const AlbumReport& report) {
        switch (report.status) {
        case AlbumReport::Status::Saved:
        case AlbumReport::Status::Planned:
            ++written;
            break;
        case AlbumReport::Status::HasCover:
            ++hadCover;
            break;
        case AlbumReport::Status::NoMatch:
            unmatched.append(report);
            break;
        case AlbumReport::Status::Failed:
            failed.append(report);
            break;
        }
    }

    void print(bool dryRun) const {
        QTextStream out(stdout);
        out << (dryRun ? "Would save: " : "Saved: ") << written << '\n'
            << "Already had a cover: " << hadCover << '\n'
            << "No confident match: " << unmatched.size() << '\n';
        for (const AlbumReport& report : unmatched) {
            out << "  " << Output::terminal(report.folder);
            if (report.match) {
                out << " (best: " << Output::terminal(report.match->artistName()) << " – "
                    << Output::terminal(report.match->collectionName()) << ", "
                    << qRound(report.score * 100) << "%)";
            }
            out << '\n';
        }
        out << "Failed: " << failed.size() << '\n';
        for (const AlbumReport& report : failed) {
            out << "  " << Output::terminal(report.folder) << ": "
                << Output::terminal(report.reason) << '\n';
        }
    }
};

// What the run's ending means for the exit status, said on standard error.
int endingStatus(FillRun::Ending ending, int remaining, bool scanFinished) {
    const QString left = QStringLiteral("%1%2 album(s) remain; run the same command again later "
                                        "to go on.")
                             .arg(remaining)
                             .arg(scanFinished ? QString() : QStringLiteral(" or more"));
    switch (ending) {
    case FillRun::Ending::Completed:
        return ExitOk;
    case FillRun::Ending::RateLimited:
        Output::error(QStringLiteral("\nThe catalogue keeps refusing for its rate limit. ") + left);
        return ExitUnreachable;
    case FillRun::Ending::Unreachable:
        Output::error(QStringLiteral("\nThe catalogue could not be reached. ") + left);
        return ExitUnreachable;
    case FillRun::Ending::Stopped:
        Output::error(QStringLiteral("\nStopped. ") + left);
        return ExitInterrupted;
    }
    return ExitOk;
}

} // namespace

int fill(const Arguments& args) {
    FillOptions options;
    options.root = args.nativeTerm;
    options.dryRun = args.dryRun;
    options.highQuality = args.highQuality;
    options.country = args.country;
    options.nameFormat = args.nameFormat;
    options.intervalMs = int(args.intervalSeconds * 1000);
    FillRun run(options);
    ProgressLine progress(run, !args.json && ::isatty(STDOUT_FILENO), options.intervalMs);
    Tally tally;
    QTextStream out(stdout);
    QObject::connect(&run, &FillRun::albumStarted,
                     [&](const AlbumFolder& album) { progress.working(album); });
    QObject::connect(&run, &FillRun::albumFinished, [&](const AlbumReport& report) {
        if (args.json) {
            Output::jsonLine(out, report.toJson());
        }
        tally.count(report);
        progress.draw();
    });
    int status = ExitOk;
    QObject::connect(&run, &FillRun::finished, [&](FillRun::Ending ending, int remaining) {
        status = endingStatus(ending, remaining, run.scanFinished());
        QCoreApplication::exit(status);
    });
    std::signal(SIGINT, [](int) { g_interrupted = true; });
    QTimer interruption;
    QObject::connect(&interruption, &QTimer::timeout, [&run] {
        if (g_interrupted.load()) {
            run.stop();
        }
    });
    interruption.start(100);
    run.start();
    QCoreApplication::exec();
    progress.erase();
    if (!args.json) {
        tally.print(options.dryRun);
    }
    return status;
}

} // namespace Commands

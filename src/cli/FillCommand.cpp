#include "cli/Commands.h"
#include "cli/Interruption.h"
#include "cli/Output.h"
#include "library/AppContext.h"
#include "library/FillReportModel.h"
#include "library/FillRun.h"
#include "library/ReplacedCovers.h"
#include "platform/LocaleFormat.h"

#include <QCoreApplication>
#include <QMap>
#include <QTimer>

#include <unistd.h>

namespace {

// One line on a terminal that keeps itself up to date: a bar, what the run
// does, and the time left at its pace, counted in the requests still to come.
class ProgressLine {
public:
    ProgressLine(const FillRun& run, bool shown) : m_run(run), m_out(stdout), m_shown(shown) {}

    void doing(const QString& what, bool waiting = false) {
        m_doing = Output::terminal(what);
        m_waiting = waiting;
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
        const qint64 left = qint64(m_run.requestsLeft()) * m_run.options().intervalMs / 1000;
        m_out << "\r\033[K[" << QString(filled, QLatin1Char('#'))
              << QString(width - filled, QLatin1Char('-')) << "] " << done << '/' << found
              << (m_run.scanFinished() ? "" : "+") << "  " << m_doing.left(56);
        if (m_run.scanFinished() && m_waiting) {
            m_out << Qt::flush;
            return;
        }
        m_out << "  " << Cli::tr("about %1 left").arg(Output::duration(left)) << Qt::flush;
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
    QString m_doing;
    bool m_waiting = false; // a wait says its own time
};

struct Tally {
    QMap<AlbumReport::Status, QList<AlbumReport>> byStatus;
    QMap<FoundVia, int> byWay;
    int exitStatus = ExitOk;

    void count(const AlbumReport& report) {
        byStatus[report.status].append(report);
        if (report.via != FoundVia::None && (report.status == AlbumReport::Status::Saved ||
                                             report.status == AlbumReport::Status::Planned)) {
            ++byWay[report.via];
        }
        exitStatus = std::max(exitStatus, AlbumReport::exitStatusFor(report.status));
    }
    int number(AlbumReport::Status status) const { return int(byStatus.value(status).size()); }

    void print(QTextStream& out, bool dryRun) const {
        using Status = AlbumReport::Status;
        const QString saved = heading(dryRun ? Status::Planned : Status::Saved,
                                      number(Status::Saved) + number(Status::Planned));
        QStringList ways;
        for (auto it = byWay.begin(); it != byWay.end(); ++it) {
            //: How many covers were found one way: "3 by barcode".
            ways << Cli::tr("%1 by %2").arg(it.value()).arg(viaWords(it.key()));
        }
        //: The saved covers' line, and the ways they were found.
        out << (ways.isEmpty() ? saved : Cli::tr("%1 (%2)").arg(saved, ways.join(Cli::tr(", "))))
            << '\n'
            << heading(Status::HasCover, number(Status::HasCover)) << '\n';
        for (const Status status : {Status::Embedded, Status::Upgraded}) {
            if (number(status) > 0) {
                out << heading(status, number(status)) << '\n';
            }
        }
        for (const Status status : {Status::Kept, Status::NoMatch, Status::Ambiguous, Status::Mixed,
                                    Status::Failed, Status::EmbedFailed, Status::Skipped}) {
            list(out, status);
        }
    }

private:
    //: A summary's line: a kind of outcome and how many albums had it.
    static QString heading(AlbumReport::Status status, qsizetype count) {
        return Cli::tr("%1: %2").arg(AlbumReport::statusTitle(status), LocaleFormat::count(count));
    }

    void list(QTextStream& out, AlbumReport::Status status) const {
        const QList<AlbumReport> reports = byStatus.value(status);
        if (reports.isEmpty() && status != AlbumReport::Status::NoMatch &&
            status != AlbumReport::Status::Failed) {
            return;
        }
        out << heading(status, reports.size()) << '\n';
        for (const AlbumReport& report : reports) {
            out << "  " << Output::terminal(report.folder);
            if (report.match && status != AlbumReport::Status::Failed) {
                out << ' '
                    << Cli::tr("(best: %1 – %2, %3%)")
                           .arg(Output::terminal(report.match->artistName()),
                                Output::terminal(report.match->collectionName()))
                           .arg(qRound(report.score * 100));
            }
            const QString detail =
                !report.embedFailed.isEmpty() ? report.embedFailed.join(QStringLiteral("; "))
                : !report.albums.isEmpty()    ? report.albums.join(QStringLiteral("; "))
                                              : report.reason;
            out << (detail.isEmpty() ? QString() : QStringLiteral(": ") + Output::terminal(detail))
                << '\n';
        }
    }
};

// What the run's ending means for the exit status, said on standard error.
int endingStatus(FillRun::Ending ending, int remaining, bool scanFinished, int albumsStatus) {
    const QString left =
        scanFinished
            ? Cli::tr("%Ln album(s) remain; run the same command again later to go on.", nullptr,
                      remaining)
            : Cli::tr("%Ln or more albums remain; run the same command again later to go on.",
                      nullptr, remaining);
    switch (ending) {
    case FillRun::Ending::Completed:
        return albumsStatus;
    case FillRun::Ending::RateLimited:
        Output::error(QLatin1Char('\n') +
                      Cli::tr("The catalogue keeps refusing for its rate limit. %1").arg(left));
        return ExitUnreachable;
    case FillRun::Ending::Unreachable:
        Output::error(QLatin1Char('\n') +
                      Cli::tr("The catalogue could not be reached. %1").arg(left));
        return ExitUnreachable;
    case FillRun::Ending::Stopped:
        Output::error(QLatin1Char('\n') + Cli::tr("Stopped. %1").arg(left));
        return Interruption::requested() ? Interruption::exitStatus() : ExitInterrupted;
    }
    return ExitOk;
}

} // namespace

FillOptions FillCommand::optionsOf(const Arguments& args) {
    FillOptions options;
    options.root = args.nativeTerm;
    options.dryRun = args.dryRun;
    options.highQuality = args.highQuality;
    options.country = args.country;
    options.moreCountries = args.moreCountries;
    options.coverName = args.nameFormat;
    options.intervalMs = int(args.intervalSeconds * 1000);
    options.embed = args.embed;
    options.embedSide = args.embedSide;
    options.retry = args.retry;
    options.upgradeBelow = args.upgradeBelow;
    return options;
}

int FillCommand::run(const Arguments& args) {
    AppContext& context = m_context;
    FillRun run(optionsOf(args), context.sources().primary(), context.images());
    ProgressLine progress(run, !args.json && ::isatty(STDOUT_FILENO));
    Tally tally;
    QTextStream out(stdout);
    QObject::connect(&run, &FillRun::working, [&](const QString& what) { progress.doing(what); });
    QObject::connect(&run, &FillRun::waiting, [&](int seconds, const QString& why) {
        progress.doing(Cli::tr("Waiting %Ln s: %1", nullptr, seconds).arg(why), true);
    });
    QObject::connect(&run, &FillRun::notice, [&](const QString& text) {
        progress.erase();
        Output::error(text);
    });
    QObject::connect(&run, &FillRun::albumFinished, [&](const AlbumReport& report) {
        if (args.json) {
            Output::jsonLine(out, FillReportModel::json(report));
        }
        tally.count(report);
        progress.draw();
    });
    int status = ExitOk;
    QObject::connect(&run, &FillRun::finished, [&](FillRun::Ending ending, int remaining) {
        progress.erase();
        status = endingStatus(ending, remaining, run.scanFinished(), tally.exitStatus);
        QCoreApplication::exit(status);
    });
    // The signal is noticed on the event loop; the run then abandons the file
    // under way and tells what it did before it ends.
    Interruption::install();
    QTimer interruption;
    QObject::connect(&interruption, &QTimer::timeout, [&run] {
        if (Interruption::requested()) {
            run.stop();
        }
    });
    interruption.start(100);
    run.start();
    QCoreApplication::exec();
    if (!args.json) {
        tally.print(out, args.dryRun);
        if (tally.number(AlbumReport::Status::Upgraded) > 0) {
            const ReplacedCovers::Usage kept = ReplacedCovers().usage();
            out << Cli::tr("Kept aside: %Ln replaced cover(s), %1 (sleevanta-cli restore puts "
                           "them back)",
                           nullptr, kept.covers)
                       .arg(LocaleFormat::dataSize(kept.bytes))
                << '\n';
        }
    }
    return status;
}

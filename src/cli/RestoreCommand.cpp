#include "cli/Commands.h"
#include "cli/Interruption.h"
#include "cli/Output.h"
#include "library/FillReport.h"
#include "library/ReplacedCovers.h"

#include <QJsonObject>

namespace {

// Each outcome under its name in the one status table.
AlbumReport::Status statusOf(ReplacedCovers::Restored::Outcome outcome) {
    using Outcome = ReplacedCovers::Restored::Outcome;
    switch (outcome) {
    case Outcome::Restored:
        return AlbumReport::Status::Restored;
    case Outcome::Changed:
        return AlbumReport::Status::Kept;
    case Outcome::FolderGone:
    case Outcome::Failed:
        break;
    }
    return AlbumReport::Status::Failed;
}

} // namespace

int RestoreCommand::run(const Arguments& args) {
    ReplacedCovers kept;
    QTextStream out(stdout);
    if (args.forget) {
        const int forgotten = kept.forget(args.nativeTerm);
        if (args.json) {
            Output::jsonLine(out, {{QStringLiteral("forgotten"), forgotten}});
        } else {
            out << Cli::tr("Let go of %Ln kept cover(s).", nullptr, forgotten) << '\n';
        }
        return ExitOk;
    }
    Interruption::install();
    const QList<ReplacedCovers::Restored> restored =
        kept.restore(args.nativeTerm, &Interruption::flag());
    int status = ExitOk;
    for (const ReplacedCovers::Restored& one : restored) {
        const AlbumReport::Status outcome = statusOf(one.outcome);
        status = std::max(status, outcome == AlbumReport::Status::Restored ? ExitOk : 1);
        if (args.json) {
            QJsonObject line{{QStringLiteral("folder"), one.folder},
                             {QStringLiteral("file"), one.file},
                             {QStringLiteral("status"), AlbumReport::statusName(outcome)}};
            if (!one.reason.isEmpty()) {
                line.insert(QStringLiteral("reason"), one.reason);
            }
            Output::jsonLine(out, line);
            continue;
        }
        const QString path = Output::terminal(one.folder + QLatin1Char('/') + one.file);
        out << (one.reason.isEmpty()
                    ? Cli::tr("Put back %1").arg(path)
                    : Cli::tr("Left %1: %2").arg(path, Output::terminal(one.reason)))
            << '\n';
    }
    if (restored.isEmpty() && !args.json) {
        out << Cli::tr("No replaced covers are kept for %1.").arg(Output::terminal(args.term))
            << '\n';
    }
    if (Interruption::requested()) {
        return Interruption::exitStatus();
    }
    return status;
}

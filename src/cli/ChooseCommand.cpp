#include "cli/Commands.h"
#include "cli/Output.h"
#include "library/AppContext.h"
#include "library/FillReportModel.h"
#include "library/FillSaver.h"

#include <QCoreApplication>

namespace {

// The album at `folder` itself (not one below it); none when it holds no audio.
std::optional<AlbumFolder> albumAt(const QByteArray& folder, const FillOptions& options) {
    ScanOptions scan;
    scan.coverName = options.coverName;
    scan.readCoveredTags = options.embed;
    std::atomic<bool> stop = false;
    std::optional<AlbumFolder> found;
    // The folder itself is told first, before anything below it.
    AlbumScanner(scan).scan(
        folder,
        [&](const AlbumFolder& album) {
            found = album;
            stop = true;
        },
        stop);
    QByteArray trimmed = folder;
    while (trimmed.size() > 1 && trimmed.endsWith('/')) {
        trimmed.chop(1);
    }
    return found && found->nativePath == trimmed ? found : std::nullopt;
}

} // namespace

int ChooseCommand::run(const Arguments& args) {
    Arguments lookup = args;
    lookup.term = QString::number(args.chosenId);
    lookup.media = QStringLiteral("Music");
    const SearchCommand::Result result = SearchCommand::searchRecords(m_context, lookup);
    if (result.status != ExitOk) {
        return result.status;
    }
    if (result.records.isEmpty()) {
        Output::error(Cli::tr("sleevanta-cli: there is no item %1 in the catalogue of %2")
                          .arg(args.chosenId)
                          .arg(args.country));
        return ExitNotSaved;
    }
    // A song stands for its album, whose artwork it carries.
    const CatalogueItem record = result.records.first();
    if (record.entityString() != QLatin1String("music")) {
        return CommandLine::usageError(
            Cli::tr("item %1 is no album or song (it is of the kind \"%2\")")
                .arg(args.chosenId)
                .arg(record.entityString()));
    }
    const FillOptions options = FillCommand::optionsOf(args);
    const std::optional<AlbumFolder> album = albumAt(args.nativeTerm, options);
    if (!album) {
        Output::error(Cli::tr("sleevanta-cli: \"%1\" holds no audio files").arg(args.term));
        return ExitNotSaved;
    }
    AlbumReport report;
    report.folder = album->path;
    report.artist = album->artist();
    report.album = album->album();
    report.match = record;
    report.via = FoundVia::Id;
    FillSaver saver(options, m_context.images(), m_context.sources().primary(),
                    std::make_shared<std::atomic<bool>>(false));
    QObject::connect(&saver, &FillSaver::saved, [&report](const AlbumReport& saved) {
        report = saved;
        QCoreApplication::exit(0);
    });
    QObject::connect(&saver, &FillSaver::notice, [](const QString& text) { Output::error(text); });
    saver.add({report, *album, record, FillSaver::Writing::Choose});
    QCoreApplication::exec();
    m_context.cache().waitForDiskWork();
    QTextStream out(stdout);
    if (args.json) {
        Output::jsonLine(out, FillReportModel::json(report));
    } else {
        out << Output::terminal(report.statusText()) << '\n';
    }
    return AlbumReport::exitStatusFor(report.status) == 0 ? ExitOk : ExitNotSaved;
}

// sleevanta-cli: search the catalogue and save covers from a terminal.
#include "CatalogueSearch.h"
#include "CoverFileWriter.h"
#include "CoverLadder.h"
#include "FillRun.h"
#include "ImageCodec.h"
#include "ImageService.h"
#include "MediaHelper.h"
#include "MediaTables.h"
#include "UserPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

// A search's own statuses come from commandLineStatus().
enum ExitStatus {
    ExitOk = 0,
    ExitUnreachable = 4,
    ExitNotSaved = 5,
    ExitUsage = 64,
    ExitInterrupted = 130,
};

const char* const kUsage =
    "Usage: sleevanta-cli search [--media TITLE] [--country CODE] [--json] TERM\n"
    "       sleevanta-cli save [--media TITLE] [--country CODE] [--quality standard|high]\n"
    "                          [--index N] [--to DIR] TERM\n"
    "       sleevanta-cli fill [--dry-run] [--quality standard|high] [--country CODE]\n"
    "                          [--name FORMAT] [--interval SECONDS] [--json] DIR\n"
    "\n"
    "search  searches the iTunes Store catalogue for TERM and prints one line per item.\n"
    "save    searches the same way, downloads the cover of item N of the list and saves\n"
    "        it as JPEG into DIR under the cover file name of Sleevanta's settings,\n"
    "        never replacing a file (a numbered name is taken), and prints its path,\n"
    "        then its pixel size, format, download size and kind (original or\n"
    "        rendition).\n"
    "\n"
    "fill    finds the album folders below DIR that have no cover image yet, reads\n"
    "        their tags, searches the catalogue for each album and saves the cover of\n"
    "        a confident match into the album's folder (never replacing a file); an\n"
    "        album without one is reported and left alone. Requests are paced.\n"
    "\n"
    "TERM may also be a store link (music.apple.com, apps.apple.com, ...) or a bare\n"
    "catalogue id: then that very item is looked up.\n"
    "\n"
    "Options:\n"
    "  --media TITLE    media kind, one of: Audiobooks, eBooks, Movies, Music,\n"
    "                   Music Videos, Podcasts, Short Films, Software, TV Shows\n"
    "                   in any case (default: Music)\n"
    "  --country CODE   two-letter storefront code, in either case (default: US)\n"
    "  --json           search: one JSON object per item and line (fill: per album\n"
    "                   folder, as each is done); search's objects have the fields\n"
    "                   artistName, artworkUrl, collectionId, collectionName,\n"
    "                   collectionViewUrl, entityString, highResolutionUrl,\n"
    "                   iTunesUrl, standardResolutionUrl, webBrowserUrl\n"
    "  --quality Q      save, fill: standard (600x600, the default) or high: the\n"
    "                   original upload, else the largest rendition the servers have\n"
    "  --index N        save: the item's position in the list, from 0 (default: 0)\n"
    "  --to DIR         save: the folder to save into (default: the Downloads folder)\n"
    "  --name FORMAT    fill: the cover's file name, with %{artistName} and\n"
    "                   %{collectionName} (default: the settings' cover file name)\n"
    "  --interval S     fill: the least seconds between catalogue requests (default 3)\n"
    "  --dry-run        fill: search and report, write nothing\n"
    "  -h, --help       show this help\n"
    "  --version        show the version\n"
    "\n"
    "Exit status: 0 done (a search that finds no items included), 2 no request URL\n"
    "could be formed, 3 the answer could not be read, 4 the catalogue could not be\n"
    "reached, refused for its rate limit or failed, 5 the cover could not be\n"
    "downloaded or written (or there is no item N), 64 usage error, 130 fill was\n"
    "stopped with Ctrl+C (run it again to go on).\n"
    "\n"
    "The environment variable SLEEVANTA_SERVICE_ORIGIN (e.g. http://127.0.0.1:8642)\n"
    "sends every request to that origin instead of the store's servers.\n";

int usageError(const QString& message) {
    std::fprintf(stderr, "sleevanta-cli: %s\nTry 'sleevanta-cli --help'\n", qPrintable(message));
    return ExitUsage;
}

struct Arguments {
    QString command;
    QString media = QStringLiteral("Music");
    QString country = QStringLiteral("US");
    bool json = false;
    bool highQuality = false;
    qint64 index = 0;
    QString folder;
    QString term;
    QByteArray nativeTerm; // the term as given, bytes and all (fill's folder)
    bool dryRun = false;
    QString nameFormat;
    double intervalSeconds = 3;
};

struct SearchResult {
    int status = ExitOk;
    QList<AlbumObject> records;
};

SearchResult searchRecords(const Arguments& args) {
    CatalogueSearch search;
    SearchResult result;
    bool done = false;
    search.start(args.term, args.media, args.country, [&](const SearchOutcome& outcome) {
        done = true;
        result.status = commandLineStatus(outcome.kind);
        switch (outcome.kind) {
        case SearchResultKind::Completed:
            result.records = outcome.records;
            break;
        case SearchResultKind::UrlNotFormed:
            std::fprintf(stderr, "Something went wrong while constructing the search URL. "
                                 "Sleevanta is unable to obtain search results.\n");
            break;
        case SearchResultKind::AnswerUnreadable:
            std::fprintf(stderr, "Certain special characters are not supported by the iTunes "
                                 "Search API. Please try removing or replacing them.\n");
            break;
        case SearchResultKind::Offline:
            std::fprintf(stderr,
                         "Sleevanta could not reach the iTunes Search API. Please check "
                         "your internet connection and try again. (%s)\n",
                         qPrintable(outcome.detail));
            break;
        case SearchResultKind::Throttled:
            std::fprintf(stderr, "The iTunes Search API is receiving too many searches from this "
                                 "computer. Please wait a minute and try again.\n");
            break;
        case SearchResultKind::Unavailable:
            std::fprintf(stderr,
                         "The iTunes Store is not answering right now. Please try again in a "
                         "few minutes. (%s)\n",
                         qPrintable(outcome.detail));
            break;
        }
        QCoreApplication::exit(result.status);
    });
    if (!done) {
        QCoreApplication::exec();
    }
    return result;
}

int runSearch(const Arguments& args) {
    const SearchResult result = searchRecords(args);
    if (result.status != ExitOk) {
        return result.status;
    }
    if (result.records.isEmpty()) {
        std::fprintf(stderr, "No items found.\n");
        return ExitOk;
    }
    QTextStream out(stdout);
    for (const AlbumObject& record : result.records) {
        if (args.json) {
            out << QJsonDocument(record.toJson()).toJson(QJsonDocument::Compact) << '\n';
        } else {
            out << record.collectionName().text.chopped(1) << " — " << record.artistName().text
                << '\n'
                << "    " << record.standardResolutionUrl() << '\n';
        }
    }
    return ExitOk;
}

int notSaved(const QString& reason) {
    std::fprintf(stderr, "sleevanta-cli: the cover was not saved: %s\n", qPrintable(reason));
    return ExitNotSaved;
}

int runSave(const Arguments& args) {
    const SearchResult result = searchRecords(args);
    if (result.status != ExitOk) {
        return result.status;
    }
    if (args.index >= result.records.size()) {
        std::fprintf(stderr, "No item %lld: the search found %lld items.\n",
                     static_cast<long long>(args.index),
                     static_cast<long long>(result.records.size()));
        return ExitNotSaved;
    }
    const AlbumObject& record = result.records.at(args.index);
    const QList<CoverRung> rungs = CoverLadder::rungs(
        record.highResolutionUrl(), record.standardResolutionUrl(), args.highQuality);

    ImageLoadResult loaded;
    CoverRung answered;
    bool done = false;
    CoverLoader loader(ImageService::shared());
    // Decoded small: only to know the bytes are a picture; they are what is saved.
    loader.load(rungs, QSize(256, 256), {},
                [&](const ImageLoadResult& outcome, const CoverRung& rung) {
                    loaded = outcome;
                    answered = rung;
                    done = true;
                    QCoreApplication::exit(0);
                });
    if (!done) {
        QCoreApplication::exec();
    }
    // The downloaded cover goes into the disk cache before the tool ends.
    ImageService::shared().cache().waitForDiskWork();
    if (!loaded.hasImage()) {
        return notSaved(
            QStringLiteral("the cover could not be downloaded (%1)").arg(failureReason(loaded)));
    }

    const std::optional<QByteArray> jpeg = ImageCodec::jpegData(loaded.cover);
    if (!jpeg) {
        return notSaved(QStringLiteral("the cover could not be encoded as JPEG"));
    }
    const QString folder = args.folder.isEmpty() ? UserPaths::downloadsDirectory() : args.folder;
    const QString fileName =
        MediaHelper::coverFileName(record.artistName().text, record.collectionName().text);
    const CoverFileWriter::WriteResult written =
        CoverFileWriter::writeWithFreeName(folder, fileName, *jpeg);
    if (!written.ok()) {
        return notSaved(written.error);
    }
    QTextStream(stdout) << QFileInfo(written.path).absoluteFilePath() << '\n'
                        << CoverFacts::of(loaded.cover.encodedData, answered.original).line()
                        << '\n';
    return ExitOk;
}

// Parses the command line into `args`; a usage error's exit status otherwise.
std::atomic<bool> g_interrupted{false};

QString duration(qint64 seconds) {
    return seconds >= 60 ? QStringLiteral("%1m%2s")
                               .arg(seconds / 60)
                               .arg(seconds % 60, 2, 10, QLatin1Char('0'))
                         : QStringLiteral("%1s").arg(seconds);
}

int runFill(const Arguments& args) {
    FillOptions options;
    options.root = args.nativeTerm;
    options.dryRun = args.dryRun;
    options.highQuality = args.highQuality;
    options.country = args.country;
    options.nameFormat = args.nameFormat;
    options.intervalMs = int(args.intervalSeconds * 1000);
    FillRun run(options);
    QTextStream out(stdout);
    const bool terminal = !args.json && ::isatty(STDOUT_FILENO);
    QList<AlbumReport> unmatched;
    QList<AlbumReport> failed;
    int written = 0;
    int hadCover = 0;
    QString working;
    // On a terminal, one line that keeps itself up to date; pacing makes the estimate.
    auto progress = [&] {
        if (!terminal) {
            return;
        }
        const int found = run.albumsFound();
        const int done = run.albumsDone();
        const int width = 24;
        const int filled = found > 0 ? width * done / found : 0;
        const qint64 left = qint64(found - done) * options.intervalMs / 1000;
        out << "\r\033[K[" << QString(filled, QLatin1Char('#'))
            << QString(width - filled, QLatin1Char('-')) << "] " << done << '/' << found
            << (run.scanFinished() ? "" : "+") << ' ' << working.left(48) << "  about "
            << duration(left) << " left" << Qt::flush;
    };
    QObject::connect(&run, &FillRun::albumStarted, [&](const AlbumFolder& album) {
        working = album.artist + QStringLiteral(" – ") + album.album;
        progress();
    });
    QObject::connect(&run, &FillRun::albumFinished, [&](const AlbumReport& report) {
        if (args.json) {
            out << QJsonDocument(report.toJson()).toJson(QJsonDocument::Compact) << '\n'
                << Qt::flush;
        }
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
        progress();
    });
    int status = ExitOk;
    QObject::connect(&run, &FillRun::finished, [&](FillRun::Ending ending, int remaining) {
        const QString left =
            QStringLiteral("%1%2 album(s) remain; run the same command again later "
                           "to go on.")
                .arg(remaining)
                .arg(run.scanFinished() ? QString() : QStringLiteral(" or more"));
        if (ending == FillRun::Ending::RateLimited) {
            std::fprintf(stderr, "\nThe catalogue keeps refusing for its rate limit. %s\n",
                         qPrintable(left));
            status = ExitUnreachable;
        } else if (ending == FillRun::Ending::Unreachable) {
            std::fprintf(stderr, "\nThe catalogue could not be reached. %s\n", qPrintable(left));
            status = ExitUnreachable;
        } else if (ending == FillRun::Ending::Stopped) {
            std::fprintf(stderr, "\nStopped. %s\n", qPrintable(left));
            status = ExitInterrupted;
        }
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
    if (args.json) {
        return status;
    }
    if (terminal) {
        out << "\r\033[K";
    }
    out << (options.dryRun ? "Would save: " : "Saved: ") << written << '\n'
        << "Already had a cover: " << hadCover << '\n'
        << "No confident match: " << unmatched.size() << '\n';
    for (const AlbumReport& report : std::as_const(unmatched)) {
        out << "  " << report.folder;
        if (report.match) {
            out << " (best: " << report.match->artistName().text << " – "
                << report.match->collectionName().text.trimmed() << ", "
                << qRound(report.score * 100) << "%)";
        }
        out << '\n';
    }
    out << "Failed: " << failed.size() << '\n';
    for (const AlbumReport& report : std::as_const(failed)) {
        out << "  " << report.folder << ": " << report.reason << '\n';
    }
    return status;
}

std::optional<int> parseArguments(QStringList arguments, QList<QByteArray> raw, Arguments& args) {
    args.command = arguments.takeFirst();
    raw.removeFirst();
    static const QStringList commands{QStringLiteral("search"), QStringLiteral("save"),
                                      QStringLiteral("fill")};
    if (!commands.contains(args.command)) {
        return usageError(QStringLiteral("unknown command \"%1\"").arg(args.command));
    }
    // The commands each option belongs to.
    static const QHash<QString, QStringList> owners{
        {QStringLiteral("--media"), {QStringLiteral("search"), QStringLiteral("save")}},
        {QStringLiteral("--country"), commands},
        {QStringLiteral("--json"), {QStringLiteral("search"), QStringLiteral("fill")}},
        {QStringLiteral("--quality"), {QStringLiteral("save"), QStringLiteral("fill")}},
        {QStringLiteral("--index"), {QStringLiteral("save")}},
        {QStringLiteral("--to"), {QStringLiteral("save")}},
        {QStringLiteral("--name"), {QStringLiteral("fill")}},
        {QStringLiteral("--interval"), {QStringLiteral("fill")}},
        {QStringLiteral("--dry-run"), {QStringLiteral("fill")}}};

    QStringList positional;
    QList<QByteArray> nativePositional;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QLatin1String("--")) {
            positional.append(arguments.mid(i + 1));
            nativePositional.append(raw.mid(i + 1));
            break;
        }
        if (!arg.startsWith(QLatin1String("--"))) {
            positional.append(arg);
            nativePositional.append(raw.value(i));
            continue;
        }
        if (!owners.contains(arg)) {
            return usageError(QStringLiteral("unknown option \"%1\"").arg(arg));
        }
        if (!owners[arg].contains(args.command)) {
            return usageError(QStringLiteral("%1 belongs to the %2 command")
                                  .arg(arg, owners[arg].join(QStringLiteral(" and "))));
        }
        if (arg == QLatin1String("--json") || arg == QLatin1String("--dry-run")) {
            (arg == QLatin1String("--json") ? args.json : args.dryRun) = true;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            return usageError(QStringLiteral("%1 needs a value").arg(arg));
        }
        const QString value = arguments[++i];
        bool ok = true;
        if (arg == QLatin1String("--media")) {
            args.media = value;
        } else if (arg == QLatin1String("--country")) {
            args.country = value;
        } else if (arg == QLatin1String("--quality")) {
            ok = value == QLatin1String("standard") || value == QLatin1String("high");
            args.highQuality = value == QLatin1String("high");
        } else if (arg == QLatin1String("--index")) {
            args.index = value.toLongLong(&ok);
            ok = ok && args.index >= 0;
        } else if (arg == QLatin1String("--to")) {
            args.folder = value;
            ok = !value.isEmpty();
        } else if (arg == QLatin1String("--name")) {
            args.nameFormat = value;
            ok = !value.isEmpty() && !value.contains(QLatin1Char('/'));
        } else if (arg == QLatin1String("--interval")) {
            args.intervalSeconds = value.toDouble(&ok);
            ok = ok && args.intervalSeconds >= 0;
        }
        if (!ok) {
            return usageError(QStringLiteral("%1 does not take \"%2\"").arg(arg, value));
        }
    }
    const bool fill = args.command == QLatin1String("fill");
    if (positional.size() != 1) {
        return usageError(
            fill ? QStringLiteral("give exactly one folder")
                 : QStringLiteral("give exactly one search term (quote it if it has blanks)"));
    }
    args.term = positional.first();
    args.nativeTerm = nativePositional.first();
    if (args.term.isEmpty()) {
        return usageError(QStringLiteral("the search term is empty"));
    }
    if (fill && !QFileInfo(QFile::decodeName(args.nativeTerm)).isDir()) {
        return usageError(QStringLiteral("\"%1\" is no folder").arg(args.term));
    }
    const auto title = std::find_if(
        MediaTables::mediaTitles().begin(), MediaTables::mediaTitles().end(),
        [&](const QString& t) { return t.compare(args.media, Qt::CaseInsensitive) == 0; });
    if (title == MediaTables::mediaTitles().end()) {
        return usageError(QStringLiteral("unknown media title \"%1\"").arg(args.media));
    }
    args.media = *title;
    args.country = args.country.toUpper();
    if (!MediaTables::countryCodes().contains(args.country)) {
        return usageError(QStringLiteral("unknown storefront code \"%1\"").arg(args.country));
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Sleevanta"));
    QCoreApplication::setOrganizationName(QStringLiteral("Sleevanta"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SLEEVANTA_VERSION));

    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        std::fputs(kUsage, stdout);
        return ExitOk;
    }
    if (arguments.contains(QStringLiteral("--version"))) {
        std::printf("sleevanta-cli %s\n", SLEEVANTA_VERSION);
        return ExitOk;
    }
    if (arguments.isEmpty()) {
        return usageError(QStringLiteral("no command given"));
    }
    QList<QByteArray> raw;
    for (int i = 1; i < argc; ++i) {
        raw.append(QByteArray(argv[i]));
    }
    Arguments args;
    if (auto usage = parseArguments(arguments, raw, args)) {
        return *usage;
    }
    if (args.command == QLatin1String("fill")) {
        return runFill(args);
    }
    return args.command == QLatin1String("save") ? runSave(args) : runSearch(args);
}

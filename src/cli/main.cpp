// sleevanta-cli: search the catalogue and save covers from a terminal.
#include "CatalogueSearch.h"
#include "CoverFileWriter.h"
#include "CoverLadder.h"
#include "ImageCodec.h"
#include "ImageService.h"
#include "MediaHelper.h"
#include "MediaTables.h"
#include "UserPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

// A search's own statuses come from commandLineStatus().
enum ExitStatus {
    ExitOk = 0,
    ExitNotSaved = 5,
    ExitUsage = 64,
};

const char* const kUsage =
    "Usage: sleevanta-cli search [--media TITLE] [--country CODE] [--json] TERM\n"
    "       sleevanta-cli save [--media TITLE] [--country CODE] [--quality standard|high]\n"
    "                          [--index N] [--to DIR] TERM\n"
    "\n"
    "search  searches the iTunes Store catalogue for TERM and prints one line per item.\n"
    "save    searches the same way, downloads the cover of item N of the list and saves\n"
    "        it as JPEG into DIR under the cover file name of Sleevanta's settings,\n"
    "        never replacing a file (a numbered name is taken), and prints its path,\n"
    "        then its pixel size, format, download size and kind (original or\n"
    "        rendition).\n"
    "\n"
    "TERM may also be a store link (music.apple.com, apps.apple.com, ...) or a bare\n"
    "catalogue id: then that very item is looked up.\n"
    "\n"
    "Options:\n"
    "  --media TITLE    media kind, one of: Audiobooks, eBooks, Movies, Music,\n"
    "                   Music Videos, Podcasts, Short Films, Software, TV Shows\n"
    "                   in any case (default: Music)\n"
    "  --country CODE   two-letter storefront code, in either case (default: US)\n"
    "  --json           search: one JSON object per item and line, with the fields\n"
    "                   artistName, artworkUrl, collectionId, collectionName,\n"
    "                   collectionViewUrl, entityString, highResolutionUrl,\n"
    "                   iTunesUrl, standardResolutionUrl, webBrowserUrl\n"
    "  --quality Q      save: standard (600x600, the default) or high: the original\n"
    "                   upload, else the largest rendition the servers have\n"
    "  --index N        save: the item's position in the list, from 0 (default: 0)\n"
    "  --to DIR         save: the folder to save into (default: the Downloads folder)\n"
    "  -h, --help       show this help\n"
    "  --version        show the version\n"
    "\n"
    "Exit status: 0 done (a search that finds no items included), 2 no request URL\n"
    "could be formed, 3 the answer could not be read, 4 the catalogue could not be\n"
    "reached, refused for its rate limit or failed, 5 the cover could not be\n"
    "downloaded or written (or there is no item N), 64 usage error.\n"
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
std::optional<int> parseArguments(QStringList arguments, Arguments& args) {
    args.command = arguments.takeFirst();
    const bool save = args.command == QLatin1String("save");
    if (!save && args.command != QLatin1String("search")) {
        return usageError(QStringLiteral("unknown command \"%1\"").arg(args.command));
    }

    QStringList positional;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        QString value;
        auto takeValue = [&](const char* what) -> std::optional<int> {
            if (i + 1 >= arguments.size()) {
                return usageError(QStringLiteral("%1 needs %2").arg(arg, QLatin1String(what)));
            }
            value = arguments[++i];
            return std::nullopt;
        };
        auto saveOnly = [&]() -> std::optional<int> {
            if (!save) {
                return usageError(QStringLiteral("%1 belongs to the save command").arg(arg));
            }
            return std::nullopt;
        };
        if (arg == QLatin1String("--media")) {
            if (auto error = takeValue("a title")) {
                return error;
            }
            args.media = value;
        } else if (arg == QLatin1String("--country")) {
            if (auto error = takeValue("a code")) {
                return error;
            }
            args.country = value;
        } else if (arg == QLatin1String("--json")) {
            if (save) {
                return usageError(QStringLiteral("--json belongs to the search command"));
            }
            args.json = true;
        } else if (arg == QLatin1String("--quality")) {
            if (auto error = saveOnly(); error || (error = takeValue("standard or high"))) {
                return error;
            }
            if (value != QLatin1String("standard") && value != QLatin1String("high")) {
                return usageError(QStringLiteral("--quality is standard or high"));
            }
            args.highQuality = value == QLatin1String("high");
        } else if (arg == QLatin1String("--index")) {
            if (auto error = saveOnly(); error || (error = takeValue("a number"))) {
                return error;
            }
            bool ok = false;
            args.index = value.toLongLong(&ok);
            if (!ok || args.index < 0) {
                return usageError(QStringLiteral("--index needs a number from 0"));
            }
        } else if (arg == QLatin1String("--to")) {
            if (auto error = saveOnly(); error || (error = takeValue("a folder"))) {
                return error;
            }
            if (value.isEmpty()) {
                return usageError(QStringLiteral("--to needs a folder"));
            }
            args.folder = value;
        } else if (arg == QLatin1String("--")) {
            positional.append(arguments.mid(i + 1));
            break;
        } else if (arg.startsWith(QLatin1String("--"))) {
            return usageError(QStringLiteral("unknown option \"%1\"").arg(arg));
        } else {
            positional.append(arg);
        }
    }
    if (positional.size() != 1) {
        return usageError(
            QStringLiteral("give exactly one search term (quote it if it has blanks)"));
    }
    args.term = positional.first();
    if (args.term.isEmpty()) {
        return usageError(QStringLiteral("the search term is empty"));
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
    Arguments args;
    if (auto usage = parseArguments(arguments, args)) {
        return *usage;
    }
    return args.command == QLatin1String("save") ? runSave(args) : runSearch(args);
}

// sleevanta-cli: search the catalogue and save covers from a terminal.
#include "CatalogueSearch.h"
#include "MediaTables.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonDocument>
#include <QTextStream>

#include <cstdio>

namespace {

enum ExitStatus {
    ExitOk = 0,
    ExitUrlNotFormed = 2,
    ExitUnreadable = 3,
    ExitUnreachable = 4,
    ExitUsage = 64,
};

const char* const kUsage =
    "Usage: sleevanta-cli search [--media TITLE] [--country CODE] [--json] TERM\n"
    "\n"
    "Searches the iTunes Store catalogue for TERM and prints one line per item found.\n"
    "\n"
    "Options:\n"
    "  --media TITLE    media kind, one of: Audiobooks, eBooks, Movies, Music,\n"
    "                   Music Videos, Podcasts, Short Films, Software, TV Shows\n"
    "                   (default: Music)\n"
    "  --country CODE   two-letter storefront code, in either case (default: US)\n"
    "  --json           one JSON object per item and line, with the fields\n"
    "                   artistName, artworkUrl, collectionId, collectionName,\n"
    "                   collectionViewUrl, entityString, highResolutionUrl,\n"
    "                   iTunesUrl, standardResolutionUrl, webBrowserUrl\n"
    "  -h, --help       show this help\n"
    "  --version        show the version\n"
    "\n"
    "Exit status: 0 search completed (also with no items), 2 no request URL could be\n"
    "formed, 3 the answer could not be read, 4 the catalogue could not be reached or\n"
    "refused for its rate limit, 64 usage error.\n"
    "\n"
    "The environment variable SLEEVANTA_SERVICE_ORIGIN (e.g. http://127.0.0.1:8642)\n"
    "sends every request to that origin instead of the store's servers.\n";

int usageError(const QString& message) {
    std::fprintf(stderr, "sleevanta-cli: %s\n\n%s", qPrintable(message), kUsage);
    return ExitUsage;
}

struct SearchArgs {
    QString media = QStringLiteral("Music");
    QString country = QStringLiteral("US");
    bool json = false;
    QString term;
};

int runSearch(const SearchArgs& args) {
    CatalogueSearch search;
    int status = ExitOk;
    bool done = false;
    search.start(args.term, args.media, args.country, [&](const SearchOutcome& outcome) {
        done = true;
        QTextStream out(stdout);
        switch (outcome.kind) {
        case SearchResultKind::Completed:
            for (const AlbumObject& record : outcome.records) {
                if (args.json) {
                    out << QJsonDocument(record.toJson()).toJson(QJsonDocument::Compact) << '\n';
                } else {
                    out << record.collectionName().text.chopped(1) << " — "
                        << record.artistName().text << '\n'
                        << "    " << record.standardResolutionUrl() << '\n';
                }
            }
            status = ExitOk;
            break;
        case SearchResultKind::UrlNotFormed:
            std::fprintf(stderr, "Something went wrong while constructing the search URL. "
                                 "Sleevanta is unable to obtain search results.\n");
            status = ExitUrlNotFormed;
            break;
        case SearchResultKind::AnswerUnreadable:
            std::fprintf(stderr, "Certain special characters are not supported by the iTunes "
                                 "Search API. Please try removing or replacing them.\n");
            status = ExitUnreadable;
            break;
        case SearchResultKind::Offline:
            std::fprintf(stderr,
                         "Sleevanta could not reach the iTunes Search API. Please check "
                         "your internet connection and try again. (%s)\n",
                         qPrintable(outcome.detail));
            status = ExitUnreachable;
            break;
        case SearchResultKind::Throttled:
            std::fprintf(stderr, "The iTunes Search API is receiving too many searches from this "
                                 "computer. Please wait a minute and try again.\n");
            status = ExitUnreachable;
            break;
        }
        QCoreApplication::exit(status);
    });
    if (!done) {
        QCoreApplication::exec();
    }
    return status;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Sleevanta"));
    QCoreApplication::setOrganizationName(QStringLiteral("Sleevanta"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SLEEVANTA_VERSION));

    QStringList arguments = QCoreApplication::arguments().mid(1);
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
    const QString command = arguments.takeFirst();
    if (command != QLatin1String("search")) {
        return usageError(QStringLiteral("unknown command \"%1\"").arg(command));
    }

    SearchArgs args;
    QStringList positional;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        auto takeValue = [&](QString& into) {
            if (i + 1 >= arguments.size()) {
                return false;
            }
            into = arguments[++i];
            return true;
        };
        if (arg == QLatin1String("--media")) {
            if (!takeValue(args.media)) {
                return usageError(QStringLiteral("--media needs a title"));
            }
        } else if (arg == QLatin1String("--country")) {
            if (!takeValue(args.country)) {
                return usageError(QStringLiteral("--country needs a code"));
            }
        } else if (arg == QLatin1String("--json")) {
            args.json = true;
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
    if (!MediaTables::mediaTitles().contains(args.media)) {
        return usageError(QStringLiteral("unknown media title \"%1\"").arg(args.media));
    }
    args.country = args.country.toUpper();
    if (!MediaTables::countryCodes().contains(args.country)) {
        return usageError(QStringLiteral("unknown storefront code \"%1\"").arg(args.country));
    }
    return runSearch(args);
}

#include "cli/Arguments.h"

#include "catalogue/MediaTables.h"
#include "cli/Output.h"
#include "settings/CoverFileName.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <sys/stat.h>

namespace CommandLine {

const char* const kUsage = QT_TRANSLATE_NOOP(
    "Cli",
    "Usage: sleevanta-cli search [--media TITLE] [--country CODE] [--json] TERM\n"
    "       sleevanta-cli save [--media TITLE] [--country CODE] [--quality standard|high]\n"
    "                          [--index N] [--to DIR] TERM\n"
    "       sleevanta-cli fill [--dry-run] [--quality standard|high] [--country CODE]\n"
    "                          [--name NAME] [--interval SECONDS] [--embed [--embed-size PX]]\n"
    "                          [--retry] [--upgrade PX] [--json] DIR\n"
    "       sleevanta-cli choose [--quality standard|high] [--country CODE] [--name NAME]\n"
    "                          [--embed [--embed-size PX]] [--json] FOLDER ID\n"
    "       sleevanta-cli restore [--forget] [--json] DIR\n"
    "       sleevanta-cli embed [--replace] [--embed-size PX] [--json] IMAGE FILE|DIR...\n"
    "\n"
    "search  searches the iTunes Store catalogue for TERM and prints one line per item,\n"
    "        numbered from 0 as save's --index counts.\n"
    "save    searches the same way, downloads the cover of item N of the list and saves\n"
    "        it as JPEG into DIR under the cover file name of Sleevanta's settings,\n"
    "        never replacing a file (a numbered name is taken), and prints its path,\n"
    "        then its pixel size, format, download size and kind (original or\n"
    "        rendition).\n"
    "\n"
    "fill    finds the album folders below DIR that have no cover yet, reads their\n"
    "        tags and asks the catalogue in as few requests as it takes: the albums'\n"
    "        store ids and barcodes, many at a time; then one listing per artist;\n"
    "        then a search for each album left. The cover of a confident match is\n"
    "        saved into the album's folder (and its disc folders), never replacing a\n"
    "        file; an album without one is reported and left alone. Requests are\n"
    "        paced; what found no match is remembered for 30 days in the library's\n"
    "        journal (~/.local/state/Sleevanta/journals) and not asked about again.\n"
    "        With --upgrade PX, albums whose largest cover (a file, or with --embed an\n"
    "        embedded one) is smaller than PX pixels on its shorter side are asked\n"
    "        about too: a cover gives way only to a larger rendition of the same\n"
    "        picture, and never when it was chosen by hand; what it replaces is kept\n"
    "        aside first.\n"
    "choose  gives the album in FOLDER the cover of catalogue item ID (an album, or\n"
    "        a song of it), under fill's cover name, replacing the covers players\n"
    "        read there (kept aside first); no later fill replaces a chosen cover.\n"
    "restore puts back every cover that fill --upgrade or choose replaced in the\n"
    "        album folders at and below DIR, byte for byte (kept aside under\n"
    "        ~/.local/state/Sleevanta/replaced); a cover changed since, or whose\n"
    "        folder moved, is left and reported. --forget lets the kept covers go.\n"
    "embed   puts IMAGE into the given audio files, or the audio files of the given\n"
    "        album folders, as their front cover; a file that has one keeps it. Each\n"
    "        file is rewritten as a copy checked byte for byte against it; a file\n"
    "        whose content is not what its name says, or that another program has\n"
    "        open for writing, is left alone with the reason.\n"
    "\n"
    "TERM may also be a store link (music.apple.com, apps.apple.com, ...) or a bare\n"
    "catalogue id: then that very item is looked up.\n"
    "\n"
    "Options:\n"
    "  --media TITLE    media kind, one of: Audiobooks, eBooks, Movies, Music,\n"
    "                   Music Videos, Podcasts, Short Films, Software, TV Shows\n"
    "                   in any case (default: Music)\n"
    "  --country CODE   two-letter storefront code, in either case (default: US);\n"
    "                   fill takes a list (US,GB,JP): an album without a match in\n"
    "                   one is asked about in the next (an MP4 file's own\n"
    "                   storefront first), and the report names where its cover\n"
    "                   came from\n"
    "  --json           search: one JSON object per item and line (fill: per album\n"
    "                   folder, as each is done; embed: per file, with file, status\n"
    "                   and reason); search's objects have the fields\n"
    "                   artistName, artworkUrl, collectionId, collectionName,\n"
    "                   collectionViewUrl, entityString, highResolutionUrl,\n"
    "                   iTunesUrl, standardResolutionUrl, webBrowserUrl\n"
    "  --quality Q      save, fill: standard (600x600, the default) or high: the\n"
    "                   original upload, else the largest rendition the servers have\n"
    "  --index N        save: the item's position in the list, from 0 (default: 0)\n"
    "  --to DIR         save: the folder to save into (default: the Downloads folder)\n"
    "  --name NAME      fill: the cover's file name (default: cover.jpg, which every\n"
    "                   common player reads); %{artistName}, %{collectionName} and\n"
    "                   %{year} are filled in; it ends in .jpg or .jpeg\n"
    "  --interval S     fill: the least seconds between catalogue requests, 0 to 3600\n"
    "                   (default 3)\n"
    "  --dry-run        fill: search and report, write nothing\n"
    "  --embed          fill: also embed the cover into the album's audio files (MP3,\n"
    "                   FLAC, MP4, Ogg Vorbis, Opus) that carry none; an album with a\n"
    "                   cover file gets that file embedded, without a request\n"
    "  --embed-size PX  fill, embed: a larger cover is embedded as a JPEG of at most\n"
    "                   PX pixels (default 1500); the cover file keeps the original\n"
    "  --retry          fill: ask again about the albums the journal remembers\n"
    "  --replace        embed: replace a file's front cover (else it is kept)\n"
    "  --upgrade PX     fill: also replace covers smaller than PX pixels, 16 to\n"
    "                   10000, by larger ones of the same picture\n"
    "  --forget         restore: let the kept covers go instead of putting them back\n"
    "  -h, --help       show this help\n"
    "  --version        show the version\n"
    "\n"
    "Exit status: 0 done (a search that finds no items included; a fill whose every\n"
    "album was saved, covered, planned, embedded, upgraded, kept, without a\n"
    "confident match, ambiguous or mixed; a restore that put back every cover),\n"
    "1 a fill, embed or restore completed but some album or file failed (a\n"
    "download, a write, an embedding, a tag read that took too long, a cover\n"
    "changed since or a folder moved),\n"
    "2 no request URL could be formed, 3 the answer could not be read, 4 the\n"
    "catalogue could not be reached, refused for its rate limit, failed or never\n"
    "answered, 5 the cover could not be downloaded or written (or there is no\n"
    "item N), 64 usage error, 130 stopped with Ctrl+C (143 by SIGTERM, 129 by\n"
    "SIGHUP; the file under way is left as it was; run it again to go on).\n"
    "\n"
    "The environment variable SLEEVANTA_SERVICE_ORIGIN (e.g. http://127.0.0.1:8642)\n"
    "sends every request to that origin instead of the store's servers.\n");

QString usageText() {
    return Cli::tr(kUsage);
}

int usageError(const QString& message) {
    Output::error(QStringLiteral("sleevanta-cli: ") + message);
    Output::error(Cli::tr("Try 'sleevanta-cli --help'"));
    return ExitUsage;
}

namespace {

const QStringList kCommands{QStringLiteral("search"), QStringLiteral("save"),
                            QStringLiteral("fill"),   QStringLiteral("embed"),
                            QStringLiteral("choose"), QStringLiteral("restore")};

// The commands each option belongs to.
const QHash<QString, QStringList>& owners() {
    static const QHash<QString, QStringList> table{
        {QStringLiteral("--media"), {QStringLiteral("search"), QStringLiteral("save")}},
        {QStringLiteral("--country"), kCommands},
        {QStringLiteral("--json"),
         {QStringLiteral("search"), QStringLiteral("fill"), QStringLiteral("embed"),
          QStringLiteral("choose"), QStringLiteral("restore")}},
        {QStringLiteral("--quality"),
         {QStringLiteral("save"), QStringLiteral("fill"), QStringLiteral("choose")}},
        {QStringLiteral("--index"), {QStringLiteral("save")}},
        {QStringLiteral("--to"), {QStringLiteral("save")}},
        {QStringLiteral("--name"), {QStringLiteral("fill"), QStringLiteral("choose")}},
        {QStringLiteral("--interval"), {QStringLiteral("fill")}},
        {QStringLiteral("--dry-run"), {QStringLiteral("fill")}},
        {QStringLiteral("--embed"), {QStringLiteral("fill"), QStringLiteral("choose")}},
        {QStringLiteral("--embed-size"),
         {QStringLiteral("fill"), QStringLiteral("embed"), QStringLiteral("choose")}},
        {QStringLiteral("--retry"), {QStringLiteral("fill")}},
        {QStringLiteral("--replace"), {QStringLiteral("embed")}},
        {QStringLiteral("--upgrade"), {QStringLiteral("fill")}},
        {QStringLiteral("--forget"), {QStringLiteral("restore")}}};
    return table;
}

// The options without a value, and what each switches on.
bool* flag(const QString& option, Arguments& args) {
    const std::pair<const char*, bool*> flags[] = {
        {"--json", &args.json},   {"--dry-run", &args.dryRun},  {"--embed", &args.embed},
        {"--retry", &args.retry}, {"--replace", &args.replace}, {"--forget", &args.forget}};
    for (const auto& [name, value] : flags) {
        if (option == QLatin1String(name)) {
            return value;
        }
    }
    return nullptr;
}

// Takes the value of `option`; false when it does not fit.
bool takeValue(const QString& option, const QString& value, Arguments& args) {
    bool ok = true;
    if (option == QLatin1String("--media")) {
        args.media = value;
    } else if (option == QLatin1String("--country")) {
        args.country = value;
    } else if (option == QLatin1String("--quality")) {
        ok = value == QLatin1String("standard") || value == QLatin1String("high");
        args.highQuality = value == QLatin1String("high");
    } else if (option == QLatin1String("--index")) {
        args.index = value.toLongLong(&ok);
        ok = ok && args.index >= 0;
    } else if (option == QLatin1String("--to")) {
        args.folder = value;
        ok = !value.isEmpty();
    } else if (option == QLatin1String("--name")) {
        args.nameFormat = value;
    } else if (option == QLatin1String("--embed-size")) {
        args.embedSide = value.toInt(&ok);
        ok = ok && args.embedSide >= 16 && args.embedSide <= 10000;
    } else if (option == QLatin1String("--upgrade")) {
        args.upgradeBelow = value.toInt(&ok);
        ok = ok && args.upgradeBelow >= 16 && args.upgradeBelow <= 10000;
    } else if (option == QLatin1String("--interval")) {
        args.intervalSeconds = value.toDouble(&ok);
        ok = ok && std::isfinite(args.intervalSeconds) && args.intervalSeconds >= 0 &&
             args.intervalSeconds <= 3600;
    }
    return ok;
}

// The media title and storefront in their proper spelling.
std::optional<int> checkMediaAndCountry(Arguments& args) {
    const QStringList& titles = MediaTables::mediaTitles();
    const auto title = std::find_if(titles.begin(), titles.end(), [&](const QString& t) {
        return t.compare(args.media, Qt::CaseInsensitive) == 0;
    });
    if (title == titles.end()) {
        return usageError(Cli::tr("unknown media title \"%1\"").arg(args.media));
    }
    args.media = *title;
    QStringList codes = args.country.toUpper().split(QLatin1Char(','));
    QStringList unknown;
    QStringList repeated;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        if (!MediaTables::countryCodes().contains(codes[i])) {
            unknown.append(codes[i]);
        } else if (codes.indexOf(codes[i]) < i && !repeated.contains(codes[i])) {
            repeated.append(codes[i]);
        }
    }
    if (!unknown.isEmpty()) {
        return usageError(Cli::tr("unknown storefront code(s): %1", nullptr, int(unknown.size()))
                              .arg(unknown.join(QStringLiteral(", "))));
    }
    if (!repeated.isEmpty()) {
        return usageError(
            Cli::tr("storefront code(s) given twice: %1", nullptr, int(repeated.size()))
                .arg(repeated.join(QStringLiteral(", "))));
    }
    if (codes.size() > 1 && args.command != QLatin1String("fill")) {
        return usageError(Cli::tr("only fill asks several storefronts"));
    }
    args.country = codes.takeFirst();
    args.moreCountries = codes;
    return std::nullopt;
}

bool isFolder(const QByteArray& nativePath) {
    struct stat info {};
    return ::stat(nativePath.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

std::optional<int> parse(const QStringList& arguments, const QList<QByteArray>& raw,
                         Arguments& args) {
    args.command = arguments.value(0);
    if (!kCommands.contains(args.command)) {
        return usageError(Cli::tr("unknown command \"%1\"").arg(args.command));
    }
    QStringList positional;
    QList<QByteArray> nativePositional;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
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
        if (!owners().contains(arg)) {
            return usageError(Cli::tr("unknown option \"%1\"").arg(arg));
        }
        if (!owners()[arg].contains(args.command)) {
            const QStringList commands = owners()[arg];
            return usageError(
                Cli::tr("%1 belongs to the command(s) %2", nullptr, int(commands.size()))
                    .arg(arg, commands.join(QStringLiteral(", "))));
        }
        if (bool* on = flag(arg, args)) {
            *on = true;
        } else if (i + 1 >= arguments.size()) {
            return usageError(Cli::tr("%1 needs a value").arg(arg));
        } else if (const QString value = arguments[++i]; !takeValue(arg, value, args)) {
            return usageError(Cli::tr("%1 does not take \"%2\"").arg(arg, value));
        }
    }
    if (args.command == QLatin1String("embed")) {
        if (positional.size() < 2) {
            return usageError(Cli::tr("give a picture and the audio files or folders"));
        }
        args.term = positional.first();
        args.nativeTerm = nativePositional.first();
        args.nativeTargets = nativePositional.mid(1);
        return std::nullopt;
    }
    if (args.command == QLatin1String("choose")) {
        bool ok = false;
        args.chosenId = positional.value(1).toLongLong(&ok);
        if (positional.size() != 2 || !ok || args.chosenId <= 0) {
            return usageError(Cli::tr("give an album folder and a catalogue id"));
        }
        positional.removeLast();
        nativePositional.removeLast();
    }
    // These take a folder as their one argument.
    const bool folderCommand =
        args.command != QLatin1String("search") && args.command != QLatin1String("save");
    if (positional.size() != 1) {
        return usageError(
            folderCommand ? Cli::tr("give exactly one folder")
                          : Cli::tr("give exactly one search term (quote it if it has blanks)"));
    }
    args.term = positional.first();
    args.nativeTerm = nativePositional.first();
    if (args.term.isEmpty()) {
        return usageError(Cli::tr("the search term is empty"));
    }
    // A folder is taken by its bytes: its name need not be UTF-8.
    // restore also answers for a folder that was moved away since.
    if (folderCommand && args.command != QLatin1String("restore") && !isFolder(args.nativeTerm)) {
        return usageError(Cli::tr("\"%1\" is no folder").arg(args.term));
    }
    // The cover goes into the album's own folder, never elsewhere, as a JPEG.
    if (const auto problem = CoverFileName::formatProblem(args.nameFormat);
        folderCommand && problem) {
        return usageError(Cli::tr("--name \"%1\": %2").arg(args.nameFormat, *problem));
    }
    return checkMediaAndCountry(args);
}

} // namespace CommandLine

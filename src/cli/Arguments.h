#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The exit statuses of sleevanta-cli; a search's own come from Output::exitStatusFor().
enum ExitStatus {
    ExitOk = 0,
    ExitUnreachable = 4,
    ExitNotSaved = 5,
    ExitUsage = 64,
    ExitInterrupted = 130,
};

// The command line, checked.
struct Arguments {
    QString command;
    QString media = QStringLiteral("Music");
    QString country = QStringLiteral("US");
    QStringList moreCountries; // fill: storefronts asked after `country`, in turn
    bool json = false;
    bool highQuality = false;
    qint64 index = 0;
    QString folder;
    QString term;
    QByteArray nativeTerm; // the term as given, bytes and all (fill's folder)
    bool dryRun = false;
    QString nameFormat = QStringLiteral("cover.jpg");
    double intervalSeconds = 3;
    bool embed = false;
    int embedSide = 1500;
    bool retry = false;
    bool replace = false;
    int upgradeBelow = 0;            // fill: replace covers smaller than this
    bool forget = false;             // restore: let the kept covers go instead
    qint64 chosenId = 0;             // choose: the catalogue item
    QList<QByteArray> nativeTargets; // embed: the audio files and folders, bytes and all
};

namespace CommandLine {

// The text of --help.
// The help text, in the user's language.
QString usageText();

// Says what is wrong on standard error; the usage error's exit status.
int usageError(const QString& message);

// Parses `arguments` (after the program's name; `raw` the same as given, in
// bytes) into `args`; a usage error's exit status when they do not add up.
std::optional<int> parse(const QStringList& arguments, const QList<QByteArray>& raw,
                         Arguments& args);

} // namespace CommandLine

// sleevanta-cli: search the catalogue, save covers, fill a music library's
// missing covers and embed covers into audio files, from a terminal.
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Output.h"
#include "library/AppContext.h"
#include "platform/MemoryPolicy.h"
#include "platform/Translations.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    MemoryPolicy::apply();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Sleevanta"));
    QCoreApplication::setOrganizationName(QStringLiteral("Sleevanta"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SLEEVANTA_VERSION));

    const QStringList arguments = QCoreApplication::arguments().mid(1);
    // What scripts read is the same in every language: with --json, no
    // message is translated either.
    Translations::install(arguments.contains(QStringLiteral("--json"))
                              ? Translations::Languages::EnglishOnly
                              : Translations::Languages::User);
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        std::fputs(CommandLine::usageText().toLocal8Bit().constData(), stdout);
        return ExitOk;
    }
    if (arguments.contains(QStringLiteral("--version"))) {
        std::printf("sleevanta-cli %s\n", SLEEVANTA_VERSION);
        return ExitOk;
    }
    if (arguments.isEmpty()) {
        return CommandLine::usageError(Cli::tr("no command given"));
    }
    QList<QByteArray> raw;
    for (int i = 1; i < argc; ++i) {
        raw.append(QByteArray(argv[i]));
    }
    Arguments args;
    if (const auto usage = CommandLine::parse(arguments, raw, args)) {
        return *usage;
    }
    AppContext context;
    return Command::named(args.command, context)->run(args);
}

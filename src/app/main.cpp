// Sleevanta: find cover artwork in the iTunes Store catalogue and save it.
#include "app/AppConfig.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/SingleInstance.h"
#include "library/AppContext.h"
#include "library/MusicOpening.h"
#include "platform/MemoryPolicy.h"
#include "platform/TextSafety.h"
#include "platform/Translations.h"
#include "ui/common/AppIcon.h"
#include "ui/common/AppStyle.h"
#include "ui/common/ColorScheme.h"
#include "ui/search/SearchPane.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <cstring>

namespace {

constexpr char kUsage[] = QT_TRANSLATE_NOOP(
    "Sleevanta", "Usage: sleevanta [FILE|FOLDER|URI]...\n"
                 "Finds cover artwork in the iTunes Store catalogue and saves it.\n"
                 "Audio files and album folders given are searched by their tags (one album),\n"
                 "or opened in Fill Covers in Folder (several albums).\n\n"
                 "  -h, --help     show this help and end\n"
                 "  -v, --version  show the version and end\n");

// Help is given before any display is opened: without an application
// object, one without a display is made for the user's language.
QByteArray usage() {
    if (QCoreApplication::instance()) {
        return QCoreApplication::translate("Sleevanta", kUsage).toLocal8Bit();
    }
    int argc = 1;
    char name[] = "sleevanta";
    char* argv[] = {name, nullptr};
    QCoreApplication core(argc, argv);
    Translations::install(Translations::Languages::User);
    return QCoreApplication::translate("Sleevanta", kUsage).toLocal8Bit();
}

// The files and folders named on the command line as file: URIs, every byte of
// a name kept; the exit status when the program should end instead. Without
// `uris`, only help and version are answered (before any display is opened).
std::optional<int> readArguments(int argc, char* argv[], QStringList* uris) {
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (options && argument == "--") {
            options = false;
        } else if (options && (argument == "-h" || argument == "--help")) {
            std::fputs(usage().constData(), stdout);
            return 0;
        } else if (options && (argument == "-v" || argument == "--version")) {
            std::printf("sleevanta %s\n", SLEEVANTA_VERSION);
            return 0;
        } else if (!uris) {
            continue;
        } else if (options && argument.startsWith('-')) {
            const QString option =
                TextSafety::withoutControlCharacters(QString::fromLocal8Bit(argument));
            std::fprintf(
                stderr, "sleevanta: %s\n%s",
                qPrintable(
                    QCoreApplication::translate("Sleevanta", "unknown option %1").arg(option)),
                usage().constData());
            return 64;
        } else if (argument.contains("://") || argument.startsWith("file:")) {
            uris->append(QString::fromUtf8(argument)); // refused unless local
        } else if (!argument.isEmpty()) {
            const QByteArray path = argument.startsWith('/')
                                        ? argument
                                        : QFile::encodeName(QDir::currentPath()) + '/' + argument;
            uris->append(MusicOpening::fileUri(path));
        }
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[]) {
    MemoryPolicy::apply();
    if (const auto status = readArguments(argc, argv, nullptr)) {
        return *status;
    }
    QApplication app(argc, argv); // takes its own options out of argv
    Translations::install(Translations::Languages::User);
    QApplication::setApplicationName(QStringLiteral("Sleevanta"));
    QApplication::setOrganizationName(QStringLiteral("Sleevanta"));
    QApplication::setApplicationDisplayName(QStringLiteral("Sleevanta"));
    QApplication::setApplicationVersion(QStringLiteral(SLEEVANTA_VERSION));
    QApplication::setDesktopFileName(AppConfig::desktopFileId);
    QApplication::setWindowIcon(AppIcon::icon());
    AppStyle::install();
    ColorScheme colorScheme; // light or dark as the desktop says, now and later

    QStringList uris;
    if (const auto status = readArguments(argc, argv, &uris)) {
        return *status;
    }
    // Started again while it runs: the running window comes forward instead,
    // and opens what this start was given.
    if (SingleInstance::activateRunningInstance(uris)) {
        return 0;
    }
    AppContext context;
    MainWindow window(context);
    Application delegate(context, &window);
    SingleInstance instance;
    QObject::connect(&instance, &SingleInstance::activated, &window, [&window] {
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
        window.show();
        window.raise();
        window.activateWindow();
        window.searchPane()->focusSearchField();
    });
    QObject::connect(&instance, &SingleInstance::opened, &delegate, &Application::openMusic);
    if (!instance.registerService() && SingleInstance::activateRunningInstance(uris)) {
        return 0; // two started at once: the other one won
    }
    window.show();
    if (!uris.isEmpty()) {
        QStringList refused;
        delegate.openMusic(MusicOpening::localPaths(uris, &refused), refused);
    }
    return QApplication::exec();
}

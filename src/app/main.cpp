// Sleevanta: find cover artwork in the iTunes Store catalogue and save it.
#include "AppConfig.h"
#include "AppDelegate.h"
#include "AppIcon.h"
#include "AppStyle.h"
#include "MainViewController.h"
#include "MemoryPolicy.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    MemoryPolicy::apply();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sleevanta"));
    QApplication::setOrganizationName(QStringLiteral("Sleevanta"));
    QApplication::setApplicationDisplayName(QStringLiteral("Sleevanta"));
    QApplication::setApplicationVersion(QStringLiteral(SLEEVANTA_VERSION));
    QApplication::setDesktopFileName(AppConfig::desktopFileId);
    QApplication::setWindowIcon(AppIcon::icon());
    AppStyle::install();

    MainViewController window;
    AppDelegate delegate(&window);
    window.show();
    return QApplication::exec();
}

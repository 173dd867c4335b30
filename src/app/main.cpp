// Sleevanta: find cover artwork in the iTunes Store catalogue and save it.
#include "AppConfig.h"
#include "AppDelegate.h"
#include "AppIcon.h"
#include "AppStyle.h"
#include "MainViewController.h"
#include "MemoryPolicy.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "SingleInstance.h"

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

    // Started again while it runs: the running window comes forward instead.
    if (SingleInstance::activateRunningInstance()) {
        return 0;
    }
    MainViewController window;
    AppDelegate delegate(&window);
    SingleInstance instance;
    QObject::connect(&instance, &SingleInstance::activated, &window, [&window] {
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
        window.show();
        window.raise();
        window.activateWindow();
        NotificationCenter::defaultCenter().post(NotificationNames::focusOnSearchField);
    });
    if (!instance.registerService() && SingleInstance::activateRunningInstance()) {
        return 0; // two started at once: the other one won
    }
    window.show();
    return QApplication::exec();
}

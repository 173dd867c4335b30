// Sleevanta: find cover artwork in the iTunes Store catalogue and save it.
#include "AppDelegate.h"
#include "MainViewController.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sleevanta"));
    QApplication::setOrganizationName(QStringLiteral("Sleevanta"));
    QApplication::setApplicationDisplayName(QStringLiteral("Sleevanta"));
    QApplication::setApplicationVersion(QStringLiteral(SLEEVANTA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("sleevanta"));

    AppDelegate delegate;
    MainViewController window;
    window.show();
    return QApplication::exec();
}

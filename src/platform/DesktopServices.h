#pragma once

#include <QString>
#include <QUrl>

// Opening URLs and launching applications.
class DesktopServices {
public:
    virtual ~DesktopServices() = default;

    // Opens `url` with the application the desktop has for it; false when it
    // has none.
    virtual bool openUrl(const QUrl& url) = 0;
    // Launches the application with the desktop-file id `desktopId`
    // ("org.gnome.Shotwell.desktop"), optionally with files.
    virtual bool launchApplication(const QString& desktopId, const QList<QUrl>& files = {}) = 0;

    static DesktopServices& shared();
    static void setSharedForTesting(DesktopServices* workspace);
};

#pragma once

#include <QString>
#include <QUrl>

// Opening URLs and launching applications.
class Workspace {
public:
    virtual ~Workspace() = default;

    // Opens `url` with the application the desktop has for it; false when it
    // has none.
    virtual bool openUrl(const QUrl& url) = 0;
    // Launches the application with the desktop-file id `desktopId`
    // ("org.gnome.Shotwell.desktop"), optionally with files.
    virtual bool launchApplication(const QString& desktopId, const QList<QUrl>& files = {}) = 0;

    static Workspace& shared();
    static void setSharedForTesting(Workspace* workspace);
};

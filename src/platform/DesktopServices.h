#pragma once

#include <QString>
#include <QUrl>

#include <memory>

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

    // The desktop's own.
    static std::unique_ptr<DesktopServices> system();
    // Whether the desktop has a program for mailto: links (xdg-email starts
    // without one and fails unseen).
    static bool hasMailProgram();
};

#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

// Something that takes files from us: an application that opens JPEG images,
// a mail composer, the file manager.
class SharingService {
public:
    // Told, on the GUI thread, why a service could not do its work.
    using Failed = std::function<void(const QString& why)>;

    virtual ~SharingService() = default;
    virtual QString title() const = 0;
    // A themed icon name or an icon file's path; empty when there is none.
    virtual QString iconName() const = 0;
    virtual void perform(const QList<QUrl>& items, const Failed& failed) = 0;
    // Shows where a file is (rather than taking the file itself).
    virtual bool showsLocation() const { return false; }
};
using SharingServicePtr = std::shared_ptr<SharingService>;

class DesktopServices;

// What can take a cover's file: the applications for image/jpeg, recommended
// ones first, then "Email" and "Show in Folder".
class SharingServices {
    Q_DECLARE_TR_FUNCTIONS(SharingServices)
public:
    // Stands in for the desktop's list (tests).
    using Provider = std::function<QList<SharingServicePtr>(const QList<QUrl>&)>;

    // What a failed Email or Show in Folder says.
    static QString noMailProgram() {
        return tr("Couldn't start an email: no mail program is set up.");
    }
    static QString noFileManager() {
        return tr("Couldn't show the folder: no file manager is set up.");
    }
    // The desktop-file id of this application, never offered as a target.
    static inline const QString ownDesktopId = QStringLiteral("org.sleevanta.Sleevanta.desktop");
    // The application launched when a service titled "Add to Photos" is chosen.
    static inline const QString photosDesktopId = QStringLiteral("org.gnome.Shotwell.desktop");

    explicit SharingServices(DesktopServices& desktop, Provider provider = {});

    // The services that can take `items` (file URLs of JPEG images).
    QList<SharingServicePtr> servicesForItems(const QList<QUrl>& items) const;

    // Shares `file` with `service` after the current event, and, when the
    // service's title contains "Add to Photos", launches the photos
    // application at once. `failed` hears why, when the service could not.
    void share(const SharingServicePtr& service, const QUrl& file,
               SharingService::Failed failed) const;

private:
    DesktopServices& m_desktop;
    Provider m_provider;
};

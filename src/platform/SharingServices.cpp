#include "platform/SharingServices.h"

#include "platform/DesktopPortal.h"
#include "platform/DesktopServices.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThreadPool>
#include <QTimer>

#include <gio/gio.h>

namespace {

using Names = SharingServices;

QString iconNameOf(GIcon* icon) {
    if (!icon) {
        return {};
    }
    if (G_IS_THEMED_ICON(icon)) {
        const gchar* const* names = g_themed_icon_get_names(G_THEMED_ICON(icon));
        return names && names[0] ? QString::fromUtf8(names[0]) : QString();
    }
    if (G_IS_FILE_ICON(icon)) {
        GFile* file = g_file_icon_get_file(G_FILE_ICON(icon));
        gchar* path = g_file_get_path(file);
        const QString result = path ? QString::fromUtf8(path) : QString();
        g_free(path);
        return result;
    }
    return {};
}

class ApplicationService : public SharingService {
public:
    explicit ApplicationService(GAppInfo* info) : m_info(G_APP_INFO(g_object_ref(info))) {
        m_title = QString::fromUtf8(g_app_info_get_display_name(m_info));
        m_icon = iconNameOf(g_app_info_get_icon(m_info));
    }
    ~ApplicationService() override { g_object_unref(m_info); }
    QString title() const override { return m_title; }
    QString iconName() const override { return m_icon; }
    void perform(const QList<QUrl>& items, const Failed&) override {
        QList<QByteArray> encoded;
        for (const QUrl& item : items) {
            encoded.append(item.toEncoded());
        }
        GList* uris = nullptr;
        for (const QByteArray& uri : encoded) {
            uris = g_list_append(uris, const_cast<char*>(uri.constData()));
        }
        g_app_info_launch_uris(m_info, uris, nullptr, nullptr);
        g_list_free(uris);
    }

private:
    GAppInfo* m_info;
    QString m_title;
    QString m_icon;
};

class EmailService : public SharingService {
public:
    QString title() const override { return SharingServices::tr("Email"); }
    QString iconName() const override { return QStringLiteral("mail-message-new"); }
    void perform(const QList<QUrl>& items, const Failed& failed) override {
        if (items.isEmpty()) {
            return;
        }
        const QString path = items.first().toLocalFile();
        // The portal call may block for seconds: off the GUI thread.
        QThreadPool::globalInstance()->start([path, failed] {
            if (DesktopPortal::composeEmail({}, {}, {}, path)) {
                return;
            }
            const QString xdgEmail = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
            if (!xdgEmail.isEmpty() && DesktopServices::hasMailProgram()) {
                QProcess::startDetached(xdgEmail, {QStringLiteral("--attach"), path});
                return;
            }
            QMetaObject::invokeMethod(QCoreApplication::instance(), [failed, path] {
                const bool opened = DesktopServices::hasMailProgram() &&
                                    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:")));
                if (!opened && failed) {
                    failed(Names::noMailProgram() + QLatin1Char(' ') +
                           SharingServices::tr("The cover to attach is “%1”.").arg(path));
                }
            });
        });
    }
};

class ShowInFolderService : public SharingService {
public:
    explicit ShowInFolderService(DesktopServices& desktop) : m_desktop(desktop) {}
    QString title() const override { return SharingServices::tr("Show in Folder"); }
    QString iconName() const override { return QStringLiteral("folder"); }
    bool showsLocation() const override { return true; }
    void perform(const QList<QUrl>& items, const Failed& failed) override {
        if (items.isEmpty()) {
            return;
        }
        QThreadPool::globalInstance()->start([items, failed, desktop = &m_desktop] {
            if (DesktopPortal::showItems(items)) {
                return;
            }
            const QUrl folder =
                QUrl::fromLocalFile(QFileInfo(items.first().toLocalFile()).absolutePath());
            QMetaObject::invokeMethod(QCoreApplication::instance(), [folder, failed, desktop] {
                if (!desktop->openUrl(folder) && failed) {
                    failed(Names::noFileManager() + QLatin1Char(' ') +
                           SharingServices::tr("The cover is in “%1”.").arg(folder.toLocalFile()));
                }
            });
        });
    }

private:
    DesktopServices& m_desktop;
};

QList<SharingServicePtr> systemServices(DesktopServices& desktop) {
    QList<SharingServicePtr> services;
    QStringList seen;
    auto addAll = [&](GList* infos) {
        for (GList* node = infos; node; node = node->next) {
            auto* info = G_APP_INFO(node->data);
            const char* rawId = g_app_info_get_id(info);
            const QString id = rawId ? QString::fromUtf8(rawId) : QString();
            if (!g_app_info_should_show(info) || id == Names::ownDesktopId || seen.contains(id)) {
                continue;
            }
            seen.append(id);
            services.append(std::make_shared<ApplicationService>(info));
        }
        g_list_free_full(infos, g_object_unref);
    };
    addAll(g_app_info_get_recommended_for_type("image/jpeg"));
    addAll(g_app_info_get_all_for_type("image/jpeg"));
    services.append(std::make_shared<EmailService>());
    services.append(std::make_shared<ShowInFolderService>(desktop));
    return services;
}

} // namespace

SharingServices::SharingServices(DesktopServices& desktop, Provider provider)
    : m_desktop(desktop), m_provider(std::move(provider)) {}

QList<SharingServicePtr> SharingServices::servicesForItems(const QList<QUrl>& items) const {
    if (m_provider) {
        return m_provider(items);
    }
    if (items.isEmpty()) {
        return {};
    }
    return systemServices(m_desktop);
}

void SharingServices::share(const SharingServicePtr& service, const QUrl& file,
                            SharingService::Failed failed) const {
    if (!service) {
        return;
    }
    QTimer::singleShot(
        0, QCoreApplication::instance(),
        [service, file, failed = std::move(failed)] { service->perform({file}, failed); });
    if (service->title().contains(QStringLiteral("Add to Photos"))) {
        m_desktop.launchApplication(photosDesktopId);
    }
}

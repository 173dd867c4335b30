#include "SharingServices.h"

#include "Workspace.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <fcntl.h>
#include <gio/gio.h>
#include <gio/gunixfdlist.h>
#include <unistd.h>

namespace SharingServices {

namespace {

std::function<QList<SharingServicePtr>(const QList<QUrl>&)>& provider() {
    static std::function<QList<SharingServicePtr>(const QList<QUrl>&)> function;
    return function;
}

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
    void perform(const QList<QUrl>& items) override {
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

bool sessionBusHasName(const char* name) {
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus) {
        return false;
    }
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "NameHasOwner", g_variant_new("(s)", name), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE,
        500, nullptr, nullptr);
    gboolean owned = FALSE;
    if (reply) {
        g_variant_get(reply, "(b)", &owned);
        g_variant_unref(reply);
    }
    g_object_unref(bus);
    return owned;
}

class EmailService : public SharingService {
public:
    QString title() const override { return QStringLiteral("Email"); }
    QString iconName() const override { return QStringLiteral("mail-message-new"); }
    void perform(const QList<QUrl>& items) override {
        if (items.isEmpty()) {
            return;
        }
        const QString path = items.first().toLocalFile();
        if (sessionBusHasName("org.freedesktop.portal.Desktop") && composeThroughPortal(path)) {
            return;
        }
        const QString xdgEmail = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
        if (!xdgEmail.isEmpty()) {
            QProcess::startDetached(xdgEmail, {QStringLiteral("--attach"), path});
            return;
        }
        QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:")));
    }

private:
    static bool composeThroughPortal(const QString& path) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            return false;
        }
        GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
        if (!bus) {
            ::close(fd);
            return false;
        }
        GUnixFDList* fds = g_unix_fd_list_new_from_array(&fd, 1); // takes the descriptor
        GVariantBuilder options;
        g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
        GVariantBuilder handles;
        g_variant_builder_init(&handles, G_VARIANT_TYPE("ah"));
        g_variant_builder_add(&handles, "h", 0);
        g_variant_builder_add(&options, "{sv}", "attachment_fds", g_variant_builder_end(&handles));
        GError* error = nullptr;
        GVariant* reply = g_dbus_connection_call_with_unix_fd_list_sync(
            bus, "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
            "org.freedesktop.portal.Email", "ComposeEmail", g_variant_new("(sa{sv})", "", &options),
            G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NONE, 5000, fds, nullptr, nullptr, &error);
        g_object_unref(fds);
        g_object_unref(bus);
        if (!reply) {
            g_clear_error(&error);
            return false;
        }
        g_variant_unref(reply);
        return true;
    }
};

class ShowInFolderService : public SharingService {
public:
    QString title() const override { return QStringLiteral("Show in Folder"); }
    QString iconName() const override { return QStringLiteral("folder"); }
    void perform(const QList<QUrl>& items) override {
        if (items.isEmpty()) {
            return;
        }
        if (sessionBusHasName("org.freedesktop.FileManager1") && showItems(items)) {
            return;
        }
        const QString folder = QFileInfo(items.first().toLocalFile()).absolutePath();
        Workspace::shared().openUrl(QUrl::fromLocalFile(folder));
    }

private:
    static bool showItems(const QList<QUrl>& items) {
        GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
        if (!bus) {
            return false;
        }
        GVariantBuilder uris;
        g_variant_builder_init(&uris, G_VARIANT_TYPE("as"));
        for (const QUrl& item : items) {
            g_variant_builder_add(&uris, "s", item.toEncoded().constData());
        }
        GVariant* reply = g_dbus_connection_call_sync(
            bus, "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
            "org.freedesktop.FileManager1", "ShowItems", g_variant_new("(ass)", &uris, ""), nullptr,
            G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
        g_object_unref(bus);
        if (!reply) {
            return false;
        }
        g_variant_unref(reply);
        return true;
    }
};

QList<SharingServicePtr> systemServices() {
    QList<SharingServicePtr> services;
    QStringList seen;
    auto addAll = [&](GList* infos) {
        for (GList* node = infos; node; node = node->next) {
            auto* info = G_APP_INFO(node->data);
            const char* rawId = g_app_info_get_id(info);
            const QString id = rawId ? QString::fromUtf8(rawId) : QString();
            if (!g_app_info_should_show(info) || id == ownDesktopId || seen.contains(id)) {
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
    services.append(std::make_shared<ShowInFolderService>());
    return services;
}

} // namespace

QList<SharingServicePtr> servicesForItems(const QList<QUrl>& items) {
    if (provider()) {
        return provider()(items);
    }
    if (items.isEmpty()) {
        return {};
    }
    return systemServices();
}

void setProviderForTesting(std::function<QList<SharingServicePtr>(const QList<QUrl>&)> function) {
    provider() = std::move(function);
}

void share(const SharingServicePtr& service, const QUrl& file) {
    if (!service) {
        return;
    }
    QTimer::singleShot(0, QCoreApplication::instance(),
                       [service, file] { service->perform({file}); });
    if (service->title().contains(QStringLiteral("Add to Photos"))) {
        Workspace::shared().launchApplication(photosDesktopId);
    }
}

} // namespace SharingServices

#include "platform/DesktopPortal.h"

#include <QFile>

#include <fcntl.h>
#include <gio/gio.h>
#include <gio/gunixfdlist.h>
#include <unistd.h>

namespace DesktopPortal {

namespace {

// One synchronous call on the session bus; `fds` (may be null) travel with it.
bool call(const char* service, const char* path, const char* interface, const char* method,
          GVariant* parameters, const GVariantType* replyType, int timeoutMs,
          GUnixFDList* fds = nullptr) {
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus) {
        g_variant_unref(g_variant_ref_sink(parameters));
        return false;
    }
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_with_unix_fd_list_sync(
        bus, service, path, interface, method, parameters, replyType, G_DBUS_CALL_FLAGS_NONE,
        timeoutMs, fds, nullptr, nullptr, &error);
    g_object_unref(bus);
    if (!reply) {
        g_clear_error(&error);
        return false;
    }
    g_variant_unref(reply);
    return true;
}

} // namespace

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

bool composeEmail(const QStringList& addresses, const QString& subject, const QString& body,
                  const std::optional<QString>& attachmentPath) {
    if (!sessionBusHasName("org.freedesktop.portal.Desktop")) {
        return false;
    }
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    if (!addresses.isEmpty()) {
        GVariantBuilder list;
        g_variant_builder_init(&list, G_VARIANT_TYPE("as"));
        for (const QString& address : addresses) {
            g_variant_builder_add(&list, "s", address.toUtf8().constData());
        }
        g_variant_builder_add(&options, "{sv}", "addresses", g_variant_builder_end(&list));
    }
    if (!subject.isEmpty()) {
        g_variant_builder_add(&options, "{sv}", "subject",
                              g_variant_new_string(subject.toUtf8().constData()));
    }
    if (!body.isEmpty()) {
        g_variant_builder_add(&options, "{sv}", "body",
                              g_variant_new_string(body.toUtf8().constData()));
    }
    GUnixFDList* fds = nullptr;
    if (attachmentPath) {
        const int fd = ::open(QFile::encodeName(*attachmentPath).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            g_variant_builder_clear(&options);
            return false;
        }
        fds = g_unix_fd_list_new_from_array(&fd, 1); // takes the descriptor
        GVariantBuilder handles;
        g_variant_builder_init(&handles, G_VARIANT_TYPE("ah"));
        g_variant_builder_add(&handles, "h", 0);
        g_variant_builder_add(&options, "{sv}", "attachment_fds", g_variant_builder_end(&handles));
    }
    const bool sent =
        call("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
             "org.freedesktop.portal.Email", "ComposeEmail",
             g_variant_new("(sa{sv})", "", &options), G_VARIANT_TYPE("(o)"), 5000, fds);
    if (fds) {
        g_object_unref(fds);
    }
    return sent;
}

bool showItems(const QList<QUrl>& items) {
    if (!sessionBusHasName("org.freedesktop.FileManager1")) {
        return false;
    }
    GVariantBuilder uris;
    g_variant_builder_init(&uris, G_VARIANT_TYPE("as"));
    for (const QUrl& item : items) {
        g_variant_builder_add(&uris, "s", item.toEncoded().constData());
    }
    return call("org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                "org.freedesktop.FileManager1", "ShowItems", g_variant_new("(ass)", &uris, ""),
                nullptr, 2000);
}

} // namespace DesktopPortal

#include "MailComposer.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <gio/gio.h>

namespace {

bool composeThroughPortal(const QStringList& recipients, const QString& subject,
                          const QString& body) {
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus) {
        return false;
    }
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    GVariantBuilder addresses;
    g_variant_builder_init(&addresses, G_VARIANT_TYPE("as"));
    for (const QString& recipient : recipients) {
        g_variant_builder_add(&addresses, "s", recipient.toUtf8().constData());
    }
    g_variant_builder_add(&options, "{sv}", "addresses", g_variant_builder_end(&addresses));
    g_variant_builder_add(&options, "{sv}", "subject",
                          g_variant_new_string(subject.toUtf8().constData()));
    g_variant_builder_add(&options, "{sv}", "body",
                          g_variant_new_string(body.toUtf8().constData()));
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
        "org.freedesktop.portal.Email", "ComposeEmail", g_variant_new("(sa{sv})", "", &options),
        G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, &error);
    g_object_unref(bus);
    if (!reply) {
        g_clear_error(&error);
        return false;
    }
    g_variant_unref(reply);
    return true;
}

class SystemMailComposer : public MailComposer {
public:
    void compose(const QStringList& recipients, const QString& subject,
                 const QString& body) override {
        if (composeThroughPortal(recipients, subject, body)) {
            return;
        }
        const QString xdgEmail = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
        if (!xdgEmail.isEmpty()) {
            QProcess::startDetached(xdgEmail, QStringList{QStringLiteral("--subject"), subject,
                                                          QStringLiteral("--body"), body} +
                                                  recipients);
            return;
        }
        QDesktopServices::openUrl(mailtoUrl(recipients, subject, body));
    }
};

MailComposer* g_override = nullptr;

} // namespace

MailComposer& MailComposer::shared() {
    static SystemMailComposer system;
    return g_override ? *g_override : system;
}

void MailComposer::setSharedForTesting(MailComposer* composer) {
    g_override = composer;
}

QUrl MailComposer::mailtoUrl(const QStringList& recipients, const QString& subject,
                             const QString& body) {
    QByteArray text = "mailto:";
    QList<QByteArray> addresses;
    for (const QString& recipient : recipients) {
        addresses.append(QUrl::toPercentEncoding(recipient, "@"));
    }
    text += addresses.join(',') + "?subject=" + QUrl::toPercentEncoding(subject) +
            "&body=" + QUrl::toPercentEncoding(body);
    return QUrl::fromEncoded(text, QUrl::StrictMode);
}

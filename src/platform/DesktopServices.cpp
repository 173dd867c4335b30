#include "platform/DesktopServices.h"

#include <QDesktopServices>
#include <QFileInfo>

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

namespace {

bool hasDefault(GAppInfo* handler) {
    if (!handler) {
        return false;
    }
    g_object_unref(handler);
    return true;
}

class SystemDesktop : public DesktopServices {
public:
    bool openUrl(const QUrl& url) override {
        // The opener is started without waiting for it, so a scheme nothing
        // handles (musics:, itms-apps:) would fail unseen: ask the desktop first.
        // A folder needs a file manager.
        const QByteArray scheme = url.scheme().toUtf8();
        const bool handled =
            !url.isLocalFile()
                ? hasDefault(g_app_info_get_default_for_uri_scheme(scheme.constData()))
            : QFileInfo(url.toLocalFile()).isDir()
                ? hasDefault(g_app_info_get_default_for_type("inode/directory", FALSE))
                : true;
        return handled && QDesktopServices::openUrl(url);
    }

    bool launchApplication(const QString& desktopId, const QList<QUrl>& files) override {
        const QByteArray id = desktopId.toUtf8();
        GDesktopAppInfo* info = g_desktop_app_info_new(id.constData());
        if (!info) {
            return false;
        }
        GList* uris = nullptr;
        QList<QByteArray> encoded;
        for (const QUrl& file : files) {
            encoded.append(file.toEncoded());
        }
        for (const QByteArray& uri : encoded) {
            uris = g_list_append(uris, const_cast<char*>(uri.constData()));
        }
        const gboolean launched = g_app_info_launch_uris(G_APP_INFO(info), uris, nullptr, nullptr);
        g_list_free(uris);
        g_object_unref(info);
        return launched;
    }
};

} // namespace

bool DesktopServices::hasMailProgram() {
    return hasDefault(g_app_info_get_default_for_uri_scheme("mailto"));
}

std::unique_ptr<DesktopServices> DesktopServices::system() {
    return std::make_unique<SystemDesktop>();
}

#pragma once

#include "platform/SharingServices.h"
#include "sources/CoverSource.h"
#include "sources/store/ServiceOrigins.h"

#include <memory>

class Clipboard;
class DesktopServices;
class ImageCache;
class ImageService;
class MailComposer;
class NetworkAccess;
class Settings;
class SettingsStore;

// The services the window and the command line share: settings, network
// access, the cover sources, the image cache and service, the clipboard and
// the desktop's services. Made once by each program (and by each test for itself) and
// handed down to what needs them; nothing reaches for a process-wide one.
class AppContext {
public:
    // Stand-ins for the desktop's own services (tests); not owned.
    struct Doubles {
        Clipboard* clipboard = nullptr;
        DesktopServices* desktop = nullptr;
        MailComposer* mail = nullptr;
        SharingServices::Provider sharing;
    };

    // The settings file and the image cache where the XDG environment puts
    // them; the service origins from SLEEVANTA_SERVICE_ORIGIN, else the
    // store's own. Made on the GUI thread.
    AppContext();
    explicit AppContext(Doubles doubles);
    ~AppContext();
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    Settings& settings() const { return *m_settings; }
    SettingsStore& settingsStore() const { return *m_store; }
    NetworkAccess& network() const { return *m_network; }
    ImageCache& cache() const { return *m_cache; }
    ImageService& images() const { return *m_images; }
    Clipboard& clipboard() const { return *m_clipboard; }
    DesktopServices& desktop() const { return *m_desktop; }
    MailComposer& mail() const { return *m_mail; }
    const SharingServices& sharing() const { return *m_sharing; }
    // Where covers come from: the store catalogue first.
    const CoverSources& sources() const { return m_sources; }

    // Where the remote services are; a test points them at its own server.
    const ServiceOrigins& origins() const { return m_origins; }
    void setOrigins(const ServiceOrigins& origins) { m_origins = origins; }

private:
    ServiceOrigins m_origins;
    CoverSources m_sources;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<NetworkAccess> m_network;
    std::unique_ptr<ImageCache> m_cache;
    std::unique_ptr<ImageService> m_images;
    std::unique_ptr<Clipboard> m_ownClipboard;
    std::unique_ptr<DesktopServices> m_ownDesktop;
    std::unique_ptr<MailComposer> m_ownMail;
    Clipboard* m_clipboard;
    DesktopServices* m_desktop;
    MailComposer* m_mail;
    std::unique_ptr<SharingServices> m_sharing;
};

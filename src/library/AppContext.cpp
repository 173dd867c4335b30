#include "library/AppContext.h"

#include "imaging/ImageCache.h"
#include "imaging/ImageService.h"
#include "platform/Clipboard.h"
#include "platform/DesktopServices.h"
#include "platform/MailComposer.h"
#include "platform/NetworkAccess.h"
#include "platform/SettingsStore.h"
#include "platform/UserPaths.h"
#include "settings/Settings.h"
#include "sources/store/StoreCatalogue.h"

AppContext::AppContext() : AppContext(Doubles{}) {}

AppContext::AppContext(Doubles doubles)
    : m_origins(ServiceOrigins::fromEnvironment()),
      m_store(std::make_unique<SettingsStore>(SettingsStore::standardFilePath())),
      m_settings(std::make_unique<Settings>(*m_store)),
      m_network(std::make_unique<NetworkAccess>()),
      m_cache(std::make_unique<ImageCache>(UserPaths::imageCacheDirectory())),
      m_images(std::make_unique<ImageService>(*m_cache, *m_network, m_sources)) {
    m_sources.add(std::make_unique<StoreCatalogue>(*m_network, m_origins));
    if (!doubles.clipboard) {
        m_ownClipboard = Clipboard::system();
    }
    if (!doubles.desktop) {
        m_ownDesktop = DesktopServices::system();
    }
    m_clipboard = doubles.clipboard ? doubles.clipboard : m_ownClipboard.get();
    m_desktop = doubles.desktop ? doubles.desktop : m_ownDesktop.get();
    if (!doubles.mail) {
        m_ownMail = MailComposer::system(*m_desktop);
    }
    m_mail = doubles.mail ? doubles.mail : m_ownMail.get();
    m_sharing = std::make_unique<SharingServices>(*m_desktop, std::move(doubles.sharing));
}

AppContext::~AppContext() {
    m_images.reset();
    m_cache.reset(); // waits for its disk work
}

#include "ShareMenu.h"

#include "DefaultsHelper.h"
#include "SharingServices.h"
#include "UserDefaults.h"

#include <QIcon>
#include <QMenu>

namespace ShareMenu {

void addServices(QMenu* menu, const QUrl& file) {
    for (const SharingServicePtr& service : SharingServices::servicesForItems({file})) {
        const QString iconName = service->iconName();
        const QIcon icon =
            iconName.startsWith(QLatin1Char('/')) ? QIcon(iconName) : QIcon::fromTheme(iconName);
        QAction* action = menu->addAction(icon, service->title());
        QObject::connect(action, &QAction::triggered, menu, [service] {
            const QUrl current = UserDefaults::standard().urlForKey(SettingsKeys::temporaryFileUrl);
            if (!current.isEmpty()) {
                SharingServices::share(service, current);
            }
        });
    }
}

} // namespace ShareMenu

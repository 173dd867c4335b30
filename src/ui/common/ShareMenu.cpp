#include "ShareMenu.h"

#include "SharingServices.h"

#include <QIcon>
#include <QMenu>

namespace ShareMenu {

void addServices(QMenu* menu, const std::function<QUrl()>& currentFile) {
    const QUrl file = currentFile();
    if (file.isEmpty()) {
        return;
    }
    for (const SharingServicePtr& service : SharingServices::servicesForItems({file})) {
        const QString iconName = service->iconName();
        const QIcon icon =
            iconName.startsWith(QLatin1Char('/')) ? QIcon(iconName) : QIcon::fromTheme(iconName);
        QAction* action = menu->addAction(icon, service->title());
        QObject::connect(action, &QAction::triggered, menu, [service, currentFile] {
            const QUrl current = currentFile();
            if (!current.isEmpty()) {
                SharingServices::share(service, current);
            }
        });
    }
}

} // namespace ShareMenu

#include "ui/common/ShareMenu.h"

#include "imaging/CoverSession.h"
#include "platform/SharingServices.h"

#include <QIcon>
#include <QMenu>
#include <QPointer>

namespace ShareMenu {

void addServices(QMenu* menu, CoverSession* cover, const SharingServices& services,
                 const SharingService::Failed& failed) {
    const QPointer<CoverSession> session(cover);
    if (!session || session->temporaryFile().isEmpty()) {
        return;
    }
    const QUrl file = session->temporaryFile();
    QString taken; // the menu is filled afresh each time
    for (const SharingServicePtr& service : services.servicesForItems({file})) {
        const QString iconName = service->iconName();
        const QIcon icon =
            iconName.startsWith(QLatin1Char('/')) ? QIcon(iconName) : QIcon::fromTheme(iconName);
        QAction* action = menu->addAction(icon, withAccessKey(service->title(), taken));
        QObject::connect(action, &QAction::triggered, menu, [&services, service, session, failed] {
            const QUrl saved = session ? session->savedFile() : QUrl();
            const QUrl current = service->showsLocation() && !saved.isEmpty() ? saved
                                 : session ? session->temporaryFile()
                                           : QUrl();
            if (!current.isEmpty()) {
                services.share(service, current, failed);
            }
        });
    }
}

QString withAccessKey(const QString& title, QString& taken) {
    QString marked = title;
    marked.replace(QLatin1Char('&'), QLatin1String("&&"));
    for (qsizetype i = 0; i < marked.size(); ++i) {
        const QChar c = marked[i];
        if (c.isLetterOrNumber() && !taken.contains(c.toLower())) {
            taken += c.toLower();
            return marked.insert(i, QLatin1Char('&'));
        }
    }
    return marked; // every letter taken: the item is reached by the arrows
}

} // namespace ShareMenu

#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// The session bus services the desktop offers. Each call blocks for up to a few
// seconds, so callers run them on a worker thread.
namespace DesktopPortal {

bool sessionBusHasName(const char* name);

// Opens a prepared message through the portal's Email interface; false when
// the portal is not there or refused.
bool composeEmail(const QStringList& addresses, const QString& subject, const QString& body,
                  const std::optional<QString>& attachmentPath = std::nullopt);

// Asks the file manager to show `items` selected in their folder.
bool showItems(const QList<QUrl>& items);

} // namespace DesktopPortal

#pragma once

#include <QUrl>

class QMenu;

namespace ShareMenu {

// Adds one item per sharing service that can take `file`. Choosing an item
// shares the temporary cover file current at that moment (nothing when there
// is none any more).
void addServices(QMenu* menu, const QUrl& file);

} // namespace ShareMenu

#pragma once

#include <QUrl>

#include <functional>

class QMenu;

namespace ShareMenu {

// Adds one item per sharing service that can take the file `currentFile`
// gives now. Choosing an item shares the file it gives at that moment (nothing
// when there is none any more).
void addServices(QMenu* menu, const std::function<QUrl()>& currentFile);

} // namespace ShareMenu

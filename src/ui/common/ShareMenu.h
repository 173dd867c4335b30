#pragma once

class CoverSession;
class QMenu;

namespace ShareMenu {

// Adds one item per sharing service that can take the session's cover file.
// Choosing an item shares the file at that moment (nothing when there is none
// any more); Show in Folder shows where the cover was saved, when it was.
void addServices(QMenu* menu, CoverSession* session);

} // namespace ShareMenu

#pragma once

#include "platform/SharingServices.h"

class CoverSession;
class QMenu;

namespace ShareMenu {

// Adds one item per sharing service that can take the session's cover file.
// Choosing an item shares the file at that moment (nothing when there is none
// any more); Show in Folder shows where the cover was saved, when it was.
// `failed` hears why a service could not do its work.
void addServices(QMenu* menu, CoverSession* session, const SharingServices& services,
                 const SharingService::Failed& failed);

// `title` with an access key on its first letter that is not among `taken`
// (lower case; the key chosen is added), its own ampersands kept as text.
QString withAccessKey(const QString& title, QString& taken);

} // namespace ShareMenu

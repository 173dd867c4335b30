#pragma once

#include <QString>

// The program's words in the user's language. English plural forms are always
// loaded ("1 file", "3 files"); the user's languages, ours and Qt's own for
// the standard dialogs, come on top when wanted. Machine-readable output asks
// for none, so that it reads the same in every language.
namespace Translations {

enum class Languages { EnglishOnly, User };

// Installs the translators into the running application; once per process.
void install(Languages languages);

// The language the program's words are shown in ("de_DE"; "en_US" while no
// translation of ours is loaded), for names that come from elsewhere, such as
// the countries' names.
QString language();

} // namespace Translations

#pragma once

#include "sources/CoverSource.h"

#include <QString>

// What a search that did not complete tells the user, in the window's alerts
// and on the command line alike.
namespace SearchMessages {

// The text for a search that ended this way; empty for a completed one.
QString failureText(SearchResultKind kind);

} // namespace SearchMessages

#pragma once

#include "sources/CoverSource.h"

#include <QString>

// What a search that did not complete tells the user, in the window's alerts
// and on the command line alike.
namespace SearchMessages {

inline const QString searchUrl =
    QStringLiteral("Something went wrong while constructing the search URL. Sleevanta is unable "
                   "to obtain search results.");
inline const QString unreadableAnswer =
    QStringLiteral("Certain special characters are not supported by the iTunes Search API. "
                   "Please try removing or replacing them.");
inline const QString notASearchResult =
    QStringLiteral("The iTunes Search API answered with something that is not a search result "
                   "(a web page, perhaps from a network that wants a login first). Please try "
                   "again later.");
inline const QString offline =
    QStringLiteral("Sleevanta could not reach the iTunes Search API. Please check your internet "
                   "connection and try again.");
inline const QString throttled =
    QStringLiteral("The iTunes Search API is receiving too many searches from this computer. "
                   "Please wait a minute and try again.");
inline const QString unavailable =
    QStringLiteral("The iTunes Store is not answering right now. Please try again in a few "
                   "minutes.");
inline const QString noResults =
    QStringLiteral("We have tried really hard, but couldn't find anything. Try searching the "
                   "iTunes Store in a different country, or change one of the search terms to "
                   "retrieve new results.");

// The text for a search that ended this way; empty for a completed one.
QString failureText(SearchResultKind kind);
// Whether it ended for the service's or the connection's fault (a warning),
// not for something the user can change.
bool isConnectionProblem(SearchResultKind kind);

} // namespace SearchMessages

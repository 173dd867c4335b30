#pragma once

#include <QString>

// The names by which the panes, the window, the menus and the search talk.
namespace NotificationNames {

inline const QString downloadCover = QStringLiteral("downloadCover");
inline const QString removeCover = QStringLiteral("removeCover");
inline const QString coverActionHelper = QStringLiteral("coverActionHelper");
inline const QString disableMenuItems = QStringLiteral("disableMenuItems");
inline const QString enableMenuItems = QStringLiteral("enableMenuItems");
inline const QString focusOnSearchField = QStringLiteral("focusOnSearchField");
inline const QString restoreWindowToDefaultSize = QStringLiteral("restoreWindowToDefaultSize");
inline const QString constructSearchUrlWarning = QStringLiteral("constructSearchUrlWarning");
inline const QString specialCharactersWarning = QStringLiteral("specialCharactersWarning");
// The catalogue could not be reached, refused for its rate limit, or failed.
// User info: "reason" = "offline", "throttled", "unavailable" or
// "notASearchResult".
inline const QString searchConnectionWarning = QStringLiteral("searchConnectionWarning");

// Search for a term in the search pane (the Fill window's "Search by Hand").
// User info: "term".
inline const QString searchForTerm = QStringLiteral("searchForTerm");
inline const QString termKey = QStringLiteral("term");

inline const QString selectedCoverActionKey = QStringLiteral("selectedCoverAction");
// enableMenuItems: the title of the cover's listing item, empty when it has none.
inline const QString listingTitleKey = QStringLiteral("listingTitle");
inline const QString reasonKey = QStringLiteral("reason");
inline const QString reasonOffline = QStringLiteral("offline");
inline const QString reasonThrottled = QStringLiteral("throttled");
inline const QString reasonUnavailable = QStringLiteral("unavailable");
inline const QString reasonNotASearchResult = QStringLiteral("notASearchResult");

} // namespace NotificationNames

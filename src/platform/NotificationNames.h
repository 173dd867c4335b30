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

// Search for a term in the search pane (the Fill window's "Search by Hand", an
// album dropped on the window). User info: "term"; for an album of the
// library also "album" (its AlbumFolder) and "coverName": the cover pane then
// offers to save the cover into the album's folder.
inline const QString searchForTerm = QStringLiteral("searchForTerm");
inline const QString termKey = QStringLiteral("term");
inline const QString albumKey = QStringLiteral("album");
inline const QString coverNameKey = QStringLiteral("coverName");
// The library album the search pane searches for, for the cover pane to save
// into. User info: "album" (its AlbumFolder) and "coverName"; empty: none.
inline const QString albumTargetChanged = QStringLiteral("albumTargetChanged");
// A cover was saved into an album folder by hand. User info: "folder" (its
// path as bytes), "file".
inline const QString albumCoverSaved = QStringLiteral("albumCoverSaved");
inline const QString folderKey = QStringLiteral("folder");
inline const QString fileKey = QStringLiteral("file");

inline const QString selectedCoverActionKey = QStringLiteral("selectedCoverAction");
// enableMenuItems: the title of the cover's listing item, empty when it has none.
inline const QString listingTitleKey = QStringLiteral("listingTitle");
inline const QString reasonKey = QStringLiteral("reason");
// Try Again on a failed cover: failed thumbnails are asked again too.
inline const QString retryFailedImages = QStringLiteral("retryFailedImages");
// A sharing service could not do its work; reasonKey says why, in words.
inline const QString shareFailed = QStringLiteral("shareFailed");
inline const QString reasonOffline = QStringLiteral("offline");
inline const QString reasonThrottled = QStringLiteral("throttled");
inline const QString reasonUnavailable = QStringLiteral("unavailable");
inline const QString reasonNotASearchResult = QStringLiteral("notASearchResult");

} // namespace NotificationNames

#pragma once

#include "AlbumObject.h"

#include <QUrl>
#include <QVariantMap>

#include <optional>

Q_DECLARE_METATYPE(AttributedText)

// The numbers of the seven cover actions: the tags of the cover menu items.
enum class CoverAction : qint64 {
    SaveCoverAs = 0,
    SaveCoverToDownloads = 1,
    ViewCoverInBrowser = 2,
    ViewCoverListingInItunes = 3,
    CopyCoverImageToClipboard = 4,
    CopyCoverUrlToClipboard = 5,
    CopyCoverTitleToClipboard = 6,
};

// The user info of downloadCover, and how its receivers read it.
namespace CoverSelection {

namespace Keys {
inline const QString artistName = QStringLiteral("artistName");
inline const QString collectionId = QStringLiteral("collectionId");
inline const QString collectionName = QStringLiteral("collectionName");
inline const QString entityString = QStringLiteral("entityString");
inline const QString highResolutionUrl = QStringLiteral("highResolutionUrl");
inline const QString iTunesUrl = QStringLiteral("iTunesUrl");
inline const QString standardResolutionUrl = QStringLiteral("standardResolutionUrl");
inline const QString webBrowserUrl = QStringLiteral("webBrowserUrl");
} // namespace Keys

// The eight entries for `record`. A link whose text is no absolute URL (the
// record's placeholder sentences) is left out, so receivers see it as absent.
QVariantMap downloadCoverUserInfo(const AlbumObject& record);

// A link text as a URL, or none when it is no absolute URL with a host.
std::optional<QUrl> linkUrl(const QString& text);

// Readers that treat a missing or mistyped entry as absent.
std::optional<QString> plainText(const QVariantMap& info, const QString& key);
std::optional<QUrl> url(const QVariantMap& info, const QString& key);
std::optional<qint64> integer(const QVariantMap& info, const QString& key);

} // namespace CoverSelection

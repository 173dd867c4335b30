#include "CoverSelection.h"

namespace CoverSelection {

std::optional<QUrl> linkUrl(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.isRelative() || url.host().isEmpty()) {
        return std::nullopt;
    }
    return url;
}

QVariantMap downloadCoverUserInfo(const AlbumObject& record) {
    QVariantMap info;
    info.insert(Keys::artistName, QVariant::fromValue(record.artistName()));
    info.insert(Keys::collectionId, QVariant::fromValue<qint64>(record.collectionId()));
    info.insert(Keys::collectionName, QVariant::fromValue(record.collectionName()));
    info.insert(Keys::entityString, record.entityString());
    const std::pair<const QString&, const QString&> links[] = {
        {Keys::highResolutionUrl, record.highResolutionUrl()},
        {Keys::iTunesUrl, record.iTunesUrl()},
        {Keys::standardResolutionUrl, record.standardResolutionUrl()},
        {Keys::webBrowserUrl, record.webBrowserUrl()},
    };
    for (const auto& [key, text] : links) {
        if (const auto url = linkUrl(text)) {
            info.insert(key, *url);
        }
    }
    return info;
}

std::optional<QString> plainText(const QVariantMap& info, const QString& key) {
    const QVariant value = info.value(key);
    if (value.metaType() == QMetaType::fromType<AttributedText>()) {
        return value.value<AttributedText>().text;
    }
    if (value.metaType() == QMetaType::fromType<QString>()) {
        return value.toString();
    }
    return std::nullopt;
}

std::optional<QUrl> url(const QVariantMap& info, const QString& key) {
    const QVariant value = info.value(key);
    if (value.metaType() != QMetaType::fromType<QUrl>()) {
        return std::nullopt;
    }
    const QUrl url = value.toUrl();
    if (!url.isValid() || url.isEmpty()) {
        return std::nullopt;
    }
    return url;
}

std::optional<qint64> integer(const QVariantMap& info, const QString& key) {
    const QVariant value = info.value(key);
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::Short:
        return value.toLongLong();
    default:
        return std::nullopt;
    }
}

} // namespace CoverSelection

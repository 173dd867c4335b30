#include "SearchRequest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <string_view>

namespace SearchRequest {

namespace {

QByteArray percentEncode(const QString& text, std::string_view allowedPunctuation) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() * 3);
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        const bool alnum = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= '0' && byte <= '9');
        if (alnum || (byte < 0x80 && allowedPunctuation.find(c) != std::string_view::npos)) {
            out.append(c);
        } else {
            out.append('%');
            out.append(kHex[byte >> 4]);
            out.append(kHex[byte & 0x0F]);
        }
    }
    return out;
}

} // namespace

QByteArray percentEncodeQueryAllowed(const QString& text) {
    return percentEncode(text, "!$&'()*+,-./:;=?@_~");
}

QByteArray percentEncodeQueryValue(const QString& text) {
    return percentEncode(text, "-._~");
}

QByteArray buildSearchUrl(const QString& searchOrigin, const QString& term,
                          const QString& lowerCountry, const QString& mediaValue) {
    return percentEncodeQueryAllowed(searchOrigin + QStringLiteral("/search?term=")) +
           percentEncodeQueryValue(term) +
           percentEncodeQueryAllowed(QStringLiteral("&country=") + lowerCountry +
                                     QStringLiteral("&media=") + mediaValue);
}

std::optional<QUrl> validatedUrl(const QByteArray& encoded) {
    if (encoded.isEmpty()) {
        return std::nullopt;
    }
    const QUrl url = QUrl::fromEncoded(encoded, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http"))) {
        return std::nullopt;
    }
    // Sent exactly as built: refuse rather than let QUrl rewrite the text.
    if (url.toEncoded() != encoded) {
        return std::nullopt;
    }
    return url;
}

ParsedAnswer parseAnswer(const QByteArray& body, const QString& mediaValue,
                         const QString& lowerCountry, const ServiceOrigins& origins) {
    ParsedAnswer answer;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        return answer;
    }
    answer.isJsonObject = true;
    const QJsonValue results = doc.object().value(QStringLiteral("results"));
    if (!results.isArray()) {
        return answer;
    }
    const bool music = mediaValue == QLatin1String("music");
    QSet<qint64> seen;
    const QJsonArray array = results.toArray();
    answer.records.reserve(array.size());
    for (const QJsonValue& element : array) {
        if (!element.isObject()) {
            continue;
        }
        const QJsonObject object = element.toObject();
        const qint64 identity = AlbumObject::identityOf(object);
        if (seen.contains(identity)) {
            continue;
        }
        if (music) {
            const QJsonValue kind = object.value(QStringLiteral("kind"));
            if (!kind.isString() || kind.toString() == QLatin1String("music-video")) {
                continue;
            }
        }
        seen.insert(identity);
        answer.records.append(AlbumObject::fromResult(object, mediaValue, lowerCountry, origins));
    }
    return answer;
}

} // namespace SearchRequest

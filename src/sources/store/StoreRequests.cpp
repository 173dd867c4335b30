#include "sources/store/StoreRequests.h"
#include "sources/store/StoreItems.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <string_view>

namespace StoreRequests {

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
                          const QString& lowerCountry, const QString& mediaValue,
                          const QString& entity) {
    return percentEncodeQueryAllowed(searchOrigin + QStringLiteral("/search?term=")) +
           percentEncodeQueryValue(term) +
           percentEncodeQueryAllowed(QStringLiteral("&country=") + lowerCountry +
                                     QStringLiteral("&media=") + mediaValue) +
           (entity.isEmpty() ? QByteArray() : "&entity=" + percentEncodeQueryValue(entity));
}

namespace {

// The store's link, or none for another site.
std::optional<QUrl> storeLink(const QString& term) {
    static const QStringList hosts{
        QStringLiteral("music.apple.com"),    QStringLiteral("itunes.apple.com"),
        QStringLiteral("apps.apple.com"),     QStringLiteral("books.apple.com"),
        QStringLiteral("podcasts.apple.com"), QStringLiteral("tv.apple.com")};
    const QUrl url(term.trimmed(), QUrl::StrictMode);
    if (!url.isValid() ||
        (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")) ||
        !hosts.contains(url.host().toLower())) {
        return std::nullopt;
    }
    return url;
}

} // namespace

std::optional<LookupTarget> lookupTarget(const QString& term) {
    static const QRegularExpression digits(QStringLiteral("^\\d{1,18}$"));
    static const QRegularExpression idSegment(QStringLiteral("^(?:id)?(\\d{1,18})$"));
    static const QRegularExpression countrySegment(QStringLiteral("^[A-Za-z]{2}$"));
    if (digits.match(term.trimmed()).hasMatch()) {
        return LookupTarget{term.trimmed().toLongLong(), {}};
    }
    const auto link = storeLink(term);
    if (!link) {
        return std::nullopt;
    }
    const QStringList segments = link->path().split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (auto it = segments.crbegin(); it != segments.crend(); ++it) {
        if (const auto id = idSegment.match(*it); id.hasMatch()) {
            const QString first = segments.value(0);
            return LookupTarget{id.captured(1).toLongLong(), countrySegment.match(first).hasMatch()
                                                                 ? first.toLower()
                                                                 : QString()};
        }
    }
    return std::nullopt;
}

std::optional<QString> storeLinkTitle(const QString& term) {
    const auto link = storeLink(term);
    if (!link || lookupTarget(term)) {
        return std::nullopt;
    }
    // "/us/show/ted-lasso/umc.cmc.…": the title is the segment before the id.
    const QStringList segments = link->path().split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (segments.size() < 2) {
        return std::nullopt;
    }
    return QString(segments.at(segments.size() - 2)).replace(QLatin1Char('-'), QLatin1Char(' '));
}

QByteArray buildLookupUrl(const QString& searchOrigin, qint64 id, const QString& lowerCountry) {
    return percentEncodeQueryAllowed(searchOrigin + QStringLiteral("/lookup?id=") +
                                     QString::number(id) + QStringLiteral("&country=") +
                                     lowerCountry);
}

QByteArray buildAlbumSearchUrl(const QString& searchOrigin, const QString& term,
                               const QString& lowerCountry, bool artistOnly, int limit) {
    return buildSearchUrl(searchOrigin, term, lowerCountry, QStringLiteral("music"),
                          QStringLiteral("album")) +
           (artistOnly ? QByteArray("&attribute=artistTerm") : QByteArray()) +
           "&limit=" + QByteArray::number(limit);
}

QByteArray buildLookupListUrl(const QString& searchOrigin, const QString& key,
                              const QStringList& values, const QString& lowerCountry,
                              const QString& entity, int limit) {
    QByteArray url = percentEncodeQueryAllowed(searchOrigin + QStringLiteral("/lookup?") + key +
                                               QLatin1Char('='));
    for (qsizetype i = 0; i < values.size(); ++i) {
        url += (i ? "," : "") + percentEncodeQueryValue(values[i]);
    }
    url += "&country=" + percentEncodeQueryValue(lowerCountry);
    if (!entity.isEmpty()) {
        url += "&entity=" + percentEncodeQueryValue(entity);
    }
    if (limit > 0) {
        url += "&limit=" + QByteArray::number(limit);
    }
    return url;
}

QString entityOf(const QJsonObject& result, const QString& fallback) {
    const QString wrapper = result.value(QStringLiteral("wrapperType")).toString();
    const QString kind = result.value(QStringLiteral("kind")).toString();
    const QString collectionType = result.value(QStringLiteral("collectionType")).toString();
    static const QHash<QString, QString> kinds{
        {QStringLiteral("song"), QStringLiteral("music")},
        {QStringLiteral("feature-movie"), QStringLiteral("movie")},
        {QStringLiteral("music-video"), QStringLiteral("musicVideo")},
        {QStringLiteral("tv-episode"), QStringLiteral("tvSeason")},
        {QStringLiteral("podcast"), QStringLiteral("podcast")},
        {QStringLiteral("ebook"), QStringLiteral("ebook")},
        {QStringLiteral("software"), QStringLiteral("software")},
        {QStringLiteral("mac-software"), QStringLiteral("software")}};
    if (kinds.contains(kind)) {
        return kinds.value(kind);
    }
    if (collectionType == QLatin1String("Album")) {
        return QStringLiteral("music");
    }
    if (collectionType == QLatin1String("TV Season")) {
        return QStringLiteral("tvSeason");
    }
    if (wrapper == QLatin1String("audiobook") || wrapper == QLatin1String("software")) {
        return wrapper;
    }
    return fallback;
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
                         const QString& lowerCountry, const ServiceOrigins& origins,
                         AnswerKind kind) {
    const bool lookup = kind != AnswerKind::Search;
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
    const bool music = !lookup && mediaValue == QLatin1String("music");
    QSet<qint64> seen;
    const QJsonArray array = results.toArray();
    answer.records.reserve(array.size());
    for (const QJsonValue& element : array) {
        if (!element.isObject()) {
            continue;
        }
        const QJsonObject object = element.toObject();
        if (kind == AnswerKind::Albums &&
            object.value(QStringLiteral("wrapperType")) != QStringLiteral("collection")) {
            continue;
        }
        const qint64 identity = StoreItems::identityOf(object);
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
        answer.records.append(StoreItems::fromResult(
            object, lookup ? entityOf(object, mediaValue) : mediaValue, lowerCountry, origins));
    }
    return answer;
}

} // namespace StoreRequests

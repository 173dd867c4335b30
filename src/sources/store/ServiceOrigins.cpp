#include "sources/store/ServiceOrigins.h"

#include <optional>

namespace {} // namespace

ServiceOrigins ServiceOrigins::production() {
    return ServiceOrigins{
        QStringLiteral("https://itunes.apple.com"),
        QStringLiteral("https://a1.mzstatic.com"),
        QStringLiteral("https://music.apple.com"),
        QStringLiteral("https://www.paypal.com"),
        QRegularExpression(QStringLiteral(R"(https://is[0-9]+-ssl\.mzstatic\.com/image/thumb/)")),
        QString(),
    };
}

ServiceOrigins ServiceOrigins::singleOrigin(const QString& origin) {
    QString base = origin;
    while (base.endsWith(QLatin1Char('/'))) {
        base.chop(1);
    }
    return ServiceOrigins{
        base,
        base,
        base,
        base,
        QRegularExpression(QRegularExpression::escape(base + QStringLiteral("/image/thumb/"))),
        base,
    };
}

namespace {

bool sameOrigin(const QUrl& url, const QString& origin) {
    const QUrl base(origin);
    return url.scheme() == base.scheme() &&
           url.host().compare(base.host(), Qt::CaseInsensitive) == 0 &&
           url.port(url.scheme() == QLatin1String("https") ? 443 : 80) ==
               base.port(base.scheme() == QLatin1String("https") ? 443 : 80);
}

} // namespace

bool ServiceOrigins::isArtworkUrl(const QUrl& url) const {
    if (!overrideOrigin.isEmpty()) {
        return sameOrigin(url, overrideOrigin);
    }
    static const QRegularExpression thumbnailHost(
        QStringLiteral(R"(^is[0-9]{1,2}-ssl\.mzstatic\.com$)"));
    const QString host = url.host().toLower();
    return url.scheme() == QLatin1String("https") && url.port(443) == 443 &&
           (thumbnailHost.match(host).hasMatch() || host == QUrl(fullSizeArt).host());
}

bool ServiceOrigins::allowsRedirect(const QUrl& from, const QUrl& to) const {
    if (!overrideOrigin.isEmpty()) {
        return sameOrigin(to, overrideOrigin);
    }
    if (to.scheme() != QLatin1String("https")) {
        return false;
    }
    return isArtworkUrl(from) ? isArtworkUrl(to)
                              : to.host().compare(from.host(), Qt::CaseInsensitive) == 0;
}

ServiceOrigins ServiceOrigins::fromEnvironment() {
    const QString override = qEnvironmentVariable("SLEEVANTA_SERVICE_ORIGIN").trimmed();
    return override.isEmpty() ? production() : singleOrigin(override);
}

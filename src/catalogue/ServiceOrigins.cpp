#include "ServiceOrigins.h"

#include <QMutex>
#include <QMutexLocker>

#include <optional>

namespace {

QMutex g_mutex;
std::optional<ServiceOrigins> g_current;

} // namespace

ServiceOrigins ServiceOrigins::production() {
    return ServiceOrigins{
        QStringLiteral("https://itunes.apple.com"),
        QStringLiteral("https://a1.mzstatic.com"),
        QStringLiteral("https://music.apple.com"),
        QStringLiteral("https://www.paypal.com"),
        QRegularExpression(QStringLiteral(R"(https://is[0-9]+-ssl\.mzstatic\.com/image/thumb/)")),
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
    };
}

ServiceOrigins ServiceOrigins::current() {
    QMutexLocker lock(&g_mutex);
    if (!g_current) {
        const QString override = qEnvironmentVariable("SLEEVANTA_SERVICE_ORIGIN").trimmed();
        g_current = override.isEmpty() ? production() : singleOrigin(override);
    }
    return *g_current;
}

void ServiceOrigins::setCurrent(const ServiceOrigins& origins) {
    QMutexLocker lock(&g_mutex);
    g_current = origins;
}

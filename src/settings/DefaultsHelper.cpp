#include "DefaultsHelper.h"

#include "UserDefaults.h"

#include <cmath>

QString DefaultsHelper::storedText(const QString& key, const QString& fallback) {
    UserDefaults& defaults = UserDefaults::standard();
    const QVariant value = defaults.value(key);
    if (value.metaType().id() == QMetaType::QString) {
        return value.toString();
    }
    defaults.setString(key, fallback);
    return fallback;
}

QString DefaultsHelper::storedMedia() {
    return storedText(SettingsKeys::media, QStringLiteral("Music"));
}

QString DefaultsHelper::storedCountry() {
    return storedText(SettingsKeys::country, QStringLiteral("US"));
}

QString DefaultsHelper::storedNameFormat() {
    return storedText(SettingsKeys::defaultNameFormat, QStringLiteral("folder.jpg"));
}

qint64 DefaultsHelper::storedInteger(const QString& key) {
    UserDefaults& defaults = UserDefaults::standard();
    const QVariant value = defaults.value(key);
    const int type = value.metaType().id();
    if (type == QMetaType::LongLong) {
        return value.toLongLong();
    }
    if (type == QMetaType::Double) {
        // A stored number counts when its value is a whole number in range.
        const double d = value.toDouble();
        if (std::isfinite(d) && std::trunc(d) == d && d >= -9223372036854775808.0 &&
            d < 9223372036854775808.0) {
            return static_cast<qint64>(d);
        }
    }
    defaults.setInteger(key, 0);
    return 0;
}

const QStringList& DefaultsHelper::obsoleteKeys() {
    static const QStringList keys{
        QStringLiteral("DONATIONWINDOWFRAME"),
        QStringLiteral("LAUNCH_COUNT"),
        QStringLiteral("LAUNCHCOUNT"),
        QStringLiteral("LOOKEDATDONATION"),
        QStringLiteral("PREFERENCESWINDOWFRAME"),
        QStringLiteral("SEGMENT"),
    };
    return keys;
}

void DefaultsHelper::removeObsoleteKeys() {
    UserDefaults& defaults = UserDefaults::standard();
    for (const QString& key : obsoleteKeys()) {
        if (defaults.contains(key)) {
            defaults.removeObject(key);
        }
    }
}

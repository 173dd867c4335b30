#include "settings/StoredSettings.h"

#include "platform/SettingsStore.h"

#include <cmath>

QString StoredSettings::ensureText(const QString& key, const QString& fallback) {
    SettingsStore& defaults = SettingsStore::standard();
    const QVariant value = defaults.value(key);
    if (value.metaType().id() == QMetaType::QString) {
        return value.toString();
    }
    defaults.setString(key, fallback);
    return fallback;
}

QString StoredSettings::ensureMedia() {
    return ensureText(SettingsKeys::media, QStringLiteral("Music"));
}

QString StoredSettings::ensureCountry() {
    return ensureText(SettingsKeys::country, QStringLiteral("US"));
}

QString StoredSettings::ensureNameFormat() {
    return ensureText(SettingsKeys::defaultNameFormat, QStringLiteral("folder.jpg"));
}

QString SettingsKeys::nameFormatFor(const QString& mediaTitle) {
    QString key = defaultNameFormat;
    if (mediaTitle != QLatin1String("Music")) {
        for (const QChar c : mediaTitle) {
            if (c.isLetterOrNumber()) {
                key.append(c.toUpper());
            }
        }
    }
    return key;
}

std::optional<QString> StoredSettings::ownNameFormat(const QString& mediaTitle) {
    const QString key = SettingsKeys::nameFormatFor(mediaTitle);
    if (key == SettingsKeys::defaultNameFormat) {
        return std::nullopt;
    }
    const QVariant value = SettingsStore::standard().value(key);
    if (value.metaType().id() != QMetaType::QString) {
        return std::nullopt;
    }
    return value.toString();
}

QString StoredSettings::nameFormatFor(const QString& mediaTitle) {
    return ownNameFormat(mediaTitle).value_or(ensureNameFormat());
}

qint64 StoredSettings::ensureInteger(const QString& key) {
    SettingsStore& defaults = SettingsStore::standard();
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

const QStringList& StoredSettings::obsoleteKeys() {
    static const QStringList keys{
        QStringLiteral("DONATIONWINDOWFRAME"),
        QStringLiteral("LAUNCH_COUNT"),
        QStringLiteral("LAUNCHCOUNT"),
        QStringLiteral("LOOKEDATDONATION"),
        QStringLiteral("PREFERENCESWINDOWFRAME"),
        QStringLiteral("SEGMENT"),
        // The temporary cover file is no setting: an older version kept it here.
        QStringLiteral("TEMPORARYFILEURL"),
    };
    return keys;
}

void StoredSettings::removeObsoleteKeys() {
    SettingsStore& defaults = SettingsStore::standard();
    for (const QString& key : obsoleteKeys()) {
        if (defaults.contains(key)) {
            defaults.removeObject(key);
        }
    }
}

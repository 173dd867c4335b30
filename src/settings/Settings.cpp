#include "settings/Settings.h"

#include "platform/SettingsStore.h"

#include <cmath>

namespace {

QString keyOf(const char* key) {
    return QString::fromLatin1(key);
}

// A stored integer, or a fractional number that is a whole one in range.
std::optional<qint64> wholeNumber(const QVariant& value) {
    if (value.metaType().id() == QMetaType::LongLong) {
        return value.toLongLong();
    }
    if (value.metaType().id() == QMetaType::Double) {
        const double d = value.toDouble();
        if (std::isfinite(d) && std::trunc(d) == d && d >= -9223372036854775808.0 &&
            d < 9223372036854775808.0) {
            return static_cast<qint64>(d);
        }
    }
    return std::nullopt;
}

} // namespace

Settings::Settings(SettingsStore& store, QObject* parent) : QObject(parent), m_store(store) {}

QVariant Settings::stored(const char* key) const {
    return m_store.value(keyOf(key));
}

void Settings::store(const char* key, const QVariant& value, SettingId id) {
    m_store.setValue(keyOf(key), value);
    Q_EMIT changed(id);
}

QString Settings::value(const Setting<QString>& setting) const {
    const QVariant value = stored(setting.key);
    if (value.metaType().id() == QMetaType::QString) {
        return value.toString();
    }
    m_store.setString(keyOf(setting.key), setting.fallback);
    return setting.fallback;
}

bool Settings::value(const Setting<bool>& setting) const {
    if (const auto number = wholeNumber(stored(setting.key))) {
        return *number == 1;
    }
    m_store.setInteger(keyOf(setting.key), setting.fallback ? 1 : 0);
    return setting.fallback;
}

int Settings::value(const Setting<int>& setting) const {
    const auto number = wholeNumber(stored(setting.key));
    if (number && *number >= INT_MIN && *number <= INT_MAX) {
        return int(*number);
    }
    m_store.setInteger(keyOf(setting.key), setting.fallback);
    return setting.fallback;
}

QByteArray Settings::value(const Setting<QByteArray>& setting) const {
    const QVariant value = stored(setting.key);
    return value.metaType().id() == QMetaType::QByteArray ? value.toByteArray() : setting.fallback;
}

QUrl Settings::value(const Setting<QUrl>& setting) const {
    const QUrl url = m_store.urlForKey(keyOf(setting.key));
    return url.isEmpty() ? setting.fallback : url;
}

void Settings::setValue(const Setting<QString>& setting, const QString& value) {
    store(setting.key, value, setting.id);
}

void Settings::setValue(const Setting<bool>& setting, bool value) {
    store(setting.key, QVariant::fromValue<qint64>(value ? 1 : 0), setting.id);
}

void Settings::setValue(const Setting<int>& setting, int value) {
    store(setting.key, QVariant::fromValue<qint64>(value), setting.id);
}

void Settings::setValue(const Setting<QByteArray>& setting, const QByteArray& value) {
    store(setting.key, value, setting.id);
}

void Settings::setValue(const Setting<QUrl>& setting, const QUrl& value) {
    m_store.setUrl(keyOf(setting.key), value);
    Q_EMIT changed(setting.id);
}

QString Settings::nameFormatKey(const QString& mediaTitle) {
    QString key = keyOf(nameFormat.key);
    if (mediaTitle != QLatin1String("Music")) {
        for (const QChar c : mediaTitle) {
            if (c.isLetterOrNumber()) {
                key.append(c.toUpper());
            }
        }
    }
    return key;
}

std::optional<QString> Settings::ownNameFormat(const QString& mediaTitle) const {
    const QString key = nameFormatKey(mediaTitle);
    if (key == keyOf(nameFormat.key)) {
        return std::nullopt;
    }
    const QVariant value = m_store.value(key);
    if (value.metaType().id() != QMetaType::QString) {
        return std::nullopt;
    }
    return value.toString();
}

void Settings::setOwnNameFormat(const QString& mediaTitle, const std::optional<QString>& format) {
    const QString key = nameFormatKey(mediaTitle);
    if (key == keyOf(nameFormat.key)) {
        return;
    }
    if (format) {
        m_store.setString(key, *format);
    } else {
        m_store.removeObject(key);
    }
    Q_EMIT changed(SettingId::KindNameFormat);
}

QString Settings::nameFormatFor(const QString& mediaTitle) const {
    return ownNameFormat(mediaTitle).value_or(value(nameFormat));
}

const QStringList& Settings::obsoleteKeys() {
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

void Settings::removeObsoleteKeys() {
    for (const QString& key : obsoleteKeys()) {
        if (m_store.contains(key)) {
            m_store.removeObject(key);
        }
    }
}

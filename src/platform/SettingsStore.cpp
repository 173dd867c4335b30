#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QMutexLocker>
#include <QSaveFile>
#include <QStandardPaths>

#include <cstdio>
#include <limits>

namespace {

constexpr int kFormatVersion = 1;

bool isIntegerType(int typeId) {
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

std::optional<QVariant> normalise(const QVariant& value) {
    const int type = value.metaType().id();
    if (type == QMetaType::QString) {
        return value;
    }
    if (isIntegerType(type)) {
        return QVariant::fromValue<qint64>(value.toLongLong());
    }
    if (type == QMetaType::ULongLong) {
        bool ok = false;
        const qulonglong v = value.toULongLong(&ok);
        if (v > qulonglong(std::numeric_limits<qint64>::max())) {
            return std::nullopt;
        }
        return QVariant::fromValue<qint64>(qint64(v));
    }
    if (type == QMetaType::Double || type == QMetaType::Float) {
        return QVariant::fromValue<double>(value.toDouble());
    }
    if (type == QMetaType::QUrl || type == QMetaType::QByteArray) {
        return value;
    }
    return std::nullopt;
}

QJsonObject encodeValue(const QVariant& value) {
    QJsonObject entry;
    switch (value.metaType().id()) {
    case QMetaType::QString:
        entry[QStringLiteral("kind")] = QStringLiteral("text");
        entry[QStringLiteral("value")] = value.toString();
        break;
    case QMetaType::LongLong:
        // As text: a JSON number is a double and would lose 64-bit values.
        entry[QStringLiteral("kind")] = QStringLiteral("integer");
        entry[QStringLiteral("value")] = QString::number(value.toLongLong());
        break;
    case QMetaType::Double:
        entry[QStringLiteral("kind")] = QStringLiteral("real");
        entry[QStringLiteral("value")] = QString::number(value.toDouble(), 'g', 17);
        break;
    case QMetaType::QUrl:
        entry[QStringLiteral("kind")] = QStringLiteral("url");
        entry[QStringLiteral("value")] = QString::fromUtf8(value.toUrl().toEncoded());
        break;
    case QMetaType::QByteArray:
        entry[QStringLiteral("kind")] = QStringLiteral("bytes");
        entry[QStringLiteral("value")] = QString::fromLatin1(value.toByteArray().toBase64());
        break;
    default:
        break;
    }
    return entry;
}

std::optional<QVariant> decodeValue(const QJsonValue& json) {
    if (!json.isObject()) {
        return std::nullopt;
    }
    const QJsonObject entry = json.toObject();
    const QString kind = entry.value(QStringLiteral("kind")).toString();
    const QJsonValue raw = entry.value(QStringLiteral("value"));
    if (!raw.isString()) {
        return std::nullopt;
    }
    const QString text = raw.toString();
    if (kind == QLatin1String("text")) {
        return QVariant(text);
    }
    if (kind == QLatin1String("integer")) {
        bool ok = false;
        const qint64 v = text.toLongLong(&ok);
        return ok ? std::optional<QVariant>(QVariant::fromValue(v)) : std::nullopt;
    }
    if (kind == QLatin1String("real")) {
        bool ok = false;
        const double v = text.toDouble(&ok);
        return ok ? std::optional<QVariant>(QVariant::fromValue(v)) : std::nullopt;
    }
    if (kind == QLatin1String("url")) {
        return QVariant(QUrl::fromEncoded(text.toUtf8()));
    }
    if (kind == QLatin1String("bytes")) {
        auto decoded = QByteArray::fromBase64Encoding(text.toLatin1(),
                                                      QByteArray::AbortOnBase64DecodingErrors);
        return decoded ? std::optional<QVariant>(QVariant(*decoded)) : std::nullopt;
    }
    return std::nullopt;
}

void warn(const QString& message) {
    std::fprintf(stderr, "sleevanta: %s\n", qPrintable(message));
}

} // namespace

SettingsStore::SettingsStore(QString filePath) : m_filePath(std::move(filePath)) {
    m_writer.setMaxThreadCount(1);
    m_writer.setExpiryTimeout(2000);
    QMutexLocker lock(&m_mutex);
    m_values = readFileLocked(true).value_or(Map{});
}

SettingsStore::~SettingsStore() {
    flush();
}

void SettingsStore::flush() {
    m_writer.waitForDone();
}

QString SettingsStore::standardFilePath() {
    const QString configHome =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return configHome + QStringLiteral("/Sleevanta/defaults.json");
}

QVariant SettingsStore::value(const QString& key) const {
    QMutexLocker lock(&m_mutex);
    const auto it = m_values.find(key);
    return it == m_values.end() ? QVariant() : it->second;
}

bool SettingsStore::contains(const QString& key) const {
    QMutexLocker lock(&m_mutex);
    return m_values.count(key) > 0;
}

QStringList SettingsStore::keys() const {
    QMutexLocker lock(&m_mutex);
    QStringList result;
    for (const auto& [key, value] : m_values) {
        result.append(key);
    }
    return result;
}

bool SettingsStore::setValue(const QString& key, const QVariant& value) {
    if (!value.isValid()) {
        applyChange(key, std::nullopt);
        return true;
    }
    const auto normalised = normalise(value);
    if (!normalised) {
        return false;
    }
    applyChange(key, normalised);
    return true;
}

void SettingsStore::setUrl(const QString& key, const QUrl& url) {
    if (url.isEmpty()) {
        removeObject(key);
    } else {
        setValue(key, QVariant(url));
    }
}

void SettingsStore::removeObject(const QString& key) {
    applyChange(key, std::nullopt);
}

QUrl SettingsStore::urlForKey(const QString& key) const {
    const QVariant v = value(key);
    return v.metaType().id() == QMetaType::QUrl ? v.toUrl() : QUrl();
}

void SettingsStore::reload() {
    flush();
    QMutexLocker lock(&m_mutex);
    m_values = readFileLocked(true).value_or(Map{});
}

std::optional<SettingsStore::Map> SettingsStore::parse(const QByteArray& bytes) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        return std::nullopt;
    }
    const QJsonObject root = doc.object();
    const QJsonValue values = root.value(QStringLiteral("values"));
    if (!values.isObject()) {
        return std::nullopt;
    }
    Map map;
    const QJsonObject object = values.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        // One unreadable entry costs that entry, not the whole store.
        if (auto decoded = decodeValue(it.value())) {
            map.emplace(it.key(), *decoded);
        }
    }
    return map;
}

QByteArray SettingsStore::serialise(const Map& map) {
    QJsonObject values;
    for (const auto& [key, value] : map) {
        values.insert(key, encodeValue(value));
    }
    QJsonObject root;
    root[QStringLiteral("format")] = kFormatVersion;
    root[QStringLiteral("values")] = values;
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<SettingsStore::Map> SettingsStore::readFileLocked(bool reportCorruption) {
    QFile file(m_filePath);
    if (!file.exists()) {
        return Map{};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        // There, but not ours to read: never to be overwritten with defaults.
        if (reportCorruption) {
            warn(QCoreApplication::translate(
                     "SettingsStore", "cannot read the settings file %1 (%2); using defaults")
                     .arg(m_filePath, file.errorString()));
        }
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    if (auto parsed = parse(bytes)) {
        return *parsed;
    }
    // Keep the damaged file for the user to inspect, and start afresh.
    const QString aside =
        m_filePath + QStringLiteral(".corrupt-") +
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    const bool moved = QFile::rename(m_filePath, aside);
    if (reportCorruption) {
        warn(moved ? QCoreApplication::translate(
                         "SettingsStore", "the settings file %1 was damaged; moved it to %2 and "
                                          "using defaults")
                         .arg(m_filePath, aside)
                   : QCoreApplication::translate("SettingsStore",
                                                 "the settings file %1 is damaged; using defaults")
                         .arg(m_filePath));
    }
    return moved ? std::optional<Map>(Map{}) : std::nullopt;
}

void SettingsStore::applyChange(const QString& key, const std::optional<QVariant>& value) {
    {
        QMutexLocker lock(&m_mutex);
        const auto current = m_values.find(key);
        const bool unchanged = value ? (current != m_values.end() && current->second == *value &&
                                        current->second.metaType() == value->metaType())
                                     : current == m_values.end();
        if (unchanged) {
            return;
        }
        if (value) {
            m_values[key] = *value;
        } else {
            m_values.erase(key);
        }
    }
    m_writer.start([this, key, value] { writeChange(key, value); });
}

void SettingsStore::writeChange(const QString& key, const std::optional<QVariant>& value) {
    const QFileInfo info(m_filePath);
    QDir().mkpath(info.absolutePath());
    QLockFile lockFile(m_filePath + QStringLiteral(".lock"));
    lockFile.setStaleLockTime(10000);
    QString problem = QCoreApplication::translate("SettingsStore", "it is locked");
    if (lockFile.tryLock(5000)) {
        // Merged into what is on disk now, so keys another instance wrote survive;
        // a file that cannot be read is left as it is.
        std::optional<Map> merged = readFileLocked(false);
        problem = QCoreApplication::translate("SettingsStore", "it cannot be read");
        if (merged) {
            if (value) {
                (*merged)[key] = *value;
            } else {
                merged->erase(key);
            }
            const QByteArray bytes = serialise(*merged);
            QSaveFile out(m_filePath);
            if (out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() &&
                out.commit()) {
                return;
            }
            problem = out.errorString();
        }
    }
    if (!m_warnedUnwritable.exchange(true)) {
        // The settings stay in memory for this run; say so once.
        warn(QCoreApplication::translate(
                 "SettingsStore",
                 "cannot write the settings file %1 (%2); changes last until Sleevanta "
                 "quits")
                 .arg(m_filePath, problem));
    }
}

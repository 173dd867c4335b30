#pragma once

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QThreadPool>
#include <QUrl>
#include <QVariant>

#include <atomic>
#include <map>
#include <optional>

// A typed, persistent key-value store. Every value keeps its kind (text,
// integer, fractional number, URL, bytes) across restarts, so readers can tell
// a mistyped value from a right one.
//
// The file is JSON, each value tagged with its kind, written atomically. A
// change takes effect in memory at once and is written behind, on a worker of
// its own, in the order made: each write re-reads the file under a lock file
// and applies only the changed key, so two running instances never drop each
// other's keys, and no caller waits for the disk.
class SettingsStore {
public:
    explicit SettingsStore(QString filePath);
    ~SettingsStore(); // writes what is still pending

    // The per-user store's file, under the XDG config home.
    static QString standardFilePath();

    QString filePath() const { return m_filePath; }

    // The stored value with its kind (QString, qint64, double, QUrl,
    // QByteArray), or an invalid QVariant when the key is absent.
    QVariant value(const QString& key) const;
    bool contains(const QString& key) const;
    QStringList keys() const;

    // Stores a QString, an integer type, a double, a QUrl or a QByteArray; an
    // invalid (null) QVariant removes the key. Other kinds are refused.
    bool setValue(const QString& key, const QVariant& value);
    void setString(const QString& key, const QString& value) { setValue(key, value); }
    void setInteger(const QString& key, qint64 value) { setValue(key, QVariant::fromValue(value)); }
    void setUrl(const QString& key, const QUrl& url);
    void setBytes(const QString& key, const QByteArray& bytes) { setValue(key, bytes); }
    void removeObject(const QString& key);

    // The URL under the key, or an empty URL when it is absent or not a URL.
    QUrl urlForKey(const QString& key) const;

    // Re-reads the file, picking up what other instances wrote.
    void reload();
    // Blocks until every change made so far is on disk (or has failed).
    void flush();

private:
    using Map = std::map<QString, QVariant>;

    static std::optional<Map> parse(const QByteArray& bytes);
    static QByteArray serialise(const Map& map);
    // The file's values; none when it exists but cannot be read (or a damaged
    // file could not be moved aside).
    std::optional<Map> readFileLocked(bool reportCorruption);
    void applyChange(const QString& key, const std::optional<QVariant>& value);

    void writeChange(const QString& key, const std::optional<QVariant>& value);

    QString m_filePath;
    std::atomic<bool> m_warnedUnwritable{false};
    mutable QMutex m_mutex;
    Map m_values;
    QThreadPool m_writer;
};

#pragma once

#include <QString>
#include <QStringList>

// Readers of the persisted settings. Each read that finds a key absent or of
// the wrong kind writes the default back, so the key afterwards holds a value
// of the right kind.
namespace SettingsKeys {
inline const QString media = QStringLiteral("MEDIA");
inline const QString country = QStringLiteral("COUNTRY");
inline const QString quality = QStringLiteral("QUALITY");
inline const QString defaultNameFormat = QStringLiteral("DEFAULTNAMEFORMAT");
inline const QString replaceSpaces = QStringLiteral("REPLACESPACES");
inline const QString replaceCharacters = QStringLiteral("REPLACECHARACTERS");
inline const QString lowercase = QStringLiteral("LOWERCASE");
inline const QString clearCacheOnExit = QStringLiteral("CLEARCACHEONEXIT");
inline const QString temporaryFileUrl = QStringLiteral("TEMPORARYFILEURL");
inline const QString mainWindowFrame = QStringLiteral("NSWindow Frame MAINWINDOWFRAME");
// The results list's width in the main window, as the user left it.
inline const QString resultsWidth = QStringLiteral("RESULTSWIDTH");
// The folder Save Cover As… saved into last.
inline const QString lastSaveFolder = QStringLiteral("LASTSAVEFOLDER");
} // namespace SettingsKeys

class DefaultsHelper {
public:
    static QString storedMedia();
    static QString storedCountry();
    static QString storedNameFormat();

    static qint64 storedInteger(const QString& key);
    static qint64 storedQuality() { return storedInteger(SettingsKeys::quality); }
    static qint64 storedReplaceSpaces() { return storedInteger(SettingsKeys::replaceSpaces); }
    static qint64 storedReplaceCharacters() {
        return storedInteger(SettingsKeys::replaceCharacters);
    }
    static qint64 storedLowercase() { return storedInteger(SettingsKeys::lowercase); }
    static qint64 storedClearCacheOnExit() { return storedInteger(SettingsKeys::clearCacheOnExit); }

    // Keys no operation writes any more, deleted when found, in this order.
    static const QStringList& obsoleteKeys();
    static void removeObsoleteKeys();

private:
    static QString storedText(const QString& key, const QString& fallback);
};

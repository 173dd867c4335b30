#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The keys of the persisted settings.
namespace SettingsKeys {
inline const QString media = QStringLiteral("MEDIA");
inline const QString country = QStringLiteral("COUNTRY");
inline const QString quality = QStringLiteral("QUALITY");
inline const QString defaultNameFormat = QStringLiteral("DEFAULTNAMEFORMAT");
// A media kind's own name format ("DEFAULTNAMEFORMATMOVIES"); Music's is the
// one above, and a kind without its own uses Music's.
QString nameFormatFor(const QString& mediaTitle);
inline const QString replaceSpaces = QStringLiteral("REPLACESPACES");
inline const QString replaceCharacters = QStringLiteral("REPLACECHARACTERS");
inline const QString lowercase = QStringLiteral("LOWERCASE");
inline const QString clearCacheOnExit = QStringLiteral("CLEARCACHEONEXIT");
inline const QString mainWindowFrame = QStringLiteral("NSWindow Frame MAINWINDOWFRAME");
// The results list's width in the main window, as the user left it.
inline const QString resultsWidth = QStringLiteral("RESULTSWIDTH");
// The folder Save Cover As… saved into last.
inline const QString lastSaveFolder = QStringLiteral("LASTSAVEFOLDER");
// The library Fill Covers in Folder worked on last.
inline const QString lastFillFolder = QStringLiteral("LASTFILLFOLDER");
// Whether Fill Covers in Folder also embeds covers into the audio files (1).
inline const QString fillEmbed = QStringLiteral("FILLEMBED");
} // namespace SettingsKeys

// The persisted settings as the application reads them. Each read that finds
// its key absent or of the wrong kind stores the default before returning it,
// so that afterwards the key holds a value of the right kind: hence "ensure".
class StoredSettings {
public:
    static QString ensureMedia();
    static QString ensureCountry();
    static QString ensureNameFormat();
    // The format for a media title: its own when one is stored as text, else
    // Music's (ensureNameFormat).
    static QString nameFormatFor(const QString& mediaTitle);
    // A kind's own format; none for Music and for a kind that follows Music.
    static std::optional<QString> ownNameFormat(const QString& mediaTitle);

    static qint64 ensureInteger(const QString& key);
    static qint64 ensureQuality() { return ensureInteger(SettingsKeys::quality); }
    static qint64 ensureReplaceSpaces() { return ensureInteger(SettingsKeys::replaceSpaces); }
    static qint64 ensureReplaceCharacters() {
        return ensureInteger(SettingsKeys::replaceCharacters);
    }
    static qint64 ensureLowercase() { return ensureInteger(SettingsKeys::lowercase); }
    static qint64 ensureClearCacheOnExit() { return ensureInteger(SettingsKeys::clearCacheOnExit); }

    // Keys no operation writes any more, deleted when found, in this order.
    static const QStringList& obsoleteKeys();
    static void removeObsoleteKeys();

private:
    static QString ensureText(const QString& key, const QString& fallback);
};

#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

class SettingsStore;

// Which setting changed.
enum class SettingId {
    Media,
    Country,
    HighQuality,
    NameFormat,
    KindNameFormat, // a media kind's own name format
    ReplaceSpaces,
    ReplaceCharacters,
    Lowercase,
    ClearCacheOnExit,
    MainWindowFrame,
    ResultsWidth,
    LastSaveFolder,
    LastFillFolder,
    FillEmbed,
    FillWindowWidth,
    FillWindowHeight,
    FillUpgradeBelow,
    FillMoreCountries,
};
Q_DECLARE_METATYPE(SettingId)

// One setting: its key in the file, its type and its default. A switch
// (bool) is stored as the integer 1 or 0 and counts as on only when it is 1.
template <typename T> struct Setting {
    SettingId id;
    const char* key;
    T fallback;
};

// The application's settings, read and written typed, over the store that
// keeps them on disk. A missing or mistyped value reads as the setting's
// default, which is then written back, so that the file holds a value of the
// right kind. Every change is announced, so that open windows follow a change
// made in another (the command line, a process of its own, reads the file
// when it starts).
class Settings : public QObject {
    Q_OBJECT
public:
    // Every setting, declared once. The keys and the kinds of their values
    // are those of the file existing users have.
    static inline const Setting<QString> media{SettingId::Media, "MEDIA", QStringLiteral("Music")};
    static inline const Setting<QString> country{SettingId::Country, "COUNTRY",
                                                 QStringLiteral("US")};
    static inline const Setting<bool> highQuality{SettingId::HighQuality, "QUALITY", false};
    static inline const Setting<QString> nameFormat{SettingId::NameFormat, "DEFAULTNAMEFORMAT",
                                                    QStringLiteral("folder.jpg")};
    static inline const Setting<bool> replaceSpaces{SettingId::ReplaceSpaces, "REPLACESPACES",
                                                    false};
    static inline const Setting<bool> replaceCharacters{SettingId::ReplaceCharacters,
                                                        "REPLACECHARACTERS", false};
    static inline const Setting<bool> lowercase{SettingId::Lowercase, "LOWERCASE", false};
    static inline const Setting<bool> clearCacheOnExit{SettingId::ClearCacheOnExit,
                                                       "CLEARCACHEONEXIT", false};
    static inline const Setting<QByteArray> mainWindowFrame{
        SettingId::MainWindowFrame, "NSWindow Frame MAINWINDOWFRAME", {}};
    // The results list's width in the main window, as the user left it.
    static inline const Setting<int> resultsWidth{SettingId::ResultsWidth, "RESULTSWIDTH", 300};
    // The folder Save Cover As… saved into last.
    static inline const Setting<QUrl> lastSaveFolder{
        SettingId::LastSaveFolder, "LASTSAVEFOLDER", {}};
    // The library Fill Covers in Folder worked on last.
    static inline const Setting<QUrl> lastFillFolder{
        SettingId::LastFillFolder, "LASTFILLFOLDER", {}};
    // Whether Fill Covers in Folder also embeds covers into the audio files.
    static inline const Setting<bool> fillEmbed{SettingId::FillEmbed, "FILLEMBED", false};
    // Fill Covers in Folder also upgrades covers smaller than this (0: never).
    static inline const Setting<int> fillUpgradeBelow{SettingId::FillUpgradeBelow,
                                                      "FILLUPGRADEBELOW", 0};
    // The storefronts it asks in turn after the main one ("GB,JP").
    static inline const Setting<QString> fillMoreCountries{SettingId::FillMoreCountries,
                                                           "FILLMORECOUNTRIES", {}};
    // The Fill window's size as the user left it; 0 before it was resized.
    static inline const Setting<int> fillWindowWidth{SettingId::FillWindowWidth, "FILLWINDOWWIDTH",
                                                     0};
    static inline const Setting<int> fillWindowHeight{SettingId::FillWindowHeight,
                                                      "FILLWINDOWHEIGHT", 0};

    explicit Settings(SettingsStore& store, QObject* parent = nullptr);

    QString value(const Setting<QString>& setting) const;
    bool value(const Setting<bool>& setting) const;
    int value(const Setting<int>& setting) const;
    QByteArray value(const Setting<QByteArray>& setting) const;
    QUrl value(const Setting<QUrl>& setting) const;

    void setValue(const Setting<QString>& setting, const QString& value);
    void setValue(const Setting<bool>& setting, bool value);
    void setValue(const Setting<int>& setting, int value);
    void setValue(const Setting<QByteArray>& setting, const QByteArray& value);
    void setValue(const Setting<QUrl>& setting, const QUrl& value);

    // The file-name format for a media title: its own when one is stored,
    // else Music's.
    QString nameFormatFor(const QString& mediaTitle) const;
    // A kind's own format; none for Music and for a kind that follows Music.
    std::optional<QString> ownNameFormat(const QString& mediaTitle) const;
    // Gives a kind a format of its own, or (none) lets it follow Music's.
    void setOwnNameFormat(const QString& mediaTitle, const std::optional<QString>& format);
    // The key of a kind's own format ("DEFAULTNAMEFORMATMOVIES"); Music's is
    // the name format's own key.
    static QString nameFormatKey(const QString& mediaTitle);

    // Keys no version writes any more, deleted when found, in this order.
    static const QStringList& obsoleteKeys();
    void removeObsoleteKeys();

    SettingsStore& store() const { return m_store; }

Q_SIGNALS:
    void changed(SettingId setting);

private:
    QVariant stored(const char* key) const;
    void store(const char* key, const QVariant& value, SettingId id);

    SettingsStore& m_store;
};

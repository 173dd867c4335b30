#pragma once

#include <QDBusMessage>
#include <QObject>
#include <QPalette>

// Light or dark, as the desktop says: the settings portal's
// org.freedesktop.appearance color-scheme, read at start and followed while
// the application runs. A platform theme that already gives a dark palette is
// left to do so; otherwise a dark palette of our own is put over the style's.
class ColorScheme : public QObject {
    Q_OBJECT
public:
    // The portal's values.
    enum class Preference : uint { None = 0, Dark = 1, Light = 2 };

    explicit ColorScheme(QObject* parent = nullptr);

    void apply(Preference preference);
    static QPalette darkPalette();
    static bool isDark(const QPalette& palette);

private Q_SLOTS:
    void settingChanged(const QDBusMessage& message); // group, key, value

private:
    void read();
    void applyValue(const QVariant& value);

    QPalette m_original; // the palette the platform gave
    bool m_ours = false; // the dark palette is ours
};

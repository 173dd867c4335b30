#pragma once

#include "settings/CoverFileName.h"
#include "settings/Settings.h"

#include <QStringList>
#include <QWidget>

#include <memory>

class QCheckBox;

namespace Ui {
class Preferences;
}

// The preferences window: the cover file name format (typed, or a preset, for
// Music and, when wanted, for each other media kind), the three naming options
// with a live example, and emptying the cache at exit. Every accepted change
// is stored at once and the window is rebuilt from the stored settings.
class PreferencesDialog : public QWidget {
    Q_OBJECT
public:
    static inline const QStringList defaultNameFormat{
        QStringLiteral("folder.jpg"), QStringLiteral("cover.jpg"),
        QStringLiteral("%{collectionName}.jpg"),
        QStringLiteral("%{artistName} - %{collectionName}.jpg")};

    explicit PreferencesDialog(Settings& settings, QWidget* parent = nullptr);
    ~PreferencesDialog() override;
    // Its size made to fit what it shows, before it is first shown.
    void fitToContent();

    Ui::Preferences* ui() const { return m_ui.get(); }
    void refreshInterface();

private:
    // The check boxes and the switches they set.
    QList<std::pair<QCheckBox*, const Setting<bool>*>> switches() const;
    void buildTokenMenu();
    // The format field's text, stored when it can name a file; else a hint
    // says why and the stored format stays.
    void formatEdited(const QString& text);
    void formatEditingFinished();
    void showFormat();
    void showExample();
    static CoverFileName::NameFields exampleFor(const QString& media);
    void fitExampleHeight();

    Settings& m_settings;
    std::unique_ptr<Ui::Preferences> m_ui;
    QString m_media; // whose format the field shows
};

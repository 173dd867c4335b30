#pragma once

#include "library/FillOptions.h"

#include <QWidget>

#include <optional>

class QCheckBox;
class QLineEdit;
class QSpinBox;
class Settings;

// What a fill in the Fill window does beyond finding missing covers: the
// cover's file name, whether covers go into the audio files too, whether
// small covers are upgraded, and which storefronts are asked after the main
// one. The choices are remembered; another window's changes show here.
class FillOptionsBar : public QWidget {
    Q_OBJECT
public:
    FillOptionsBar(const FillOptions& options, Settings& settings, QWidget* parent = nullptr);

    // `options` with this bar's choices; why not, when one is refused.
    std::optional<QString> apply(FillOptions& options) const;
    // Whether two choices count the same albums as covered (else the albums
    // are read again).
    static bool sameList(const FillOptions& a, const FillOptions& b);
    // The storefront codes of `text` ("gb, JP"), checked against the known
    // ones and `main`; why not when one is unknown or given twice.
    static std::optional<QString> storefrontsOf(const QString& text, const QString& main,
                                                QStringList& codes);

Q_SIGNALS:
    // A choice changed what counts as covered.
    void listChanged();

private:
    Settings& m_settings;
    QLineEdit* m_name;
    QCheckBox* m_embed;
    QCheckBox* m_upgrade;
    QSpinBox* m_upgradeBelow;
    QLineEdit* m_countries;
};

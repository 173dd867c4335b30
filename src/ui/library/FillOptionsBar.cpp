#include "ui/library/FillOptionsBar.h"

#include "catalogue/MediaTables.h"
#include "settings/CoverFileName.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSpinBox>

FillOptionsBar::FillOptionsBar(const FillOptions& options, Settings& settings, QWidget* parent)
    : QWidget(parent), m_settings(settings) {
    m_name = new QLineEdit(options.coverName, this);
    m_name->setLayoutDirection(Qt::LeftToRight); // a file name, in every language
    m_name->setAccessibleName(tr("Cover file name"));
    m_name->setToolTip(tr("The name of the cover file saved into each album folder"));
    m_embed = new QCheckBox(tr("Also embed the cover into the audio files"), this);
    m_embed->setChecked(settings.value(Settings::fillEmbed));
    m_upgrade = new QCheckBox(tr("Upgrade covers smaller than"), this);
    m_upgrade->setToolTip(tr("Replace small covers by larger ones of the same picture; what "
                             "is replaced is kept aside and can be restored"));
    m_upgradeBelow = new QSpinBox(this);
    m_upgradeBelow->setRange(16, 10000);
    m_upgradeBelow->setSuffix(tr(" px"));
    m_upgradeBelow->setAccessibleName(tr("Smallest side of a cover that is kept"));
    const int below = settings.value(Settings::fillUpgradeBelow);
    m_upgrade->setChecked(below > 0);
    m_upgradeBelow->setValue(below > 0 ? below : 1000);
    m_upgradeBelow->setEnabled(below > 0);
    m_countries = new QLineEdit(settings.value(Settings::fillMoreCountries), this);
    m_countries->setLayoutDirection(Qt::LeftToRight);
    m_countries->setPlaceholderText(tr("e.g. GB, JP"));
    m_countries->setAccessibleName(tr("Storefronts to ask next"));
    m_countries->setToolTip(tr("Storefront codes asked in turn about the albums the main "
                               "storefront does not sell"));
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(tr("Cover file name:"), this), 0, 0);
    layout->addWidget(m_name, 0, 1);
    layout->addWidget(m_embed, 0, 2, 1, 2);
    auto* upgrade = new QHBoxLayout;
    upgrade->addWidget(m_upgrade);
    upgrade->addWidget(m_upgradeBelow);
    upgrade->addStretch(1);
    layout->addLayout(upgrade, 1, 0, 1, 2);
    layout->addWidget(new QLabel(tr("Then ask in:"), this), 1, 2);
    layout->addWidget(m_countries, 1, 3);
    layout->setColumnStretch(1, 1);
    layout->setColumnStretch(3, 1);

    connect(m_embed, &QCheckBox::toggled, this, [this](bool on) {
        m_settings.setValue(Settings::fillEmbed, on);
        Q_EMIT listChanged();
    });
    connect(m_name, &QLineEdit::editingFinished, this, &FillOptionsBar::listChanged);
    const auto storeUpgrade = [this] {
        m_upgradeBelow->setEnabled(m_upgrade->isChecked());
        m_settings.setValue(Settings::fillUpgradeBelow,
                            m_upgrade->isChecked() ? m_upgradeBelow->value() : 0);
        Q_EMIT listChanged();
    };
    connect(m_upgrade, &QCheckBox::toggled, this, storeUpgrade);
    connect(m_upgradeBelow, &QSpinBox::editingFinished, this, storeUpgrade);
    connect(m_countries, &QLineEdit::editingFinished, this, [this] {
        m_settings.setValue(Settings::fillMoreCountries, m_countries->text().trimmed());
    });
    // Another Fill window's choice is this one's too.
    connect(&settings, &Settings::changed, this, [this](SettingId id) {
        if (id == SettingId::FillEmbed && isEnabled()) {
            m_embed->setChecked(m_settings.value(Settings::fillEmbed));
        } else if (id == SettingId::FillMoreCountries && isEnabled()) {
            m_countries->setText(m_settings.value(Settings::fillMoreCountries));
        }
    });
}

std::optional<QString> FillOptionsBar::storefrontsOf(const QString& text, const QString& main,
                                                     QStringList& codes) {
    static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
    codes.clear();
    for (const QString& word : text.toUpper().split(separators, Qt::SkipEmptyParts)) {
        if (!MediaTables::countryCodes().contains(word)) {
            return tr("“%1” is no storefront code.").arg(word);
        }
        if (codes.contains(word) || word == main) {
            return tr("The storefront %1 is named twice.").arg(word);
        }
        codes.append(word);
    }
    return std::nullopt;
}

std::optional<QString> FillOptionsBar::apply(FillOptions& options) const {
    const QString name = m_name->text().trimmed();
    if (const auto problem = CoverFileName::formatProblem(name)) {
        return problem; // a name with a folder part would fail every album
    }
    QStringList countries;
    if (const auto problem = storefrontsOf(m_countries->text(), options.country, countries)) {
        return problem;
    }
    options.coverName = name;
    options.embed = m_embed->isChecked();
    options.upgradeBelow = m_upgrade->isChecked() ? m_upgradeBelow->value() : 0;
    options.moreCountries = countries;
    return std::nullopt;
}

bool FillOptionsBar::sameList(const FillOptions& a, const FillOptions& b) {
    return a.coverName == b.coverName && a.embed == b.embed && a.upgradeBelow == b.upgradeBelow;
}

#include "PreferencesViewController.h"
#include "ui_Preferences.h"

#include "CoverFileName.h"
#include "StoredSettings.h"
#include "UserDefaults.h"

PreferencesViewController::PreferencesViewController(QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::Preferences>()) {
    m_ui->setupUi(this);
    m_ui->exampleLabel->installEventFilter(this);
    for (QLabel* heading : {m_ui->pickerMultilineLabel, m_ui->buttonMultilineLabel,
                            m_ui->exampleMultilineLabel, m_ui->clearCacheOnExitMultilineLabel}) {
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
    }
    connect(m_ui->defaultNameFormatPicker, &QComboBox::activated, this, [this] {
        const QString title = m_ui->defaultNameFormatPicker->currentText();
        if (m_ui->defaultNameFormatPicker->currentIndex() < 0 || title.isEmpty()) {
            UserDefaults::standard().removeObject(SettingsKeys::defaultNameFormat);
        } else {
            UserDefaults::standard().setString(SettingsKeys::defaultNameFormat, title);
        }
        refreshInterface();
    });
    const std::pair<QCheckBox*, QString> switches[] = {
        {m_ui->replaceSpacesButton, SettingsKeys::replaceSpaces},
        {m_ui->replaceCharactersButton, SettingsKeys::replaceCharacters},
        {m_ui->lowercaseCharactersButton, SettingsKeys::lowercase},
        {m_ui->clearCacheOnExitButton, SettingsKeys::clearCacheOnExit},
    };
    for (const auto& [box, key] : switches) {
        connect(box, &QCheckBox::clicked, this, [this, box = box, key = key] {
            UserDefaults::standard().setInteger(key, box->isChecked() ? 1 : 0);
            refreshInterface();
        });
    }
    refreshInterface();
}

PreferencesViewController::~PreferencesViewController() = default;

void PreferencesViewController::refreshInterface() {
    m_ui->pickerMultilineLabel->setText(QStringLiteral("Default Name Format"));
    QComboBox* picker = m_ui->defaultNameFormatPicker;
    picker->clear();
    picker->addItems(defaultNameFormat);
    picker->setCurrentIndex(picker->findText(StoredSettings::ensureNameFormat()));

    m_ui->buttonMultilineLabel->setText(QStringLiteral("Name Format Options"));
    m_ui->replaceSpacesButton->setText(QStringLiteral("Replace spaces with underscores"));
    m_ui->replaceCharactersButton->setText(replaceCharactersTitle);
    m_ui->lowercaseCharactersButton->setText(QStringLiteral("Make filenames lowercase"));
    m_ui->exampleMultilineLabel->setText(QStringLiteral("Name Format Example"));
    m_ui->clearCacheOnExitMultilineLabel->setText(QStringLiteral("Other Options"));
    m_ui->clearCacheOnExitButton->setText(QStringLiteral("Clear cache on exit"));

    m_ui->replaceSpacesButton->setChecked(StoredSettings::ensureReplaceSpaces() == 1);
    m_ui->replaceCharactersButton->setChecked(StoredSettings::ensureReplaceCharacters() == 1);
    m_ui->lowercaseCharactersButton->setChecked(StoredSettings::ensureLowercase() == 1);
    m_ui->clearCacheOnExitButton->setChecked(StoredSettings::ensureClearCacheOnExit() == 1);

    m_example = CoverFileName::fromSettings(QStringLiteral("Iron Maiden"),
                                            QStringLiteral("The Book of Souls: The Live Chapter"));
    m_ui->exampleLabel->setToolTip(m_example);
    showExample();
}

void PreferencesViewController::showExample() {
    // Whole, or ending in "…" when the window is too narrow: never cut in half.
    QLabel* label = m_ui->exampleLabel;
    label->setText(label->fontMetrics().elidedText(m_example, Qt::ElideMiddle,
                                                   label->isVisible() ? label->width() : 10000));
}

bool PreferencesViewController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->exampleLabel && event->type() == QEvent::Resize) {
        showExample();
    }
    return QWidget::eventFilter(watched, event);
}

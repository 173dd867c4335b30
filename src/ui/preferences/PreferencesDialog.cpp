#include "ui/preferences/PreferencesDialog.h"
#include "ui_Preferences.h"

#include "catalogue/MediaTables.h"
#include "platform/SettingsStore.h"
#include "settings/CoverFileName.h"
#include "settings/StoredSettings.h"

#include <QAbstractTextDocumentLayout>
#include <QLineEdit>
#include <QMenu>

namespace {

const QString kMusic = QStringLiteral("Music");

// The kind the main window searches, so that its format is the one at hand.
QString searchedMedia() {
    const QString media = SettingsStore::standard().value(SettingsKeys::media).toString();
    return MediaTables::mediaTitles().contains(media) ? media : kMusic;
}

} // namespace

PreferencesDialog::PreferencesDialog(QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::Preferences>()), m_media(searchedMedia()) {
    m_ui->setupUi(this);
    for (QLabel* heading : {m_ui->pickerMultilineLabel, m_ui->buttonMultilineLabel,
                            m_ui->exampleMultilineLabel, m_ui->clearCacheOnExitMultilineLabel}) {
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
    }
    m_ui->nameFormatMediaPicker->addItems(MediaTables::mediaTitles());
    m_ui->nameFormatMediaPicker->setCurrentText(m_media);
    connect(m_ui->nameFormatMediaPicker, &QComboBox::activated, this, [this] {
        m_media = m_ui->nameFormatMediaPicker->currentText();
        refreshInterface();
    });
    connect(m_ui->sameAsMusicButton, &QCheckBox::clicked, this, [this](bool same) {
        const QString key = SettingsKeys::nameFormatFor(m_media);
        if (same) {
            SettingsStore::standard().removeObject(key);
        } else {
            SettingsStore::standard().setString(key, StoredSettings::ensureNameFormat());
        }
        refreshInterface();
    });
    QComboBox* picker = m_ui->defaultNameFormatPicker;
    connect(picker, &QComboBox::activated, this, [this, picker](int index) {
        formatEdited(picker->itemText(index));
        refreshInterface();
    });
    connect(picker->lineEdit(), &QLineEdit::textEdited, this, &PreferencesDialog::formatEdited);
    connect(picker->lineEdit(), &QLineEdit::editingFinished, this,
            &PreferencesDialog::formatEditingFinished);
    buildTokenMenu();

    const std::pair<QCheckBox*, QString> switches[] = {
        {m_ui->replaceSpacesButton, SettingsKeys::replaceSpaces},
        {m_ui->replaceCharactersButton, SettingsKeys::replaceCharacters},
        {m_ui->lowercaseCharactersButton, SettingsKeys::lowercase},
        {m_ui->clearCacheOnExitButton, SettingsKeys::clearCacheOnExit},
    };
    for (const auto& [box, key] : switches) {
        connect(box, &QCheckBox::clicked, this, [this, box = box, key = key] {
            SettingsStore::standard().setInteger(key, box->isChecked() ? 1 : 0);
            refreshInterface();
        });
    }
    QTextEdit* example = m_ui->exampleText;
    example->viewport()->setAutoFillBackground(false);
    example->document()->setDocumentMargin(0);
    example->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    connect(example->document()->documentLayout(),
            &QAbstractTextDocumentLayout::documentSizeChanged, this,
            &PreferencesDialog::fitExampleHeight);
    refreshInterface();
}

PreferencesDialog::~PreferencesDialog() = default;

void PreferencesDialog::buildTokenMenu() {
    auto* menu = new QMenu(m_ui->insertTokenButton);
    for (const CoverFileName::Token& token : CoverFileName::tokens()) {
        QAction* action = menu->addAction(token.title + QLatin1Char('\t') + token.text);
        connect(action, &QAction::triggered, this, [this, text = token.text] {
            QLineEdit* field = m_ui->defaultNameFormatPicker->lineEdit();
            field->insert(text);
            field->setFocus();
            formatEdited(field->text());
        });
    }
    m_ui->insertTokenButton->setMenu(menu);
}

void PreferencesDialog::formatEdited(const QString& text) {
    const auto problem = CoverFileName::formatProblem(text);
    m_ui->nameFormatHint->setVisible(problem.has_value());
    if (problem) {
        m_ui->nameFormatHint->setText(QStringLiteral("%1 The name stays “%2”.")
                                          .arg(*problem, StoredSettings::nameFormatFor(m_media)));
        return;
    }
    SettingsStore::standard().setString(SettingsKeys::nameFormatFor(m_media), text.trimmed());
    showExample();
}

void PreferencesDialog::formatEditingFinished() {
    // What could not be stored gives way to what is.
    if (!m_ui->nameFormatHint->isHidden()) {
        m_ui->nameFormatHint->hide();
        showFormat();
    }
}

void PreferencesDialog::refreshInterface() {
    m_ui->pickerMultilineLabel->setText(QStringLiteral("Default Name Format"));
    m_ui->mediaLabel->setText(QStringLiteral("For:"));
    m_ui->sameAsMusicButton->setText(QStringLiteral("Same as Music"));
    m_ui->insertTokenButton->setText(QStringLiteral("Insert"));
    m_ui->insertTokenButton->setToolTip(QStringLiteral("Insert a name from the cover's item"));
    showFormat();

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
    showExample();
}

void PreferencesDialog::showFormat() {
    const bool own = m_media == kMusic || StoredSettings::ownNameFormat(m_media).has_value();
    m_ui->sameAsMusicButton->setVisible(m_media != kMusic);
    m_ui->sameAsMusicButton->setChecked(!own);
    m_ui->defaultNameFormatPicker->setEnabled(own);
    m_ui->insertTokenButton->setEnabled(own);

    QComboBox* picker = m_ui->defaultNameFormatPicker;
    picker->setAccessibleName(QStringLiteral("Name format for %1").arg(m_media));
    m_ui->nameFormatHint->hide();
    const QString stored = StoredSettings::nameFormatFor(m_media);
    picker->clear();
    picker->addItems(defaultNameFormat);
    picker->setCurrentIndex(picker->findText(stored));
    picker->setEditText(stored);
}

void PreferencesDialog::showExample() {
    // Shown whole, wrapped where it must be, even inside a word; the field's
    // height follows the text (fitExampleHeight).
    m_ui->exampleText->setPlainText(CoverFileName::fromSettings(
        {QStringLiteral("Iron Maiden"), QStringLiteral("The Book of Souls: The Live Chapter"), 2017,
         m_media}));
}

void PreferencesDialog::fitExampleHeight() {
    QTextEdit* example = m_ui->exampleText;
    const int height = int(std::ceil(example->document()->size().height()));
    const QMargins margins = example->contentsMargins();
    example->setFixedHeight(height + margins.top() + margins.bottom());
}

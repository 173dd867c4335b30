#include "ui/preferences/PreferencesDialog.h"
#include "ui_Preferences.h"

#include "catalogue/MediaTables.h"
#include "settings/CoverFileName.h"
#include "settings/Settings.h"
#include "ui/library/FillOptionsBar.h"

#include <QAbstractTextDocumentLayout>
#include <QLineEdit>
#include <QMenu>

namespace {

const QString kMusic = QStringLiteral("Music");

// The kind the main window searches, so that its format is the one at hand.
QString searchedMedia(const Settings& settings) {
    const QString media = settings.value(Settings::media);
    return MediaTables::mediaTitles().contains(media) ? media : kMusic;
}

} // namespace

PreferencesDialog::PreferencesDialog(Settings& settings, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_ui(std::make_unique<Ui::Preferences>()),
      m_media(searchedMedia(settings)) {
    m_ui->setupUi(this);
    for (QLabel* heading : {m_ui->pickerMultilineLabel, m_ui->buttonMultilineLabel,
                            m_ui->exampleMultilineLabel, m_ui->clearCacheOnExitMultilineLabel}) {
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
    }
    QComboBox* mediaPicker = m_ui->nameFormatMediaPicker;
    //: The picker of the media kind whose name format is shown.
    mediaPicker->setAccessibleName(tr("Name format of"));
    for (const QString& title : MediaTables::mediaTitles()) {
        mediaPicker->addItem(MediaTables::displayTitle(title), title);
    }
    mediaPicker->setCurrentIndex(mediaPicker->findData(m_media));
    connect(mediaPicker, &QComboBox::activated, this, [this, mediaPicker] {
        m_media = mediaPicker->currentData().toString();
        refreshInterface();
    });
    connect(m_ui->sameAsMusicButton, &QCheckBox::clicked, this, [this](bool same) {
        m_settings.setOwnNameFormat(
            m_media, same ? std::nullopt : std::optional(m_settings.value(Settings::nameFormat)));
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

    for (const auto& [box, setting] : switches()) {
        connect(box, &QCheckBox::clicked, this, [this, box = box, setting = setting] {
            m_settings.setValue(*setting, box->isChecked());
            refreshInterface();
        });
    }
    // The storefronts a fill asks after the main one: kept only when valid.
    QLineEdit* storefronts = m_ui->fillStorefrontsField;
    storefronts->setText(m_settings.value(Settings::fillMoreCountries));
    m_ui->fillStorefrontsHint->hide();
    connect(storefronts, &QLineEdit::editingFinished, this, [this, storefronts] {
        QStringList codes;
        const auto problem = FillOptionsBar::storefrontsOf(
            storefronts->text(), m_settings.value(Settings::country), codes);
        m_ui->fillStorefrontsHint->setText(problem.value_or(QString()));
        m_ui->fillStorefrontsHint->setVisible(problem.has_value());
        if (!problem) {
            m_settings.setValue(Settings::fillMoreCountries, codes.join(QStringLiteral(", ")));
        }
    });
    // Sized to what it holds, growing and shrinking with it (the format's
    // hint, the example's lines); wide enough for a whole pattern.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    m_ui->defaultNameFormatPicker->setSizeAdjustPolicy(
        QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_ui->defaultNameFormatPicker->setMinimumContentsLength(40);
    QTextEdit* example = m_ui->exampleText;
    example->setAccessibleName(tr("Name Format Example"));
    // Patterns and file names read left to right in every language.
    for (QWidget* pattern : std::initializer_list<QWidget*>{example, m_ui->defaultNameFormatPicker,
                                                            m_ui->fillStorefrontsField}) {
        pattern->setLayoutDirection(Qt::LeftToRight);
    }
    example->viewport()->setAutoFillBackground(false);
    example->document()->setDocumentMargin(0);
    example->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    connect(example->document()->documentLayout(),
            &QAbstractTextDocumentLayout::documentSizeChanged, this,
            &PreferencesDialog::fitExampleHeight);
    refreshInterface();
}

PreferencesDialog::~PreferencesDialog() = default;

QList<std::pair<QCheckBox*, const Setting<bool>*>> PreferencesDialog::switches() const {
    return {{m_ui->replaceSpacesButton, &Settings::replaceSpaces},
            {m_ui->replaceCharactersButton, &Settings::replaceCharacters},
            {m_ui->lowercaseCharactersButton, &Settings::lowercase},
            {m_ui->clearCacheOnExitButton, &Settings::clearCacheOnExit}};
}

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
        m_ui->nameFormatHint->setText(
            tr("%1 The name stays “%2”.").arg(*problem, m_settings.nameFormatFor(m_media)));
        return;
    }
    if (m_media == kMusic) {
        m_settings.setValue(Settings::nameFormat, text.trimmed());
    } else {
        m_settings.setOwnNameFormat(m_media, text.trimmed());
    }
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
    m_ui->pickerMultilineLabel->setText(tr("Default Name Format"));
    m_ui->mediaLabel->setText(tr("For:"));
    m_ui->sameAsMusicButton->setText(tr("Same as Music"));
    m_ui->insertTokenButton->setText(tr("Insert"));
    m_ui->insertTokenButton->setToolTip(tr("Insert a name from the cover's item"));
    showFormat();

    m_ui->buttonMultilineLabel->setText(tr("Name Format Options"));
    m_ui->replaceSpacesButton->setText(tr("Replace spaces with underscores"));
    m_ui->replaceCharactersButton->setText(tr("Replace / \\ : * ? \" < > | with underscores"));
    m_ui->lowercaseCharactersButton->setText(tr("Make filenames lowercase"));
    m_ui->exampleMultilineLabel->setText(tr("Name Format Example"));
    m_ui->clearCacheOnExitMultilineLabel->setText(tr("Other Options"));
    m_ui->clearCacheOnExitButton->setText(tr("Clear cache on exit"));
    m_ui->fillStorefrontsLabel->setText(tr("Fill Covers in Folder, then ask in:"));
    m_ui->fillStorefrontsField->setPlaceholderText(tr("e.g. GB, JP"));
    m_ui->fillStorefrontsField->setToolTip(
        tr("Storefront codes asked in turn about the albums the main storefront does not sell"));

    for (const auto& [box, setting] : switches()) {
        box->setChecked(m_settings.value(*setting));
    }
    showExample();
}

void PreferencesDialog::showFormat() {
    const bool own = m_media == kMusic || m_settings.ownNameFormat(m_media).has_value();
    m_ui->sameAsMusicButton->setVisible(m_media != kMusic);
    m_ui->sameAsMusicButton->setChecked(!own);
    m_ui->defaultNameFormatPicker->setEnabled(own);
    m_ui->insertTokenButton->setEnabled(own);

    QComboBox* picker = m_ui->defaultNameFormatPicker;
    picker->setAccessibleName(tr("Name format for %1").arg(MediaTables::displayTitle(m_media)));
    picker->lineEdit()->setAccessibleName(picker->accessibleName());
    m_ui->nameFormatHint->hide();
    const QString stored = m_settings.nameFormatFor(m_media);
    picker->clear();
    picker->addItems(defaultNameFormat);
    picker->setCurrentIndex(picker->findText(stored));
    picker->setEditText(stored);
}

void PreferencesDialog::showExample() {
    // Shown whole, wrapped where it must be, even inside a word; the field's
    // height follows the text (fitExampleHeight).
    m_ui->exampleText->setPlainText(CoverFileName::fromSettings(m_settings, exampleFor(m_media)));
}

// An item of the kind whose format is shown: a film for Movies, and so on.
CoverFileName::NameFields PreferencesDialog::exampleFor(const QString& media) {
    struct Example {
        const char* media;
        const char* artist;
        const char* title;
        int year;
    };
    static const Example examples[] = {
        {"Movies", "Christopher Nolan", "The Dark Knight", 2008},
        {"Short Films", "Pixar", "Bao", 2018},
        {"TV Shows", "Breaking Bad", "Breaking Bad, Season 1", 2008},
        {"Music Videos", "a-ha", "Take On Me", 1985},
        {"Audiobooks", "Andy Weir", "Project Hail Mary", 2021},
        {"eBooks", "Mary Shelley", "Frankenstein", 1818},
        {"Podcasts", "NPR", "Planet Money", 2008},
        {"Software", "Apple", "Pages", 2010},
    };
    for (const Example& example : examples) {
        if (media == QLatin1String(example.media)) {
            return {QString::fromUtf8(example.artist), QString::fromUtf8(example.title),
                    example.year, media};
        }
    }
    return {QStringLiteral("Iron Maiden"), QStringLiteral("The Book of Souls: The Live Chapter"),
            2017, media};
}

void PreferencesDialog::fitToContent() {
    // Before the first showing the example is not laid out: it is, here, at
    // the width the layout gives it.
    layout()->activate();
    QTextEdit* example = m_ui->exampleText;
    example->document()->setTextWidth(example->contentsRect().width());
    fitExampleHeight();
    layout()->activate();
}

void PreferencesDialog::fitExampleHeight() {
    QTextEdit* example = m_ui->exampleText;
    const int height = int(std::ceil(example->document()->size().height()));
    const QMargins margins = example->contentsMargins();
    example->setFixedHeight(height + margins.top() + margins.bottom());
}

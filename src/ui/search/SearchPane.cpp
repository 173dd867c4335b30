#include "ui/search/SearchPane.h"
#include "ui_SearchView.h"

#include "catalogue/CountryNames.h"
#include "catalogue/CoverItem.h"
#include "catalogue/MediaTables.h"
#include "library/AlbumMatcher.h"
#include "library/AppContext.h"
#include "library/FillRun.h"
#include "settings/Settings.h"
#include "sources/SearchMessages.h"
#include "sources/SearchResults.h"
#include "ui/common/AccessibleWidgets.h"
#include "ui/common/Alerts.h"
#include "ui/search/ListOverlay.h"
#include "ui/search/ResultListModel.h"
#include "ui/search/SearchResultDelegate.h"
#include "ui/search/ThumbnailLoader.h"

#include <QAbstractItemView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMetaObject>
#include <QToolButton>

SearchPane::SearchPane(AppContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_settings(context.settings()),
      m_ui(std::make_unique<Ui::SearchView>()) {
    m_ui->setupUi(this);
    m_results = new SearchResults(context.sources().primary(), this);
    m_model = new ResultListModel(*m_results, this);
    m_thumbnails = new ThumbnailLoader(context.images(), m_ui->tableView);
    QTableView* table = m_ui->tableView;
    table->setModel(m_model);
    m_delegate = new SearchResultDelegate(m_thumbnails, m_settings, this);
    table->setItemDelegate(m_delegate);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(m_delegate->rowHeight());
    table->setFocusPolicy(Qt::StrongFocus);
    connect(m_thumbnails, &ThumbnailLoader::rowChanged, this,
            [this](int row) { m_ui->tableView->update(m_model->index(row, 0)); });
    m_ui->searchField->installEventFilter(this);
    table->installEventFilter(this);
    // A picker changes only when the user opens it, never under a passing wheel.
    for (QComboBox* picker : {m_ui->mediaPicker, m_ui->qualityPicker, m_ui->countryPicker}) {
        picker->setFocusPolicy(Qt::StrongFocus);
        picker->installEventFilter(this);
    }
    m_overlay = new ListOverlay(table->viewport());
    connect(m_overlay, &ListOverlay::tryAgainRequested, this, &SearchPane::startSearch);
    //: The name of the search field (a noun: the search term is typed into it).
    m_ui->searchField->setAccessibleName(tr("Search"));
    m_ui->mediaPicker->setAccessibleName(tr("Media"));
    m_ui->qualityPicker->setAccessibleName(tr("Quality"));
    m_ui->countryPicker->setAccessibleName(tr("Country"));
    m_ui->tableView->setAccessibleName(tr("Results"));
    for (QToolButton* button : m_ui->searchField->findChildren<QToolButton*>()) {
        button->setAccessibleName(tr("Clear the search term"));
    }

    fillPickers();

    // A search typed while searching for a library album refines that search:
    // the cover found is still for the album.
    connect(m_ui->searchField, &QLineEdit::returnPressed, this, &SearchPane::startSearch);
    connect(m_ui->searchField, &QLineEdit::textChanged, this, [this](const QString& text) {
        const bool ended = text.isEmpty() && !m_lastText.isEmpty();
        m_lastText = text;
        if (ended) {
            setAlbumTarget(std::nullopt);
            searchFieldCleared();
        }
    });
    connect(m_ui->mediaPicker, &QComboBox::activated, this, &SearchPane::mediaPicked);
    m_mediaPause.setSingleShot(true);
    m_mediaPause.setInterval(kMediaPauseMs);
    connect(&m_mediaPause, &QTimer::timeout, this, &SearchPane::startSearch);
    connect(m_ui->qualityPicker, &QComboBox::activated, this, &SearchPane::qualityPicked);
    connect(m_ui->countryPicker, &QComboBox::activated, this, &SearchPane::countryPicked);
    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SearchPane::selectionChanged);
}

SearchPane::~SearchPane() = default;

QLineEdit* SearchPane::searchField() const {
    return m_ui->searchField;
}
QComboBox* SearchPane::mediaPicker() const {
    return m_ui->mediaPicker;
}
QComboBox* SearchPane::qualityPicker() const {
    return m_ui->qualityPicker;
}
QComboBox* SearchPane::countryPicker() const {
    return m_ui->countryPicker;
}
QTableView* SearchPane::tableView() const {
    return m_ui->tableView;
}

void SearchPane::fillPickers() {
    refreshMediaPicker();

    m_ui->qualityPicker->clear();
    m_ui->qualityPicker->addItems({tr("Standard Quality"), tr("High Quality")});
    m_ui->qualityPicker->setCurrentIndex(m_settings.value(Settings::highQuality) ? 1 : 0);
    // Their words are never cut, in any language: the pane is at least as wide.
    for (QComboBox* picker : {m_ui->mediaPicker, m_ui->qualityPicker}) {
        picker->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        picker->setMinimumWidth(picker->sizeHint().width());
    }

    m_ui->countryPicker->clear();
    for (const auto& [code, name] : CountryNames::storefronts()) {
        m_ui->countryPicker->addItem(name, code);
    }
    // A stored code the store does not know leaves the picker empty.
    m_ui->countryPicker->setCurrentIndex(
        m_ui->countryPicker->findData(m_settings.value(Settings::country)));
}

void SearchPane::focusSearchField() {
    m_ui->searchField->setFocus(Qt::OtherFocusReason);
    m_ui->searchField->selectAll();
}

void SearchPane::retryFailedThumbnails() {
    m_thumbnails->retryFailed();
}

void SearchPane::searchForTerm(const QString& term) {
    setAlbumTarget(std::nullopt);
    m_ui->searchField->setText(term);
    startSearch();
}

void SearchPane::showAlertLater(const QString& text, bool warning) {
    m_overlay->clear(); // the results before the failed search stay
    // Warnings may be posted from any thread: the alert is always made on ours.
    QMetaObject::invokeMethod(
        this, [this, text, warning] { Alerts::showSheet(Alerts::alert(text, warning), this); },
        Qt::QueuedConnection);
}

void SearchPane::clearSearchResults() {
    m_overlay->clear();
    Q_EMIT selectionCleared();
    m_results->clear();
    m_thumbnails->reset();
    m_ui->tableView->verticalHeader()->setDefaultSectionSize(m_delegate->rowHeight());
    m_model->reloadData();
}

void SearchPane::startSearch() {
    m_mediaPause.stop();
    const QString text = m_ui->searchField->text();
    if (text.isEmpty()) {
        clearSearchResults();
        return;
    }
    const QString mediaTitle = m_ui->mediaPicker->currentData().toString();
    if (m_album && mediaTitle != QLatin1String("Music")) {
        setAlbumTarget(std::nullopt); // no album's cover among films or books
    }
    // The results shown stay, dimmed, until the new ones arrive.
    m_overlay->showSearching(m_model->rowCount() > 0);
    m_results->search(
        text, mediaTitle, m_settings.value(Settings::country),
        [this](SearchResultKind kind) { searchEnded(kind); },
        m_album && mediaTitle == QLatin1String("Music") ? QStringLiteral("album") : QString());
}

void SearchPane::searchEnded(SearchResultKind kind) {
    if (kind != SearchResultKind::Completed) {
        // Said in the list, over the earlier results (dimmed: not this term's).
        m_overlay->showFailure(SearchMessages::failureText(kind), m_model->rowCount() > 0);
        return;
    }
    m_overlay->clear();
    Q_EMIT selectionCleared();
    m_thumbnails->reset();
    m_ui->tableView->verticalHeader()->setDefaultSectionSize(m_delegate->rowHeight());
    m_model->reloadData();
    m_ui->tableView->scrollToTop();
    selectTargetMatch();
    selectLinkedItem();
    if (!m_results->items().isEmpty()) {
        AccessibleWidgets::announce(m_ui->tableView,
                                    tr("%Ln result(s)", nullptr, int(m_results->items().size())));
        return;
    }
    const QString country = m_settings.value(Settings::country);
    m_overlay->showMessage(
        tr("No results for “%1” in %2, %3.\nTry another storefront, or change the search term.")
            .arg(m_ui->searchField->text(), m_ui->mediaPicker->currentText(),
                 CountryNames::displayName(country).value_or(country)));
    // Typing goes on where the search started, replacing what found nothing.
    focusSearchField();
}

void SearchPane::searchForAlbum(const AlbumFolder& album, const QString& coverName) {
    setAlbumTarget(album, coverName);
    m_ui->searchField->setText(album.artist() + QLatin1Char(' ') + album.album());
    // An album of the library is music, remembered like a pick.
    const int music = m_ui->mediaPicker->findData(QStringLiteral("Music"));
    if (music >= 0 && music != m_ui->mediaPicker->currentIndex()) {
        m_ui->mediaPicker->setCurrentIndex(music);
        m_settings.setValue(Settings::media, QStringLiteral("Music"));
    }
    startSearch();
}

void SearchPane::setAlbumTarget(const std::optional<AlbumFolder>& album, const QString& coverName) {
    m_album = album;
    Q_EMIT albumTargetChanged(album, coverName);
}

// The match a fill would take is selected: the window and the fill never disagree.
void SearchPane::selectTargetMatch() {
    if (!m_album) {
        return;
    }
    const AlbumMatcher::Wanted wanted{
        m_album->artist(), m_album->album(), m_album->identity.explicitness,
        m_album->identity.kind == AlbumTags::Identity::Kind::Compilation};
    const auto best = AlbumMatcher::bestMatch(wanted, m_results->items());
    if (best && best->confident) {
        m_ui->tableView->selectRow(int(m_results->items().indexOf(best->record)));
    }
}

// A pasted store link: the item it names is the one wanted.
void SearchPane::selectLinkedItem() {
    const auto target = m_context.sources().primary().linkedItem(m_ui->searchField->text());
    if (!target || m_album) {
        return;
    }
    const QList<CatalogueItem>& records = m_results->items();
    const auto found = std::find_if(records.begin(), records.end(), [&](const CatalogueItem& r) {
        return r.collectionId() == *target;
    });
    if (!records.isEmpty()) {
        m_ui->tableView->selectRow(found == records.end() ? 0 : int(found - records.begin()));
    }
}

void SearchPane::showHint(const QString& text) {
    if (m_results->items().isEmpty()) {
        m_overlay->showMessage(text);
    } else {
        Alerts::showSheet(Alerts::alert(text), this);
    }
}

void SearchPane::refreshMediaPicker() {
    QComboBox* picker = m_ui->mediaPicker;
    const QString country = m_settings.value(Settings::country);
    picker->clear();
    for (const QString& title : MediaTables::mediaTitles()) {
        if (MediaTables::isMediaAvailable(title, country)) {
            picker->addItem(MediaTables::displayTitle(title), title);
        }
    }
    clearSearchResults();
    const QString media = m_settings.value(Settings::media);
    const QString music = QStringLiteral("Music");
    if (MediaTables::isMediaAvailable(media, country)) {
        picker->setCurrentIndex(picker->findData(media));
        startSearch();
    } else {
        m_settings.setValue(Settings::media, music);
        picker->setCurrentIndex(picker->findData(music));
    }
}

void SearchPane::mediaPicked() {
    const QString title = m_ui->mediaPicker->currentData().toString();
    if (m_ui->mediaPicker->currentIndex() < 0 || title.isEmpty()) {
        return;
    }
    m_settings.setValue(Settings::media, title);
    if (m_mediaStepped) {
        m_mediaPause.start();
    } else {
        startSearch();
    }
}

void SearchPane::qualityPicked() {
    m_settings.setValue(Settings::highQuality, m_ui->qualityPicker->currentIndex() == 1);
    // The chosen cover again, in the new quality.
    if (const auto item = selectedItem()) {
        Q_EMIT itemChosen(*item);
    }
}

void SearchPane::countryPicked() {
    if (m_ui->countryPicker->currentIndex() < 0) {
        return;
    }
    m_settings.setValue(Settings::country, m_ui->countryPicker->currentData().toString());
    refreshMediaPicker();
}

void SearchPane::searchFieldCleared() {
    m_ui->searchField->setText(QString());
    clearSearchResults();
}

int SearchPane::selectedRow() const {
    const QModelIndexList rows = m_ui->tableView->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void SearchPane::selectionChanged() {
    if (const auto item = selectedItem()) {
        Q_EMIT itemChosen(*item);
        return;
    }
    Q_EMIT selectionCleared();
    if (selectedRow() >= 0) {
        showAlertLater(tr("The selected item has no cover to show."), true);
    }
}

std::optional<CoverItem> SearchPane::selectedItem() const {
    const int row = selectedRow();
    const auto& records = m_results->items();
    return row >= 0 && row < records.size() ? CoverItem::of(records.at(row)) : std::nullopt;
}

bool SearchPane::eventFilter(QObject* watched, QEvent* event) {
    auto* picker = qobject_cast<QComboBox*>(watched);
    if (picker == m_ui->mediaPicker && event->type() == QEvent::MouseButtonPress) {
        m_mediaStepped = false;
    }
    if (picker && event->type() == QEvent::Wheel && !picker->view()->isVisible()) {
        return true;
    }
    QTableView* table = m_ui->tableView;
    if (watched == table && event->type() == QEvent::FocusIn) {
        // Entered by the keyboard, the list shows its current row as chosen,
        // so that the next Down moves on from a row the user has seen.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const bool byKeyboard = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
        if (byKeyboard && m_model->rowCount() > 0 && !table->selectionModel()->hasSelection()) {
            table->selectRow(std::max(0, table->currentIndex().row()));
        }
    }
    if (event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    // Stepping through the closed media picker searches once the steps pause.
    m_mediaStepped = watched == m_ui->mediaPicker && !m_ui->mediaPicker->view()->isVisible();
    if (watched == m_ui->searchField) {
        if (key->key() == Qt::Key_Escape && !m_ui->searchField->text().isEmpty()) {
            m_ui->searchField->clear();
            return true;
        }
        if (key->key() == Qt::Key_Down && m_model->rowCount() > 0) {
            table->selectRow(0);
            table->setFocus(Qt::TabFocusReason);
            return true;
        }
    } else if (watched == table && key->modifiers() == Qt::NoModifier) {
        const int rows = m_model->rowCount();
        if (key->key() == Qt::Key_Escape ||
            (key->key() == Qt::Key_Up && table->currentIndex().row() <= 0)) {
            m_ui->searchField->setFocus(Qt::OtherFocusReason);
            m_ui->searchField->selectAll();
            return true;
        }
        if ((key->key() == Qt::Key_Home || key->key() == Qt::Key_End) && rows > 0) {
            table->selectRow(key->key() == Qt::Key_Home ? 0 : rows - 1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

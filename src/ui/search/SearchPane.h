#pragma once

#include "catalogue/CoverItem.h"
#include "library/AlbumScanner.h"
#include "sources/CoverSource.h"
#include "ui/search/ListOverlay.h"

#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>

namespace Ui {
class SearchView;
}
class AppContext;
class ResultListModel;
class SearchResultDelegate;
class Settings;
class SearchResults;
class QComboBox;
class QLineEdit;
class QTableView;
class ThumbnailLoader;

// The search pane: the search field, the media, quality and country pickers
// and the results table. It stores the user's choices, starts searches, shows
// the records they find and says which item is chosen.
class SearchPane : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMediaPauseMs = 400;

    explicit SearchPane(AppContext& context, QWidget* parent = nullptr);
    ~SearchPane() override;

    QLineEdit* searchField() const;
    QComboBox* mediaPicker() const;
    QComboBox* qualityPicker() const;
    QComboBox* countryPicker() const;
    QTableView* tableView() const;
    ThumbnailLoader* thumbnails() const { return m_thumbnails; }

    void clearSearchResults();
    void startSearch();
    // Searches the catalogue's albums for an album of the library, selects the
    // match a fill would take, and lets the cover pane save into its folder.
    void searchForAlbum(const AlbumFolder& album, const QString& coverName);
    void refreshMediaPicker();
    // A short hint (about something dropped), over an empty list, else as an alert.
    void showHint(const QString& text);
    // The message the list shows in place of results; empty when none.
    QString listMessage() const { return m_overlay->message(); }
    bool isSearching() const { return m_overlay->isSearching(); }
    // The chosen row's item; none without a chosen row.
    std::optional<CoverItem> selectedItem() const;
    const SearchResults& results() const { return *m_results; }

    // The user's actions.
    void mediaPicked();
    void qualityPicked();
    void countryPicked();
    void searchFieldCleared();

public Q_SLOTS:
    // Searches are for no library album any more.
    void leaveAlbum() { setAlbumTarget(std::nullopt); }
    // The search field takes the focus, its text selected.
    void focusSearchField();
    // Searches for `term` as typed (the album searched for is let go).
    void searchForTerm(const QString& term);
    // Thumbnails that failed are asked again.
    void retryFailedThumbnails();

Q_SIGNALS:
    // A row was chosen: its item is the cover to show (also again, when the
    // quality changes).
    void itemChosen(const CoverItem& item);
    // No row is chosen any more, or the chosen one has no cover.
    void selectionCleared();
    // The library album searched for, and the cover name to save it under;
    // none when the search is no longer for an album.
    void albumTargetChanged(const std::optional<AlbumFolder>& album, const QString& coverName);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillPickers();
    void selectionChanged();
    void searchEnded(SearchResultKind kind);
    int selectedRow() const;
    void showAlertLater(const QString& text, bool warning = false);
    void setAlbumTarget(const std::optional<AlbumFolder>& album, const QString& coverName = {});
    void selectTargetMatch();
    void selectLinkedItem();

    AppContext& m_context;
    Settings& m_settings;
    std::unique_ptr<Ui::SearchView> m_ui;
    SearchResultDelegate* m_delegate = nullptr;
    SearchResults* m_results = nullptr;
    ResultListModel* m_model = nullptr;
    ThumbnailLoader* m_thumbnails = nullptr;
    QString m_lastText;
    ListOverlay* m_overlay = nullptr;   // "Searching…" or a message over the list
    std::optional<AlbumFolder> m_album; // the library album searched for, if any
    QTimer m_mediaPause;                // a media kind stepped to by keys waits for this
    bool m_mediaStepped = false;
};

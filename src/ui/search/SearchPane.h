#pragma once

#include "library/AlbumScanner.h"
#include "ui/search/ListOverlay.h"

#include <QTimer>
#include <QVariantMap>
#include <QWidget>

#include <memory>
#include <optional>

namespace Ui {
class SearchView;
}
class ResultListModel;
class QComboBox;
class QLineEdit;
class QTableView;
class ThumbnailLoader;

// The search pane: the search field, the media, quality and country pickers
// and the results table. It stores the user's choices, starts searches, shows
// the records of the shared result list and tells the cover pane what to show
// through notifications.
class SearchPane : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMediaPauseMs = 400;

    explicit SearchPane(QWidget* parent = nullptr);
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
    void searchDidComplete();
    // A short hint (about something dropped), over an empty list, else as an alert.
    void showHint(const QString& text);
    // The message the list shows in place of results; empty when none.
    QString listMessage() const { return m_overlay->message(); }
    bool isSearching() const { return m_overlay->isSearching(); }
    QVariantMap selectedItemUserInfo() const;

    // The user's actions.
    void mediaPicked();
    void qualityPicked();
    void countryPicked();
    void searchFieldDidEndSearching();
    void selectionChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void viewDidLoad();
    int selectedRow() const;
    void showAlertLater(const QString& text, bool warning = false);
    void setAlbumTarget(const std::optional<AlbumFolder>& album, const QString& coverName = {});
    void selectTargetMatch();
    void selectLinkedItem();

    std::unique_ptr<Ui::SearchView> m_ui;
    ResultListModel* m_model = nullptr;
    ThumbnailLoader* m_thumbnails = nullptr;
    QString m_lastText;
    ListOverlay* m_overlay = nullptr;   // "Searching…" or a message over the list
    std::optional<AlbumFolder> m_album; // the library album searched for, if any
    QTimer m_mediaPause;                // a media kind stepped to by keys waits for this
    bool m_mediaStepped = false;
};

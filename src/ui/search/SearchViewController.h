#pragma once

#include "AlbumScanner.h"

#include <QVariantMap>
#include <QWidget>

#include <memory>
#include <optional>

namespace Ui {
class SearchView;
}
class AlbumObjectListModel;
class QComboBox;
class QLineEdit;
class QTableView;
class ThumbnailLoader;

// The search pane: the search field, the media, quality and country pickers
// and the results table. It stores the user's choices, starts searches, shows
// the records of the shared result list and tells the cover pane what to show
// through notifications.
class SearchViewController : public QWidget {
    Q_OBJECT
public:
    explicit SearchViewController(QWidget* parent = nullptr);
    ~SearchViewController() override;

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
    QVariantMap selectedItemUserInfo() const;

    // The user's actions.
    void mediaPicked();
    void qualityPicked();
    void countryPicked();
    void searchFieldDidEndSearching();
    void tableViewSelectionDidChange();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void viewDidLoad();
    int selectedRow() const;
    void showAlertLater(const QString& text, bool warning = false);
    void showSearching(bool searching);
    void setAlbumTarget(const std::optional<AlbumFolder>& album, const QString& coverName = {});
    void selectTargetMatch();

    std::unique_ptr<Ui::SearchView> m_ui;
    AlbumObjectListModel* m_model = nullptr;
    ThumbnailLoader* m_thumbnails = nullptr;
    QString m_lastText;
    QWidget* m_searching = nullptr;     // the busy indicator over the list
    std::optional<AlbumFolder> m_album; // the library album searched for, if any
};

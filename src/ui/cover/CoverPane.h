#pragma once

#include "imaging/CoverSession.h"
#include "library/AlbumScanner.h"
#include "platform/SharingServices.h"

#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>

namespace Ui {
class CoverView;
}
class AlbumBanner;
class AlbumTarget;
class AppContext;
class CoverActions;
class DraggableImageView;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;

// The cover pane: shows what its cover session says (the selected result's
// cover, its download, its failure), titles it, and carries out the cover
// actions: save, view, copy, share.
class CoverPane : public QWidget {
    Q_OBJECT
public:
    static QString copiedImage() { return tr("Copied Cover Image to Clipboard."); }
    static QString copiedUrl() { return tr("Copied Cover URL to Clipboard."); }
    static QString copiedTitle() { return tr("Copied Cover Title to Clipboard."); }
    static QString linkNotOpened() { return tr("Couldn't open the link"); }
    static QString noCover() {
        return tr("There is no cover to work with yet: select a result first.");
    }
    static constexpr int kStatusMilliseconds = 1500;

    explicit CoverPane(AppContext& context, QWidget* parent = nullptr);
    ~CoverPane() override;

    CoverSession* session() const { return m_session; }
    CoverActions* actions() const { return m_actions; }
    DraggableImageView* coverImageView() const;
    QProgressBar* progressIndicator() const;
    QLabel* progressTextField() const;
    QLabel* titleLabel() const;
    QLabel* coverFactsLabel() const;
    QLabel* failureLabel() const;
    QPushButton* tryAgainButton() const;
    QPushButton* cancelButton() const;
    QPushButton* viewButton() const;
    QPushButton* copyButton() const;
    QPushButton* shareButton() const;
    QPushButton* saveCoverButton() const;

    // The cover's context menu: the cover actions and Share; none without a file.
    QMenu* buildContextMenu();
    AlbumBanner* albumBanner() const { return m_banner; }
    // What a sharing service that failed is told: it says why in the title line.
    SharingService::Failed statusSaying();

public Q_SLOTS:
    // Shows the cover of `item` in the quality the settings say.
    void showItem(const CoverItem& item);
    void removeCover();
    // The library album a search is for: its cover can be saved into its
    // folder under `coverName`, or embedded into its files.
    void setAlbumTarget(const std::optional<AlbumFolder>& album, const QString& coverName);
    // A confirmation in the title line for a moment.
    void showStatus(const QString& message);

    // The cover actions.
    void saveCover();
    void saveCoverToDownloads();
    void viewCoverInBrowser();
    void viewCoverListing();
    void copyCoverImage();
    void copyCoverUrl();
    void copyCoverTitle();
    void saveIntoAlbumFolder();
    void embedIntoFiles();

Q_SIGNALS:
    // A save finished (tests wait on this); empty path on failure or cancel.
    void saveFinished(const QString& path);
    // Whether the shown cover's file can be shared (the menu bar's Share).
    void shareableChanged(bool shareable);
    // Try Again: failed thumbnails may be asked again too.
    void retryRequested();
    // The cover was saved into a library album's folder by hand.
    void albumCoverSaved(const QByteArray& folder, const QString& file);
    // The album banner's Done: searching is to be for no album any more.
    void albumSearchLeft();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setUpLayout();
    void setUpButtons();
    void connectSession();
    void connectActions();
    bool hasCover();
    void showState(CoverSession::State state);
    QString coverName(CoverSession::State state, bool withPreview) const;
    void showProgress(qint64 received, qint64 expected);
    void showFile(const QUrl& file);
    void showSaved(const CoverSession::SaveResult& result);
    void refreshActions();
    void openLink(const QUrl& link, const QUrl& fallback);
    void alert(const QString& text);

    AppContext& m_context;
    std::unique_ptr<Ui::CoverView> m_ui;
    CoverSession* m_session = nullptr;
    CoverActions* m_actions = nullptr;
    AlbumTarget* m_albumTarget = nullptr;
    AlbumBanner* m_banner = nullptr;
    QString m_title; // the title line's own text, under any status
    QTimer m_statusTimer;
};

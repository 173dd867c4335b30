#pragma once

#include "CoverLadder.h"
#include "ImageCodec.h"
#include "NotificationCenter.h"

#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class CoverView;
}
class DraggableImageView;
class QFileDialog;
class QLabel;
class QProgressBar;
class QPushButton;

// The cover pane: shows the cover of the selected result, from the cache or
// downloaded with a progress read-out, titles it, keeps the temporary cover
// file, and carries out the cover actions (save, view, copy, share).
class CoverViewController : public QWidget {
    Q_OBJECT
public:
    enum class State { Idle, Loading, Shown, Failed };

    // Asks where to save: calls `done` with the chosen path, or none when the
    // user cancelled. Replaceable so that tests can answer.
    using SaveDialog = std::function<void(QWidget* window, const QString& suggestedName,
                                          std::function<void(std::optional<QString>)> done)>;
    static void setSaveDialogForTesting(SaveDialog dialog);
    // The Save As dialog: JPEG files, ".jpg" added to a bare name, in the folder
    // saved to last, large enough to read its columns. Not shown yet.
    static QFileDialog* makeSaveDialog(QWidget* window, const QString& suggestedName);

    static inline const QString copiedImage = QStringLiteral("Copied Cover Image to Clipboard.");
    static inline const QString copiedUrl = QStringLiteral("Copied Cover URL to Clipboard.");
    static inline const QString copiedTitle = QStringLiteral("Copied Cover Title to Clipboard.");
    // With the name of the file saved.
    static inline const QString savedToDownloads = QStringLiteral("Saved “%1” to Downloads.");
    static inline const QString linkNotOpened = QStringLiteral("Couldn't open the link");
    static constexpr int kStatusMilliseconds = 1500;

    explicit CoverViewController(QWidget* parent = nullptr);
    ~CoverViewController() override;

    // The selection.
    std::optional<QString> artistName;
    std::optional<QUrl> artworkUrl;
    std::optional<qint64> collectionId;
    std::optional<QString> collectionName;
    std::optional<QString> entityString;
    std::optional<QUrl> iTunesUrl;
    std::optional<QUrl> webBrowserUrl;

    State state() const { return m_state; }
    DraggableImageView* coverImageView() const;
    QProgressBar* progressIndicator() const;
    QLabel* progressTextField() const;
    QLabel* titleLabel() const;
    QLabel* coverFactsLabel() const;
    QLabel* failureLabel() const;
    QPushButton* tryAgainButton() const;
    QPushButton* viewButton() const;
    QPushButton* copyButton() const;
    QPushButton* shareButton() const;
    QPushButton* saveCoverButton() const;

    void downloadCover(const Notification& notification);
    void removeCover();
    void coverAction(qint64 actionNumber);
    void saveCover();
    void saveCoverToDownloads();
    void showStatus(const QString& message);
    void updateProgress(qint64 receivedSize, qint64 expectedSize);

    // The progress text for an expected size, as the read-out shows it.
    static QString progressText(qint64 expectedSize);
    // The title line for a selection.
    static QString titleText(const std::optional<QString>& entity,
                             const std::optional<QString>& artist,
                             const std::optional<QString>& collection);
    // The listing item of the view menu for an entity kind; empty for none.
    static QString listingTitle(const std::optional<QString>& entity);

Q_SIGNALS:
    // A save finished (tests wait on this); empty path on failure or cancel.
    void saveFinished(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void viewDidLoad();
    void setupPopUpButtons();
    void updateInterface(bool enabled);
    void updateShareMenu(bool enabled);
    void withdrawTemporaryFile();
    void setControlsEnabled(bool enabled);
    void resetProgress(bool hidden);
    void showCover(const CoverImage& cover, const CoverRung& rung);
    void showFailure(const QString& reason);
    void startDownload(quint64 generation);
    void openLink(const std::optional<QUrl>& link, const std::optional<QUrl>& fallback);
    void copyImage(const QUrl& file);
    void fail(const QString& place);
    void viewButtonChose(int index);
    void copyButtonChose(int index);

    std::unique_ptr<Ui::CoverView> m_ui;
    State m_state = State::Idle;
    quint64 m_selection = 0;     // bumped by each selection and each removal
    quint64 m_interface = 0;     // bumped by each interface refresh
    QString m_title;             // the title line's own text, under any status
    QVariantMap m_selectionInfo; // the latest selection, for Try Again
    QList<CoverRung> m_rungs;    // where the selected cover can be had, best first
    CoverLoader* m_loader = nullptr;
    QTimer m_statusTimer;
};

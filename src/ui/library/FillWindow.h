#pragma once

#include "library/FillRun.h"

#include <QWidget>

class FillTable;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// Fill Covers in Folder: a library's albums as a fill works on them (folder,
// artist, album, what became of each, how it was found, its cover), what the
// run is doing and how long it has left, and the buttons that start, stop and
// continue it. An album without a confident match can be searched by hand in
// the main window, and its cover saved into its folder from there. The run
// works off the GUI thread's way.
class AppContext;

class FillWindow : public QWidget {
    Q_OBJECT
public:
    FillWindow(const FillOptions& options, AppContext& context, QWidget* parent = nullptr);
    ~FillWindow() override;
    QSize sizeHint() const override;

    FillTable* table() const { return m_table; }
    QPushButton* runButton() const { return m_runButton; }
    QPushButton* searchButton() const { return m_search; }
    bool isRunning() const { return m_run != nullptr; }

    // Starts a run (again: a continued run skips what is covered, and what its
    // journal remembers).
    void startRun();
    // Asks before stopping a run; true when the window may close.
    bool mayStop();

public Q_SLOTS:
    // A cover was saved by hand into `folder`: its row says so.
    void showSavedByHand(const QByteArray& folder, const QString& file);

Q_SIGNALS:
    // Search by Hand: the main window is to search for the album, its cover
    // saved under `coverName`.
    void searchByHandRequested(const AlbumFolder& album, const QString& coverName);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showAlbumFinished(const AlbumReport& report);
    void showRunEnded(FillRun::Ending ending, int remaining);
    // `doing` with the time left once the scan is over; a wait says its own time.
    void showProgress(const QString& doing, bool waiting = false);
    void searchByHand();
    void updateSearchButton();

    FillOptions m_options;
    AppContext& m_context;
    FillRun* m_run = nullptr;
    FillTable* m_table;
    QProgressBar* m_progress;
    QLabel* m_state;
    QLineEdit* m_name;
    QCheckBox* m_embed;
    QPushButton* m_runButton;
    QPushButton* m_search;
    QList<AlbumReport> m_reports; // of the run under way
    QString m_doing;              // what the run said it does, before the time left
};

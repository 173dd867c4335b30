#pragma once

#include "library/FillRun.h"

#include <QWidget>

#include <optional>

class CandidateStrip;
class FillOptionsBar;
class FillChooser;
class FillScan;
class FillTable;
class QLabel;
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

    FillTable* table() const { return m_table; }
    QPushButton* runButton() const { return m_runButton; }
    QPushButton* searchButton() const { return m_search; }
    CandidateStrip* candidateStrip() const { return m_candidates; }
    bool isRunning() const { return m_run != nullptr; }

    // Starts a run on the albums listed: those this window has not settled
    // yet, and those that failed. Before the list is complete, the albums are
    // read first and the run starts when they are.
    void startRun();
    // Reads the library's albums again (the cover name or the embedding
    // changed what counts as covered); what this window did is kept.
    void rescan();
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
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layOut();
    void connectControls();
    void showAlbumFinished(const AlbumReport& report);
    void showRunEnded(FillRun::Ending ending, int remaining);
    void showScanEnded(bool complete);
    void showSummary();
    // The line under the list, and what a screen reader hears of it.
    void say(const QString& text);
    // The name and embedding a scan and a run use; none when the name is refused.
    std::optional<FillOptions> chosenOptions();
    // `doing` with the time left once the scan is over; a wait says its own time.
    void showProgress(const QString& doing, bool waiting = false);
    void searchByHand();
    void updateSearchButton();

    FillOptions m_options;
    AppContext& m_context;
    FillRun* m_run = nullptr;
    FillScan* m_scan = nullptr;
    bool m_scanEnded = false;
    bool m_startWhenScanned = false;
    QList<int> m_runIndexes;                 // the run's albums, by their index in the list
    std::optional<FillRun::Ending> m_ending; // of the last run
    int m_remaining = 0;                     // albums the last run left
    FillTable* m_table;
    QProgressBar* m_progress;
    QLabel* m_state;
    FillOptionsBar* m_choices;
    CandidateStrip* m_candidates;
    QPushButton* m_restore;
    FillChooser* m_chooser;
    QPushButton* m_runButton;
    QPushButton* m_search;
    QPushButton* m_stopReading;
    QString m_doing; // what the run said it does, before the time left
};

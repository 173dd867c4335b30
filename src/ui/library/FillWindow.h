#pragma once

#include "FillRun.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

// Fill Covers in Folder: the albums of a library as they are worked on
// (folder, artist, album, what became of them, the chosen cover), a progress
// bar and Stop. An album without a confident match can be searched by hand in
// the main window. The run works off the GUI thread's way: scanning on a
// worker, the rest asynchronously.
class FillWindow : public QWidget {
    Q_OBJECT
public:
    enum Column { CoverColumn, FolderColumn, ArtistColumn, AlbumColumn, StatusColumn };

    explicit FillWindow(const FillOptions& options, QWidget* parent = nullptr);
    ~FillWindow() override;
    QSize sizeHint() const override;

    QTableWidget* table() const { return m_table; }
    QPushButton* stopButton() const { return m_stop; }
    QPushButton* searchButton() const { return m_search; }
    // "Saved", "Already had a cover", "No confident match (best: …)", ...
    static QString statusText(const AlbumReport& report);

private:
    void showAlbumStarted(const AlbumFolder& album);
    void showAlbumFinished(const AlbumReport& report);
    void showRunEnded(FillRun::Ending ending, int remaining);
    void searchByHand();

    QByteArray m_root;
    FillRun* m_run;
    QTableWidget* m_table;
    QProgressBar* m_progress;
    QLabel* m_state;
    QPushButton* m_stop;
    QPushButton* m_search;
    QList<AlbumReport> m_reports; // by row
};

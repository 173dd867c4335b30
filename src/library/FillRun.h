#pragma once

#include "AlbumMatcher.h"
#include "AlbumScanner.h"
#include "CatalogueSearch.h"
#include "CoverLadder.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QMutex>
#include <QObject>
#include <QTimer>
#include <QWaitCondition>

#include <atomic>
#include <deque>
#include <memory>
#include <optional>
#include <thread>

// What became of one album folder.
struct AlbumReport {
    enum class Status { Saved, Planned, HasCover, NoMatch, Failed };
    QString folder;
    QString artist;
    QString album;
    Status status = Status::Failed;
    QString file;                     // written, planned, or found there
    std::optional<AlbumObject> match; // the chosen (or best) catalogue album
    double score = 0;
    QString reason; // why it failed

    static QString statusName(Status status); // "saved", "planned", "has-cover", ...
    // One line of `sleevanta-cli fill --json`.
    QJsonObject toJson() const;
};

struct FillOptions {
    QByteArray root;          // the library's folder, as the file system names it
    bool dryRun = false;      // search and report, write nothing
    bool highQuality = false; // the resolution ladder; else the 600 rendition
    QString country = QStringLiteral("US");
    QString nameFormat;    // empty: the settings' cover file name
    int intervalMs = 3000; // the least time between two catalogue requests
};

// Fills a music library's missing covers: the albums are found by a scanner on
// a worker thread and worked on here, one at a time, in the order found. For
// each album without a cover the catalogue is searched (paced: at least the
// interval between requests; a rate limit waits ten, twenty, then forty
// intervals before it gives up), the best candidate is taken only when it
// matches confidently, and its cover is downloaded through the image service
// and written as a new file into the album's folder (written aside, then
// renamed to a name that must still be free). Nothing else is created or
// changed. A run that is stopped can simply be started again.
class FillRun : public QObject {
    Q_OBJECT
public:
    enum class Ending {
        Completed,   // every album was worked on
        RateLimited, // the catalogue kept refusing for its rate limit
        Unreachable, // the catalogue could not be reached, or failed
        Stopped,     // stop() was called
    };

    explicit FillRun(FillOptions options, QObject* parent = nullptr);
    ~FillRun() override;

    void start();
    void stop();

    int albumsFound() const { return m_found; }
    int albumsDone() const { return m_done; }
    bool scanFinished() const { return m_scanFinished; }
    // The cover file name for an album under the run's options.
    QString coverFileName(const QString& artist, const QString& album) const;

Q_SIGNALS:
    void albumStarted(const AlbumFolder& album);
    void albumFinished(const AlbumReport& report);
    void finished(FillRun::Ending ending, int remaining);

private:
    void scannerFound(const AlbumFolder& album);
    void next();
    void search(int attempt);
    void searched(const SearchOutcome& outcome, int attempt);
    void save(const AlbumObject& record, double score);
    void report(AlbumReport report);
    void finishRun(Ending ending);
    AlbumReport current() const;

    FillOptions m_options;
    std::atomic<bool> m_stop{false};
    std::thread m_scanner;
    mutable QMutex m_queueMutex;
    QWaitCondition m_queueSpace;
    std::deque<AlbumFolder> m_queue; // found, not yet worked on (bounded)
    std::atomic<int> m_found{0};
    int m_done = 0;
    std::atomic<bool> m_scanFinished{false};
    bool m_working = false;
    bool m_ended = false;
    AlbumFolder m_album; // the one worked on
    CatalogueSearch m_search;
    CoverLoader m_loader;
    QElapsedTimer m_lastRequest;
    int m_missedDeadlines = 0; // searches in a row that timed out
    QTimer m_wait;
};

Q_DECLARE_METATYPE(AlbumFolder)
Q_DECLARE_METATYPE(AlbumReport)

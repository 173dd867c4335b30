#pragma once

#include "library/AlbumMatcher.h"
#include "library/AlbumScanner.h"
#include "library/FillAnswers.h"
#include "library/FillJournal.h"
#include "library/FillOptions.h"
#include "library/FillPlanner.h"
#include "library/FillReport.h"
#include "sources/CoverSource.h"

#include <QHash>
#include <QObject>

#include <atomic>
#include <deque>
#include <memory>
#include <optional>

class FillPacer;
class FillScan;
class FillSaver;
class ImageService;

// Fills a music library's missing covers. The scanner walks the library on a
// worker thread; albums that need no request (covered, mixed, unknown) are
// told at once. Then the catalogue is asked, in as few paced requests as it
// takes: the albums' exact ids and barcodes, many to a request; then one
// listing for each artist with several albums; then a search for each album
// still open. A confident match's cover is written as a new file (and, when
// asked, embedded) by the saver. A rate limit is waited out three times (ten,
// twenty, then forty intervals) before the run gives up; three searches in a
// row that the catalogue takes and never answers end it too. What the
// catalogue did not match is remembered in the library's journal, so that a
// later run does not ask again for a while. When the catalogue can no longer
// be asked, what needs no request (a cover file on disk to embed, a cover
// already chosen) is still finished before the run ends. A stopped run
// abandons the file under way, tells what was done, and can simply be
// started again.
class FillRun : public QObject {
    Q_OBJECT
public:
    enum class Ending {
        Completed,   // every album was worked on
        RateLimited, // the catalogue kept refusing for its rate limit
        Unreachable, // the catalogue could not be reached, failed, or never answered
        Stopped,     // stop() was called
    };

    // Asks `source`, and fetches covers through `images`.
    FillRun(FillOptions options, const CoverSource& source, ImageService& images,
            QObject* parent = nullptr);
    ~FillRun() override;

    // Reads the library, then works on its albums.
    void start();
    // Works on albums read already (in this order: the reports' indexes).
    void start(const QList<AlbumFolder>& albums);
    void stop();

    const FillOptions& options() const { return m_options; }
    int albumsFound() const { return int(m_albums.size()); }
    int albumsDone() const { return m_done; }
    bool scanFinished() const { return m_scanFinished; }
    // The catalogue requests still to come, as far as they can be told.
    int requestsLeft() const;

Q_SIGNALS:
    void albumFound(const AlbumFolder& album, int index);
    void albumFinished(const AlbumReport& report);
    // What the run is doing now: "Listing the albums of …", "Searching “…”".
    void working(const QString& what);
    // Waiting out the catalogue's rate limit: the seconds left, every second.
    void waiting(int secondsLeft, const QString& why);
    // Something to say once ("the journal is damaged", ...).
    void notice(const QString& text);
    void finished(FillRun::Ending ending, int remaining);

private:
    void loadJournal();
    void scanned(const AlbumFolder& album);
    void readingFinished();
    void settle(int index);
    void planNext();
    QList<CatalogueRequest> requestsFor(FillStage stage, const QString& storefront,
                                        const QList<int>& waiting);
    QString storefrontOf(int index) const;
    void sendNext();
    void answered(const CatalogueRequest& request, const SearchOutcome& outcome);
    void apply(const QList<AnswerVerdict>& verdicts);
    void take(int index, const CatalogueItem& record, double score, FoundVia via);
    void noMatch(int index, const std::optional<AlbumMatcher::Match>& best, FoundVia via);
    void report(AlbumReport report);
    AlbumReport reportFor(int index) const;
    void finishIfDone();
    void stopAsking();
    void endAsking(Ending ending);
    void finishRun(Ending ending);

    FillOptions m_options;
    const CoverSource& m_source;
    SourceClient* m_client;
    FillScan* m_scan = nullptr; // when the run reads the library itself
    bool m_scanFinished = false;
    QList<AlbumFolder> m_albums;
    FillAnswers m_answers;
    QHash<QString, qint64> m_knownArtists; // artist ids learnt from answers
    QList<FillStage> m_stages;
    QList<QStringList> m_storefronts; // by album: where it is still to be asked, in turn
    QList<QString> m_notes;           // by album: what else there is to tell of it
    std::deque<CatalogueRequest> m_requests;
    bool m_asking = false; // a request is on its way
    int m_done = 0;
    int m_missedDeadlines = 0;
    bool m_ended = false;
    bool m_stopping = false;                 // stop() was called: the saver is winding up
    std::optional<Ending> m_catalogueEnding; // the catalogue can no longer be asked
    FillJournal m_journal;
    FillSaver* m_saver = nullptr;
    FillPacer* m_pacer;
};

Q_DECLARE_METATYPE(AlbumFolder)

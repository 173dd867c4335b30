#pragma once

#include "imaging/CoverLadder.h"
#include "imaging/ImageService.h"
#include "library/AlbumScanner.h"
#include "library/FillOptions.h"
#include "library/FillReport.h"

#include <QObject>

#include <atomic>
#include <deque>
#include <memory>
#include <optional>

// The writing end of a fill: one album at a time, it downloads the chosen
// cover (through the image service and its disk cache), writes it as a new
// file into the album's folder and its disc folders (never replacing one),
// and embeds it into the album's files when asked. An album that has a cover
// file is only embedded, unless its small covers are upgraded or a person
// chose another (what they replace is kept aside). Files are written on a
// worker.
class FillSaver : public QObject {
    Q_OBJECT
public:
    enum class Writing {
        New,     // a new cover file, never replacing one
        Upgrade, // a larger rendition of the same picture in place of small ones
        Choose,  // a person's choice, in place of whatever cover it has
    };
    struct Job {
        AlbumReport report; // what is known so far
        AlbumFolder album;
        std::optional<CatalogueItem> record; // none: embed the album's own cover file
        Writing writing = Writing::New;
    };
    // Set to abandon the file under way; shared with the workers, which may
    // outlive the saver.
    using Halt = std::shared_ptr<std::atomic<bool>>;

    FillSaver(const FillOptions& options, ImageService& images, const CoverSource& source,
              Halt halt, QObject* parent = nullptr);

    // The cover's file name for an album: the run's name, its tokens filled in.
    static QString coverNameFor(const FillOptions& options, const AlbumFolder& album);

    void add(Job job);
    bool isIdle() const { return !m_busy && m_jobs.empty(); }
    // Drops the jobs not begun and abandons the one under way as soon as it
    // can; what that one did is still told, then stopped() follows.
    void stop();

Q_SIGNALS:
    void saved(const AlbumReport& report);
    void notice(const QString& text);
    void stopped();

private:
    void startNextJob();
    void download(Job job);
    void writeOnWorker(Job job, QByteArray coverBytes);
    void finish(const std::optional<AlbumReport>& report);

    FillOptions m_options;
    const CoverSource& m_source;
    Halt m_halt;
    CoverLoader m_loader;
    std::deque<Job> m_jobs;
    bool m_busy = false;
    bool m_stopped = false;
};

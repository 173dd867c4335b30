#pragma once

#include "AlbumScanner.h"
#include "CoverLadder.h"
#include "FillOptions.h"
#include "FillReport.h"

#include <QObject>

#include <deque>
#include <optional>

// The writing end of a fill: one album at a time, it downloads the chosen
// cover (through the image service and its disk cache), writes it as a new
// file into the album's folder and its disc folders (never replacing one),
// and embeds it into the album's files when asked. An album that has a cover
// file is only embedded. Files are written on a worker.
class FillSaver : public QObject {
    Q_OBJECT
public:
    struct Job {
        AlbumReport report; // what is known so far
        AlbumFolder album;
        std::optional<AlbumObject> record; // none: embed the album's own cover file
    };

    FillSaver(const FillOptions& options, QObject* parent = nullptr);

    // The cover's file name for an album: the run's name, its tokens filled in.
    static QString coverNameFor(const FillOptions& options, const AlbumFolder& album);

    void add(Job job);
    bool isIdle() const { return !m_busy && m_jobs.empty(); }
    void stop();

Q_SIGNALS:
    void saved(const AlbumReport& report);

private:
    void next();
    void download(Job job);
    void write(Job job, QByteArray coverBytes);
    void done(const AlbumReport& report);

    FillOptions m_options;
    CoverLoader m_loader;
    std::deque<Job> m_jobs;
    bool m_busy = false;
    bool m_stopped = false;
};

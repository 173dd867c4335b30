#include "library/FillScan.h"

#include "library/FillJournal.h"
#include "library/FillTriage.h"

FillScan::FillScan(FillOptions options, SourceCapabilities can, QObject* parent)
    : QObject(parent), m_options(std::move(options)), m_can(can) {}

FillScan::~FillScan() {
    stop();
}

void FillScan::start() {
    ScanOptions scan;
    scan.coverName = m_options.coverName;
    scan.readCoveredTags = m_options.embed;
    scan.upgradeBelow = m_options.upgradeBelow;
    scan.removeScratch = !m_options.dryRun;
    m_worker = std::thread([this, scan] {
        const AlbumScanner scanner(scan);
        const FillJournal noJournal(m_options.root); // what it remembers is the run's to tell
        const QList<QByteArray> folders =
            m_options.folders.isEmpty() ? QList<QByteArray>{m_options.root} : m_options.folders;
        for (const QByteArray& folder : folders) {
            scanner.scan(
                folder,
                [this, &noJournal](const AlbumFolder& album) {
                    // Told here, on the worker: a cover name with tokens is
                    // looked for on disk.
                    AlbumReport told;
                    told.folder = album.path;
                    told.artist = album.artist();
                    told.album = album.album();
                    const FillTriage triage =
                        FillTriage::of(album, told, m_options, noJournal, m_can);
                    QMetaObject::invokeMethod(
                        this, [this, album, triage] { found(album, triage); },
                        Qt::QueuedConnection);
                },
                m_stop);
        }
        const bool complete = !m_stop.load();
        QMetaObject::invokeMethod(
            this,
            [this, complete] {
                m_complete = complete;
                Q_EMIT finished(complete);
            },
            Qt::QueuedConnection);
    });
}

void FillScan::stop() {
    m_stop = true;
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

void FillScan::found(const AlbumFolder& album, FillTriage triage) {
    if (m_stop.load()) {
        return;
    }
    const int index = int(m_albums.size());
    m_albums.append(album);
    triage.report.index = index;
    Q_EMIT albumFound(album, index, triage.report, triage.step != FillTriage::Step::Ask);
}

#include "library/FillRun.h"

#include "library/FillPacer.h"
#include "library/FillSaver.h"
#include "library/FillScan.h"
#include "library/FillTriage.h"

#include <QDateTime>

#include <algorithm>

FillRun::FillRun(FillOptions options, const CoverSource& source, ImageService& images,
                 QObject* parent)
    : QObject(parent), m_options(std::move(options)), m_source(source),
      m_client(source.newClient(this)), m_answers(m_albums, source), m_journal(m_options.root),
      m_saver(new FillSaver(m_options, images, source, std::make_shared<std::atomic<bool>>(false),
                            this)),
      m_pacer(new FillPacer(m_options.intervalMs, source.etiquette(), this)) {
    qRegisterMetaType<AlbumFolder>();
    qRegisterMetaType<AlbumReport>();
    connect(m_pacer, &FillPacer::ready, this, &FillRun::sendNext);
    connect(m_pacer, &FillPacer::waiting, this, &FillRun::waiting);
    connect(m_saver, &FillSaver::saved, this, [this](const AlbumReport& saved) {
        report(saved);
        finishIfDone();
    });
    connect(m_saver, &FillSaver::notice, this, &FillRun::notice);
    connect(m_saver, &FillSaver::stopped, this, [this] {
        if (m_stopping) {
            finishRun(Ending::Stopped);
        }
    });
}

FillRun::~FillRun() {
    if (m_scan) {
        m_scan->stop();
    }
    m_stopping = true;
    m_saver->stop(); // its worker, if any, finishes on its own
    finishRun(Ending::Stopped);
}

int FillRun::requestsLeft() const {
    if (!m_requests.empty() || m_asking) {
        // The stage under way first; what follows it is not yet known.
        return int(m_requests.size()) + (m_asking ? 1 : 0);
    }
    QList<int> names;
    int searches = 0;
    for (qsizetype i = 0; i < m_stages.size(); ++i) {
        if (m_stages[i] == FillStage::Ids || m_stages[i] == FillStage::Names) {
            names.append(int(i));
        }
        searches += m_stages[i] == FillStage::Search;
    }
    return int(FillPlanner::nameRequests(m_albums, names, m_options.listings,
                                         m_source.capabilities())
                   .size()) +
           searches;
}

void FillRun::start(const QList<AlbumFolder>& albums) {
    loadJournal();
    QMetaObject::invokeMethod(
        this,
        [this, albums] {
            for (const AlbumFolder& album : albums) {
                scanned(album);
            }
            readingFinished();
        },
        Qt::QueuedConnection);
}

void FillRun::start() {
    loadJournal();
    m_scan = new FillScan(m_options, m_source.capabilities(), this);
    connect(m_scan, &FillScan::albumFound, this, &FillRun::scanned);
    // Told after the albums found: the run never ends with one on its way.
    connect(m_scan, &FillScan::finished, this, &FillRun::readingFinished);
    m_scan->start();
}

void FillRun::loadJournal() {
    if (const QString warning = m_journal.load(); !warning.isEmpty()) {
        Q_EMIT notice(warning);
    }
}

void FillRun::readingFinished() {
    m_scanFinished = true;
    planNext();
}

void FillRun::stop() {
    if (m_scan) {
        m_scan->stop();
    }
    if (m_ended || m_stopping) {
        return;
    }
    m_stopping = true;
    stopAsking();
    // The file under way is abandoned; the run ends once its album is told.
    m_saver->stop();
}

void FillRun::stopAsking() {
    m_requests.clear();
    m_client->cancel();
    m_asking = false;
    m_pacer->stop();
}

// The catalogue cannot be asked any more: what needs no request (covers on
// disk to embed, downloads already chosen) is still finished.
void FillRun::endAsking(Ending ending) {
    m_catalogueEnding = ending;
    stopAsking();
    finishIfDone();
}

void FillRun::scanned(const AlbumFolder& album) {
    if (m_ended || m_stopping) {
        return;
    }
    const int index = int(m_albums.size());
    m_albums.append(album);
    m_stages.append(FillStage::Done);
    m_storefronts.append(QStringList());
    m_notes.append(
        album.slowFiles.isEmpty()
            ? QString()
            : tr("tags took too long to read: %1").arg(album.slowFiles.join(QStringLiteral(", "))));
    Q_EMIT albumFound(album, index);
    settle(index);
}

// What can be told of an album without asking the catalogue, or which stage
// of requests it starts in.
void FillRun::settle(int index) {
    const FillTriage triage = FillTriage::of(m_albums[index], reportFor(index), m_options,
                                             m_journal, m_source.capabilities());
    switch (triage.step) {
    case FillTriage::Step::Report:
        report(triage.report);
        break;
    case FillTriage::Step::EmbedCoverFile:
        m_saver->add({triage.report, m_albums[index], std::nullopt});
        break;
    case FillTriage::Step::Ask:
        m_stages[index] = triage.stage;
        m_storefronts[index] = triage.storefronts;
        break;
    }
}

AlbumReport FillRun::reportFor(int index) const {
    AlbumReport report;
    report.index = index;
    report.folder = m_albums[index].path;
    report.artist = m_albums[index].artist();
    report.album = m_albums[index].album();
    report.reason = m_notes[index];
    return report;
}

// When no request is left: the next stage's requests, for the albums that
// wait for it.
void FillRun::planNext() {
    if (m_ended || m_stopping || m_catalogueEnding || !m_scanFinished || m_asking) {
        finishIfDone();
        return;
    }
    if (!m_requests.empty()) {
        sendNext();
        return;
    }
    for (const FillStage stage : {FillStage::Ids, FillStage::Names, FillStage::Search}) {
        // Each storefront's albums are asked about together, in the order met.
        QList<std::pair<QString, QList<int>>> waiting;
        for (qsizetype i = 0; i < m_stages.size(); ++i) {
            const auto group = std::find_if(waiting.begin(), waiting.end(),
                                            [&](auto& g) { return g.first == storefrontOf(i); });
            if (m_stages[i] == stage) {
                (group != waiting.end() ? group->second
                                        : waiting.emplaceBack(storefrontOf(i), QList<int>()).second)
                    .append(int(i));
            }
        }
        for (const auto& [storefront, albums] : std::as_const(waiting)) {
            const QList<CatalogueRequest> requests = requestsFor(stage, storefront, albums);
            m_requests.insert(m_requests.end(), requests.begin(), requests.end());
        }
        if (!m_requests.empty()) {
            break;
        }
    }
    sendNext();
    finishIfDone();
}

// The requests of one stage for `waiting` in `storefront`; an album its
// source cannot look up by id goes on by name.
QList<CatalogueRequest> FillRun::requestsFor(FillStage stage, const QString& storefront,
                                             const QList<int>& waiting) {
    QList<CatalogueRequest> requests;
    const SourceCapabilities can = m_source.capabilities();
    if (stage == FillStage::Names) {
        requests =
            FillPlanner::nameRequests(m_albums, waiting, m_options.listings, can, m_knownArtists);
    } else if (stage == FillStage::Ids) {
        requests = FillPlanner::idRequests(m_albums, waiting, m_answers.barcodeEach(), can);
        for (const int index : waiting) {
            if (!FillTriage::exactlyKnown(m_albums[index], can)) {
                m_stages[index] = FillStage::Names;
            }
        }
    } else {
        for (const int index : waiting) {
            requests.append(FillPlanner::searchFor(m_albums, index));
        }
    }
    for (CatalogueRequest& request : requests) {
        request.storefront = storefront;
    }
    return requests;
}

QString FillRun::storefrontOf(int index) const {
    return m_storefronts[index].value(0, m_options.country);
}

void FillRun::sendNext() {
    if (m_ended || m_stopping || m_catalogueEnding || m_asking || m_requests.empty() ||
        m_pacer->isWaiting()) {
        finishIfDone();
        return;
    }
    if (!m_pacer->mayAskNow()) {
        return;
    }
    const CatalogueRequest request = m_requests.front();
    m_asking = true;
    m_pacer->asked();
    Q_EMIT working(request.description());
    m_client->run(request.toSource(request.storefront),
                  [this, request](const SearchOutcome& outcome) { answered(request, outcome); });
}

void FillRun::report(AlbumReport told) {
    if (m_ended) {
        return;
    }
    ++m_done;
    using Status = AlbumReport::Status;
    if (!m_options.dryRun && told.index >= 0 && told.status != Status::Failed &&
        told.status != Status::Skipped && !told.remembered) {
        m_journal.record(m_albums[told.index], AlbumReport::statusName(told.status),
                         storefrontOf(told.index), QDateTime::currentDateTimeUtc(), told.rivals);
    }
    Q_EMIT albumFinished(told);
}

void FillRun::finishIfDone() {
    if (m_ended || m_stopping || !m_scanFinished || !m_requests.empty() || m_asking ||
        !m_saver->isIdle()) {
        return;
    }
    const bool allDone = std::none_of(m_stages.begin(), m_stages.end(),
                                      [](FillStage s) { return s != FillStage::Done; });
    if (allDone || m_catalogueEnding) {
        finishRun(m_catalogueEnding.value_or(Ending::Completed));
    }
}

void FillRun::finishRun(Ending ending) {
    if (m_ended) {
        return;
    }
    m_ended = true;
    if (m_scan) {
        m_scan->stop();
    }
    stopAsking();
    if (!m_options.dryRun && m_journal.hasChanges() && !m_journal.save()) {
        Q_EMIT notice(tr("The journal %1 could not be written.").arg(m_journal.filePath()));
    }
    Q_EMIT finished(ending, int(m_albums.size()) - m_done);
}

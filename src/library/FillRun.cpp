#include "library/FillRun.h"

#include "library/FillSaver.h"

#include <QDateTime>
#include <QFile>
#include <QSet>

#include <algorithm>
#include <sys/stat.h>

namespace {} // namespace

FillRun::FillRun(FillOptions options, const CoverSource& source, ImageService& images,
                 QObject* parent)
    : QObject(parent), m_options(std::move(options)), m_source(source),
      m_client(source.newClient(this)), m_answers(m_albums, source), m_journal(m_options.root),
      m_saver(new FillSaver(m_options, images, source, std::make_shared<std::atomic<bool>>(false),
                            this)) {
    qRegisterMetaType<AlbumFolder>();
    qRegisterMetaType<AlbumReport>();
    m_wait.setSingleShot(true);
    m_wait.setTimerType(Qt::PreciseTimer); // pacing is "at least": never early
    connect(&m_wait, &QTimer::timeout, this, &FillRun::sendNext);
    m_countdown.setInterval(1000);
    connect(&m_countdown, &QTimer::timeout, this, [this] {
        if (--m_secondsLeft > 0) {
            Q_EMIT waiting(m_secondsLeft, tr("the catalogue asks us to slow down"));
        }
    });
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
    m_stop = true;
    if (m_scanner.joinable()) {
        m_scanner.join();
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

void FillRun::start() {
    if (const QString warning = m_journal.load(); !warning.isEmpty()) {
        Q_EMIT notice(warning);
    }
    ScanOptions scan;
    scan.coverName = m_options.coverName;
    scan.readCoveredTags = m_options.embed;
    scan.removeScratch = !m_options.dryRun;
    m_scanner = std::thread([this, scan] {
        const AlbumScanner scanner(scan);
        const QList<QByteArray> folders =
            m_options.folders.isEmpty() ? QList<QByteArray>{m_options.root} : m_options.folders;
        for (const QByteArray& folder : folders) {
            scanner.scan(
                folder,
                [this](const AlbumFolder& album) {
                    QMetaObject::invokeMethod(
                        this, [this, album] { scanned(album); }, Qt::QueuedConnection);
                },
                m_stop);
        }
        // Told in order after the albums found: the run never ends with one
        // of them still on its way.
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_scanFinished = true;
                planNext();
            },
            Qt::QueuedConnection);
    });
}

void FillRun::stop() {
    m_stop = true;
    if (m_scanner.joinable()) {
        m_scanner.join();
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
    m_wait.stop();
    m_countdown.stop();
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
    m_notes.append(
        album.slowFiles.isEmpty()
            ? QString()
            : tr("tags took too long to read: %1").arg(album.slowFiles.join(QStringLiteral(", "))));
    Q_EMIT albumFound(album, index);
    settle(index);
}

// A name with tokens is the album's own: the scanner cannot know it.
bool FillRun::namedCoverExists(const AlbumFolder& album) const {
    if (!m_options.coverName.contains(QLatin1String("%{"))) {
        return false;
    }
    struct stat info {};
    const QByteArray path =
        album.nativePath + '/' + QFile::encodeName(FillSaver::coverNameFor(m_options, album));
    return ::lstat(path.constData(), &info) == 0;
}

// What can be told of an album without asking the catalogue, or which stage
// of requests it starts in.
void FillRun::settle(int index) {
    const AlbumFolder& album = m_albums[index];
    AlbumReport told = reportFor(index);
    using Kind = AlbumTags::Identity::Kind;
    if (!album.problem.isEmpty()) {
        told.reason = album.problem;
    } else if (album.identity.kind == Kind::Unknown && !album.slowFiles.isEmpty()) {
        told.status = AlbumReport::Status::Skipped;
    } else if (album.identity.kind == Kind::Mixed) {
        told.status = AlbumReport::Status::Mixed;
        told.albums = album.identity.albums;
    } else if (!album.existingCover.isEmpty() || album.embeddedCovers || namedCoverExists(album)) {
        told.status = AlbumReport::Status::HasCover;
        told.file = album.existingCover.isEmpty() ? FillSaver::coverNameFor(m_options, album)
                                                  : album.existingCover;
        if (m_options.embed && !album.existingCover.isEmpty() && !album.uncoveredFiles.isEmpty()) {
            m_saver->add({told, album, std::nullopt});
            return;
        }
    } else if (album.identity.kind == Kind::Unknown) {
        told.status = AlbumReport::Status::NoMatch;
        told.reason = tr("neither tags nor folder names say which album it is");
    } else if (const auto entry = m_options.retry
                                      ? std::nullopt
                                      : m_journal.remembered(album, m_options.country,
                                                             QDateTime::currentDateTimeUtc())) {
        told.status = entry->outcome == QLatin1String("ambiguous") ? AlbumReport::Status::Ambiguous
                                                                   : AlbumReport::Status::NoMatch;
        told.remembered = true;
        told.reason = tr("no confident match on %1; --retry asks again")
                          .arg(entry->when.date().toString(Qt::ISODate));
    } else {
        const SourceCapabilities can = m_source.capabilities();
        const bool exact = (album.identity.collectionId > 0 && can.idLookups) ||
                           (!album.identity.barcode.isEmpty() && can.barcodeLookups);
        m_stages[index] = exact ? FillStage::Ids : FillStage::Names;
        return;
    }
    report(told);
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
        QList<int> waiting;
        for (qsizetype i = 0; i < m_stages.size(); ++i) {
            if (m_stages[i] == stage) {
                waiting.append(int(i));
            }
        }
        if (waiting.isEmpty()) {
            continue;
        }
        QList<CatalogueRequest> requests;
        if (stage == FillStage::Ids) {
            requests = FillPlanner::idRequests(m_albums, waiting, m_answers.barcodeEach(),
                                               m_source.capabilities());
            // What the source cannot look up goes on by name.
            QSet<int> asked;
            for (const CatalogueRequest& request : std::as_const(requests)) {
                asked.unite(QSet<int>(request.albums.begin(), request.albums.end()));
            }
            for (const int index : waiting) {
                if (!asked.contains(index)) {
                    m_stages[index] = FillStage::Names;
                }
            }
            if (requests.isEmpty()) {
                continue;
            }
        } else if (stage == FillStage::Names) {
            requests = FillPlanner::nameRequests(m_albums, waiting, m_options.listings,
                                                 m_source.capabilities(), m_knownArtists);
        } else {
            for (const int index : waiting) {
                requests.append(FillPlanner::searchFor(m_albums, index));
            }
        }
        m_requests.insert(m_requests.end(), requests.begin(), requests.end());
        break;
    }
    sendNext();
    finishIfDone();
}

void FillRun::sendNext() {
    if (m_ended || m_stopping || m_catalogueEnding || m_asking || m_requests.empty() ||
        m_wait.isActive()) {
        finishIfDone();
        return;
    }
    // Paced: never two catalogue requests closer than the interval.
    const qint64 waited = m_lastRequest.isValid() ? m_lastRequest.elapsed() : m_options.intervalMs;
    if (waited < m_options.intervalMs) {
        m_wait.start(int(m_options.intervalMs - waited));
        return;
    }
    const CatalogueRequest request = m_requests.front();
    m_asking = true;
    m_lastRequest.start();
    Q_EMIT working(request.description());
    m_client->run(request.toSource(m_options.country),
                  [this, request](const SearchOutcome& outcome) { answered(request, outcome); });
}

void FillRun::answered(const CatalogueRequest& request, const SearchOutcome& outcome) {
    m_asking = false;
    m_missedDeadlines = outcome.kind == SearchResultKind::TimedOut ? m_missedDeadlines + 1 : 0;
    switch (outcome.kind) {
    case SearchResultKind::Throttled:
        if (!backOff(request)) {
            endAsking(Ending::RateLimited);
        }
        return;
    case SearchResultKind::Offline:
    case SearchResultKind::Unavailable:
        endAsking(Ending::Unreachable);
        return;
    case SearchResultKind::TimedOut:
        if (m_missedDeadlines >= m_source.etiquette().missedDeadlinesToStop) {
            endAsking(Ending::Unreachable);
            return;
        }
        m_requests.pop_front();
        apply(m_answers.fallBack(
            request, tr("the catalogue did not answer in time (%1)").arg(outcome.detail)));
        break;
    case SearchResultKind::UrlNotFormed:
    case SearchResultKind::AnswerUnreadable:
    case SearchResultKind::NotASearchResult:
        m_requests.pop_front();
        apply(m_answers.fallBack(request, tr("the catalogue's answer could not be read")));
        break;
    case SearchResultKind::Completed:
        m_requests.pop_front();
        m_backOffs = 0;
        const FillAnswers::Answered answered = m_answers.take(request, outcome.records);
        if (!answered.notice.isEmpty()) {
            Q_EMIT notice(answered.notice);
        }
        for (auto it = answered.first.rbegin(); it != answered.first.rend(); ++it) {
            m_requests.push_front(*it);
        }
        m_requests.insert(m_requests.end(), answered.later.begin(), answered.later.end());
        apply(answered.verdicts);
        break;
    }
    planNext();
}

// Waits out the rate limit before the same request goes again; false when
// the waits are spent.
bool FillRun::backOff(const CatalogueRequest&) {
    const QList<int> backOffs = m_source.etiquette().backOffs;
    if (m_backOffs >= backOffs.size()) {
        return false;
    }
    const qint64 waitMs = qint64(backOffs[m_backOffs++]) * m_options.intervalMs;
    m_secondsLeft = int((waitMs + 999) / 1000);
    Q_EMIT waiting(m_secondsLeft, tr("the catalogue asks us to slow down"));
    m_countdown.start();
    QTimer::singleShot(std::chrono::milliseconds(waitMs), this, [this] {
        m_countdown.stop();
        m_lastRequest.invalidate();
        sendNext();
    });
    return true;
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
                         m_options.country, QDateTime::currentDateTimeUtc());
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
    m_stop = true;
    stopAsking();
    if (!m_options.dryRun && m_journal.hasChanges() && !m_journal.save()) {
        Q_EMIT notice(tr("The journal %1 could not be written.").arg(m_journal.filePath()));
    }
    Q_EMIT finished(ending, int(m_albums.size()) - m_done);
}

// What the answers decided, done: covers taken to the saver, albums told,
// the rest sent on to their next stage.
void FillRun::apply(const QList<AnswerVerdict>& verdicts) {
    for (const AnswerVerdict& verdict : verdicts) {
        const int index = verdict.index;
        switch (verdict.kind) {
        case AnswerVerdict::Kind::Take:
            take(index, *verdict.record, verdict.score, verdict.via);
            break;
        case AnswerVerdict::Kind::NoMatch:
            noMatch(index, verdict.best, verdict.via);
            break;
        case AnswerVerdict::Kind::Fail: {
            AlbumReport failed = reportFor(index);
            failed.reason = verdict.note;
            m_stages[index] = FillStage::Done;
            report(failed);
            break;
        }
        case AnswerVerdict::Kind::MoveOn:
            if (!verdict.note.isEmpty()) {
                m_notes[index] = verdict.note;
            }
            m_stages[index] = verdict.next;
            break;
        }
    }
}

void FillRun::take(int index, const CatalogueItem& record, double score, FoundVia via) {
    m_stages[index] = FillStage::Done;
    if (record.artistId() != 0 && !m_albums[index].artist().isEmpty()) {
        // The artist's other albums can be listed by this id.
        m_knownArtists.insert(FillPlanner::artistKey(m_albums[index]), record.artistId());
    }
    AlbumReport found = reportFor(index);
    found.match = record;
    found.score = score;
    found.via = via;
    found.file = FillSaver::coverNameFor(m_options, m_albums[index]);
    m_saver->add({found, m_albums[index], record});
}

void FillRun::noMatch(int index, const std::optional<AlbumMatcher::Match>& best, FoundVia via) {
    m_stages[index] = FillStage::Done;
    AlbumReport unmatched = reportFor(index);
    unmatched.status =
        best && best->ambiguous ? AlbumReport::Status::Ambiguous : AlbumReport::Status::NoMatch;
    unmatched.via = via;
    if (best) {
        unmatched.match = best->record;
        unmatched.score = best->score;
        unmatched.rivals = best->rivals;
    }
    report(unmatched);
}

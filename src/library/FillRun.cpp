#include "FillRun.h"

#include "CoverFileName.h"
#include "CoverFileWriter.h"
#include "ImageService.h"
#include "StoredSettings.h"

#include <QFile>
#include <QFutureWatcher>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Albums found ahead of the one worked on: enough to keep going, few enough
// that a library of any size takes no more memory.
constexpr size_t kQueueLength = 64;

// A rate limit is waited out three times: ten, twenty, then forty intervals.
constexpr int kBackOffs[] = {10, 20, 40};

// Searches in a row that the catalogue took and never answered before the run stops.
constexpr int kMissedDeadlinesToStop = 3;

} // namespace

QString AlbumReport::statusName(Status status) {
    switch (status) {
    case Status::Saved:
        return QStringLiteral("saved");
    case Status::Planned:
        return QStringLiteral("planned");
    case Status::HasCover:
        return QStringLiteral("has-cover");
    case Status::NoMatch:
        return QStringLiteral("no-match");
    case Status::Failed:
        return QStringLiteral("failed");
    }
    return {};
}

QJsonObject AlbumReport::toJson() const {
    QJsonObject json{{QStringLiteral("folder"), folder},
                     {QStringLiteral("artist"), artist},
                     {QStringLiteral("album"), album},
                     {QStringLiteral("status"), statusName(status)}};
    if (!file.isEmpty() && status != Status::HasCover) {
        json[QStringLiteral("file")] = file;
    }
    if (match) {
        json[QStringLiteral("match")] =
            QJsonObject{{QStringLiteral("artistName"), match->artistName()},
                        {QStringLiteral("collectionName"), match->collectionName()},
                        {QStringLiteral("collectionId"), match->collectionId()}};
        json[QStringLiteral("score")] = qRound(score * 1000) / 1000.0;
    }
    if (!reason.isEmpty()) {
        json[QStringLiteral("reason")] = reason;
    }
    return json;
}

FillRun::FillRun(FillOptions options, QObject* parent)
    : QObject(parent), m_options(std::move(options)), m_loader(ImageService::shared()) {
    qRegisterMetaType<AlbumFolder>();
    qRegisterMetaType<AlbumReport>();
    m_wait.setSingleShot(true);
    m_wait.setTimerType(Qt::PreciseTimer); // pacing is "at least": never early
}

FillRun::~FillRun() {
    stop();
}

QString FillRun::coverFileName(const QString& artist, const QString& album) const {
    if (m_options.nameFormat.isEmpty()) {
        return CoverFileName::fromSettings(artist, album);
    }
    return CoverFileName::build(
        m_options.nameFormat, artist, album, StoredSettings::ensureReplaceSpaces(),
        StoredSettings::ensureReplaceCharacters(), StoredSettings::ensureLowercase());
}

void FillRun::start() {
    // The scanner recognises the name this run writes as a cover already there.
    const QString coverName = coverFileName({}, {});
    m_scanner = std::thread([this, coverName] {
        AlbumScanner(coverName).scan(
            m_options.root, [this](const AlbumFolder& album) { scannerFound(album); }, m_stop);
        m_scanFinished = true;
        QMetaObject::invokeMethod(
            this, [this] { next(); }, Qt::QueuedConnection);
    });
}

void FillRun::stop() {
    if (!m_stop.exchange(true)) {
        m_queueSpace.wakeAll();
        m_search.cancel();
        m_loader.cancel();
        m_wait.stop();
    }
    if (m_scanner.joinable()) {
        {
            QMutexLocker lock(&m_queueMutex);
            m_queueSpace.wakeAll();
        }
        m_scanner.join();
    }
    if (!m_ended) {
        finishRun(Ending::Stopped);
    }
}

// On the scanner's thread.
void FillRun::scannerFound(const AlbumFolder& album) {
    QMutexLocker lock(&m_queueMutex);
    while (m_queue.size() >= kQueueLength && !m_stop.load()) {
        m_queueSpace.wait(&m_queueMutex);
    }
    m_queue.push_back(album);
    ++m_found;
    QMetaObject::invokeMethod(
        this, [this] { next(); }, Qt::QueuedConnection);
}

void FillRun::next() {
    if (m_working || m_ended || m_stop.load()) {
        return;
    }
    {
        QMutexLocker lock(&m_queueMutex);
        if (m_queue.empty()) {
            if (m_scanFinished.load()) {
                lock.unlock();
                finishRun(Ending::Completed);
            }
            return;
        }
        m_album = m_queue.front();
        m_queue.pop_front();
        m_queueSpace.wakeAll();
    }
    m_working = true;
    Q_EMIT albumStarted(m_album);
    AlbumReport skipped = current();
    if (!m_album.existingCover.isEmpty()) {
        skipped.status = AlbumReport::Status::HasCover;
        skipped.file = m_album.existingCover;
        report(skipped);
        return;
    }
    const QString name = coverFileName(m_album.artist, m_album.album);
    struct stat info {};
    if (::lstat((m_album.nativePath + '/' + QFile::encodeName(name)).constData(), &info) == 0) {
        skipped.status = AlbumReport::Status::HasCover;
        skipped.file = name;
        report(skipped);
        return;
    }
    if (m_album.artist.isEmpty() || m_album.album.isEmpty()) {
        skipped.reason = QStringLiteral("neither tags nor folder names say which album it is");
        report(skipped);
        return;
    }
    search(0);
}

AlbumReport FillRun::current() const {
    AlbumReport report;
    report.folder = m_album.path;
    report.artist = m_album.artist;
    report.album = m_album.album;
    return report;
}

void FillRun::search(int attempt) {
    // Paced: never two catalogue requests closer than the interval.
    const qint64 waited = m_lastRequest.isValid() ? m_lastRequest.elapsed() : m_options.intervalMs;
    if (waited < m_options.intervalMs) {
        m_wait.disconnect();
        connect(&m_wait, &QTimer::timeout, this, [this, attempt] { search(attempt); });
        m_wait.start(int(m_options.intervalMs - waited));
        return;
    }
    m_lastRequest.start();
    m_search.start(
        m_album.artist + QLatin1Char(' ') + m_album.album, QStringLiteral("Music"),
        m_options.country,
        [this, attempt](const SearchOutcome& outcome) { searched(outcome, attempt); },
        QStringLiteral("album"));
}

void FillRun::searched(const SearchOutcome& outcome, int attempt) {
    AlbumReport failed = current();
    m_missedDeadlines = outcome.kind == SearchResultKind::TimedOut ? m_missedDeadlines + 1 : 0;
    switch (outcome.kind) {
    case SearchResultKind::TimedOut:
        // A catalogue that takes requests and never answers costs this album,
        // and after a few in a row, the run.
        if (m_missedDeadlines >= kMissedDeadlinesToStop) {
            finishRun(Ending::Unreachable);
            return;
        }
        failed.reason =
            QStringLiteral("the catalogue did not answer in time (%1)").arg(outcome.detail);
        report(failed);
        return;
    case SearchResultKind::Throttled:
        if (attempt < int(std::size(kBackOffs))) {
            m_wait.disconnect();
            connect(&m_wait, &QTimer::timeout, this, [this, attempt] { search(attempt + 1); });
            m_wait.start(kBackOffs[attempt] * m_options.intervalMs);
            return;
        }
        finishRun(Ending::RateLimited);
        return;
    case SearchResultKind::Offline:
    case SearchResultKind::Unavailable:
        finishRun(Ending::Unreachable);
        return;
    case SearchResultKind::UrlNotFormed:
    case SearchResultKind::AnswerUnreadable:
    case SearchResultKind::NotASearchResult:
        failed.reason = QStringLiteral("the catalogue's answer could not be read");
        report(failed);
        return;
    case SearchResultKind::Completed:
        break;
    }
    const auto best = AlbumMatcher::bestMatch(m_album.artist, m_album.album, outcome.records);
    if (!best || !best->confident) {
        AlbumReport unmatched = current();
        unmatched.status = AlbumReport::Status::NoMatch;
        if (best) {
            unmatched.match = best->record;
            unmatched.score = best->score;
        }
        report(unmatched);
        return;
    }
    save(best->record, best->score);
}

void FillRun::save(const AlbumObject& record, double score) {
    AlbumReport saved = current();
    saved.match = record;
    saved.score = score;
    saved.file = coverFileName(m_album.artist, m_album.album);
    if (m_options.dryRun) {
        saved.status = AlbumReport::Status::Planned;
        report(saved);
        return;
    }
    const QList<CoverRung> rungs = CoverLadder::rungs(
        record.highResolutionUrl(), record.standardResolutionUrl(), m_options.highQuality);
    // Decoded small: only to know the bytes are a picture; the bytes are written.
    m_loader.load(rungs, QSize(64, 64), {},
                  [this, saved](const ImageLoadResult& result, const CoverRung&) mutable {
                      if (!result.hasImage()) {
                          saved.status = AlbumReport::Status::Failed;
                          saved.reason = failureReason(result);
                          report(saved);
                          return;
                      }
                      const QByteArray folder = m_album.nativePath;
                      auto* writing = new QFutureWatcher<QString>(this);
                      connect(writing, &QFutureWatcher<QString>::finished, this,
                              [this, writing, saved]() mutable {
                                  writing->deleteLater();
                                  saved.reason = writing->result();
                                  saved.status = saved.reason.isEmpty()
                                                     ? AlbumReport::Status::Saved
                                                     : AlbumReport::Status::Failed;
                                  report(saved);
                              });
                      writing->setFuture(QtConcurrent::run(
                          [cover = result.cover, folder, name = saved.file]() -> QString {
                              const auto jpeg = ImageCodec::jpegData(cover);
                              if (!jpeg) {
                                  return QStringLiteral("the cover could not be encoded");
                              }
                              const auto written = CoverFileWriter::writeNewFile(
                                  folder, name, *jpeg, CoverFileWriter::Naming::Exact);
                              return written.ok() ? QString() : written.error;
                          }));
                  });
}

void FillRun::report(AlbumReport report) {
    m_working = false;
    ++m_done;
    Q_EMIT albumFinished(report);
    QMetaObject::invokeMethod(
        this, [this] { next(); }, Qt::QueuedConnection);
}

void FillRun::finishRun(Ending ending) {
    if (m_ended) {
        return;
    }
    m_ended = true;
    m_stop = true;
    m_queueSpace.wakeAll();
    Q_EMIT finished(ending, m_found.load() - m_done);
}

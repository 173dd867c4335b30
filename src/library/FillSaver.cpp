#include "library/FillSaver.h"

#include "imaging/ImageCodec.h"
#include "imaging/ImageService.h"
#include "imaging/PictureFacts.h"
#include "library/AlbumCoverWriter.h"
#include "library/ChosenCovers.h"
#include "library/CoverUpgrade.h"
#include "library/EmbedLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QFutureWatcher>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

#include <cerrno>

namespace {

// What a stop left undone, said beside what was done.
void noteStop(AlbumReport& report, const AlbumCoverWriter::Embedded& embedded) {
    if (embedded.stopped) {
        report.reason = QCoreApplication::translate(
            "FillSaver", "stopped before the cover went into every file");
    }
}

void embedInto(AlbumReport& report, const AlbumFolder& album, const QByteArray& bytes,
               const FillOptions& options, const FillSaver::Halt& halt,
               const std::function<void(const QString&)>& notice);

// The worker's part: the cover file, then the cover into the audio files.
AlbumReport writeCover(AlbumReport report, const AlbumFolder& album, const QByteArray& bytes,
                       const FillOptions& options, const FillSaver::Halt& halt,
                       const std::function<void(const QString&)>& notice) {
    const auto written = AlbumCoverWriter::writeCover(
        album, AlbumCoverWriter::coverName(options.coverName, album), bytes);
    using Outcome = AlbumCoverWriter::Written::Outcome;
    if (written.outcome != Outcome::Written) {
        // Another run covered it meanwhile: covered, not failed.
        report.status = written.outcome == Outcome::Taken ? AlbumReport::Status::HasCover
                                                          : AlbumReport::Status::Failed;
        report.reason = written.outcome == Outcome::Taken ? QString() : written.error;
        return report;
    }
    report.status = AlbumReport::Status::Saved;
    report.after = ImageCodec::pictureSize(bytes);
    embedInto(report, album, bytes, options, halt, notice);
    return report;
}

// An album's small or unwanted covers replaced, what they were kept aside.
AlbumReport replaceCover(AlbumReport report, const AlbumFolder& album, const QByteArray& bytes,
                         const FillOptions& options, FillSaver::Writing writing,
                         const FillSaver::Halt& halt,
                         const std::function<void(const QString&)>& notice) {
    const auto jpeg = ImageCodec::jpegData(CoverImage{QImage(), bytes});
    if (!jpeg) {
        report.status = AlbumReport::Status::Failed;
        report.reason = QCoreApplication::translate("FillSaver", "the cover could not be encoded");
        return report;
    }
    const bool chosen = writing == FillSaver::Writing::Choose;
    const CoverUpgrade::Replacing how{AlbumCoverWriter::coverName(options.coverName, album),
                                      chosen ? CoverUpgrade::Mode::Choose
                                             : CoverUpgrade::Mode::Upgrade,
                                      options.embed, options.embedSide, halt.get()};
    CoverUpgrade::Outcome outcome;
    CoverUpgrade::Pictures pictures;
    {
        // Not while another run embeds there or restores what it replaced.
        const EmbedLock lock(album.nativePath, halt.get(),
                             [&] { notice(AlbumCoverWriter::waitingNotice(album.path)); });
        if (!lock.held()) {
            report.status = AlbumReport::Status::Failed;
            report.reason = QCoreApplication::translate("FillSaver", "stopped");
            return report;
        }
        ReplacedCovers keeper;
        outcome = CoverUpgrade::replace(album, *jpeg, how, keeper);
        if (outcome.error.isEmpty() && outcome.keep == CoverUpgrade::Keep::No && options.embed) {
            pictures = CoverUpgrade::replacePictures(album, *jpeg, how, keeper);
        }
    }
    report.before = outcome.before;
    report.reason = outcome.notes.join(QStringLiteral("; "));
    if (!outcome.error.isEmpty()) {
        report.status = AlbumReport::Status::Failed;
        report.reason = outcome.error;
        return report;
    }
    if (outcome.keep != CoverUpgrade::Keep::No) {
        report.status = AlbumReport::Status::Kept;
        report.kept = CoverUpgrade::keepName(outcome.keep);
        report.reason = CoverUpgrade::keepReason(outcome.keep);
        return report;
    }
    report.status = chosen ? AlbumReport::Status::Saved : AlbumReport::Status::Upgraded;
    report.file = outcome.written;
    report.after = ImageCodec::pictureSize(*jpeg);
    if (chosen) {
        ChosenCovers().remember(*jpeg);
    }
    embedInto(report, album, *jpeg, options, halt, notice);
    report.embedded += pictures.files;
    report.embedFailed += pictures.failed;
    if (!report.embedFailed.isEmpty()) {
        report.status = AlbumReport::Status::EmbedFailed;
    }
    return report;
}

// The cover into the album's files that carry none, when the run embeds.
void embedInto(AlbumReport& report, const AlbumFolder& album, const QByteArray& bytes,
               const FillOptions& options, const FillSaver::Halt& halt,
               const std::function<void(const QString&)>& notice) {
    if (options.embed) {
        const auto embedded =
            AlbumCoverWriter::embedCover(album, bytes, options.embedSide, halt.get(), notice);
        report.embedded = embedded.files;
        report.embedFailed = embedded.failed;
        if (!report.embedFailed.isEmpty()) {
            report.status = AlbumReport::Status::EmbedFailed;
        }
        noteStop(report, embedded);
    }
}

// An album with a cover file of its own: that file goes into its files.
AlbumReport embedOwnCover(AlbumReport report, const AlbumFolder& album, const FillOptions& options,
                          const FillSaver::Halt& halt,
                          const std::function<void(const QString&)>& notice) {
    QFile cover(QFile::decodeName(album.nativePath) + QLatin1Char('/') + album.existingCover);
    if (!cover.open(QIODevice::ReadOnly) || cover.size() > ImageService::kMaxImageBytes) {
        report.status = AlbumReport::Status::EmbedFailed;
        report.embedFailed.append(
            QStringLiteral("%1: %2").arg(album.existingCover, cover.errorString()));
        return report;
    }
    const auto embedded =
        AlbumCoverWriter::embedCover(album, cover.readAll(), options.embedSide, halt.get(), notice);
    report.embedded = embedded.files;
    report.embedFailed = embedded.failed;
    report.status = !report.embedFailed.isEmpty() ? AlbumReport::Status::EmbedFailed
                    : report.embedded > 0         ? AlbumReport::Status::Embedded
                                                  : AlbumReport::Status::HasCover;
    noteStop(report, embedded);
    return report;
}

} // namespace

QString FillSaver::coverNameFor(const FillOptions& options, const AlbumFolder& album) {
    return AlbumCoverWriter::coverName(options.coverName, album);
}

FillSaver::FillSaver(const FillOptions& options, ImageService& images, const CoverSource& source,
                     Halt halt, QObject* parent)
    : QObject(parent), m_options(options), m_source(source), m_halt(std::move(halt)),
      m_loader(images) {}

void FillSaver::add(Job job) {
    m_jobs.push_back(std::move(job));
    startNextJob();
}

void FillSaver::stop() {
    if (m_stopped) {
        return;
    }
    m_stopped = true;
    m_jobs.clear();
    m_halt->store(true);
    if (m_loader.isLoading()) {
        m_loader.cancel(); // a download tells nothing when cancelled: nothing was written
        m_busy = false;
    }
    if (!m_busy) {
        Q_EMIT stopped();
    }
    // Else the worker's file is abandoned and its report follows.
}

void FillSaver::startNextJob() {
    if (m_busy || m_jobs.empty() || m_stopped) {
        return;
    }
    m_busy = true;
    Job job = std::move(m_jobs.front());
    m_jobs.pop_front();
    if (m_options.dryRun) {
        job.report.status =
            job.record ? AlbumReport::Status::Planned : AlbumReport::Status::HasCover;
        job.report.embedded = m_options.embed ? int(job.album.uncoveredFiles.size()) : 0;
        finish(job.report);
        return;
    }
    if (!job.record) {
        writeOnWorker(std::move(job), {});
        return;
    }
    download(std::move(job));
}

void FillSaver::download(Job job) {
    const auto item = CoverItem::of(*job.record);
    const QList<CoverRung> rungs =
        item ? m_source.rungs(*item, m_options.highQuality) : QList<CoverRung>{};
    // Decoded small: only to know the bytes are a picture; the bytes are written.
    m_loader.load(rungs, QSize(64, 64), {},
                  [this, job](const ImageLoadResult& result, const CoverRung&) {
                      if (!result.hasImage()) {
                          AlbumReport failed = job.report;
                          failed.status = AlbumReport::Status::Failed;
                          failed.reason = failureReason(result);
                          finish(failed);
                          return;
                      }
                      writeOnWorker(job, result.cover.encodedData);
                  });
}

void FillSaver::writeOnWorker(Job job, QByteArray coverBytes) {
    QPointer<FillSaver> self(this);
    auto* writing = new QFutureWatcher<AlbumReport>(this);
    connect(writing, &QFutureWatcher<AlbumReport>::finished, this, [self, writing] {
        writing->deleteLater();
        if (self) {
            self->finish(writing->result());
        }
    });
    // Told from the worker, said on this object's thread.
    const auto notice = [self](const QString& text) {
        QMetaObject::invokeMethod(
            self, [self, text] { Q_EMIT self->notice(text); }, Qt::QueuedConnection);
    };
    writing->setFuture(QtConcurrent::run([job = std::move(job), bytes = std::move(coverBytes),
                                          options = m_options, halt = m_halt, notice]() {
        if (!job.record) {
            return embedOwnCover(job.report, job.album, options, halt, notice);
        }
        return job.writing == Writing::New
                   ? writeCover(job.report, job.album, bytes, options, halt, notice)
                   : replaceCover(job.report, job.album, bytes, options, job.writing, halt, notice);
    }));
}

// A job's end: what it did is told even after a stop, since it happened.
void FillSaver::finish(const std::optional<AlbumReport>& report) {
    m_busy = false;
    if (report) {
        Q_EMIT saved(*report);
    }
    if (m_stopped) {
        Q_EMIT stopped();
        return;
    }
    QMetaObject::invokeMethod(
        this, [this] { startNextJob(); }, Qt::QueuedConnection);
}

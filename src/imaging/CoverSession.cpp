#include "imaging/CoverSession.h"

#include "catalogue/MediaTables.h"
#include "imaging/CoverFileWriter.h"
#include "imaging/ImageCache.h"
#include "imaging/TemporaryCoverFile.h"
#include "settings/CoverFileName.h"

#include <QDir>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QLocale>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

namespace {

// The preview is a row's thumbnail: it is never decoded larger.
constexpr int kPreviewSide = 400;

} // namespace

QString CoverSession::SaveResult::message() const {
    if (ok()) {
        const QFileInfo file(path);
        return CoverSession::tr("Saved “%1” to %2.").arg(file.fileName(), file.dir().dirName());
    }
    return CoverSession::tr("Couldn't save “%1” in %2: %3.").arg(fileName, folder, error);
}

CoverSession::CoverSession(ImageService& service, const CoverSource& source,
                           const Settings& settings, QObject* parent)
    : QObject(parent), m_service(service), m_source(source), m_settings(settings),
      m_loader(service) {
    qRegisterMetaType<CoverSession::SaveResult>();
}

CoverSession::~CoverSession() {
    if (m_previewLoad != 0) {
        m_service.cancel(m_previewLoad);
    }
}

CoverFacts CoverSession::facts() const {
    return m_state == State::Shown ? CoverFacts::of(m_cover, m_rung.original) : CoverFacts{};
}

void CoverSession::setState(State state) {
    m_state = state;
    Q_EMIT stateChanged(state);
}

void CoverSession::setFile(const QUrl& file) {
    if (file != m_file) {
        m_file = file;
        Q_EMIT fileChanged(file);
    }
}

void CoverSession::select(const CoverItem& item, bool highQuality, const QSize& box) {
    m_item = item;
    m_savedPath.clear();
    m_rungs = m_source.rungs(item, highQuality);
    loadCover(box);
}

void CoverSession::retry(const QSize& box) {
    if (m_state != State::Idle) {
        loadCover(box);
    }
}

void CoverSession::loadCover(const QSize& box) {
    // The earlier selection's load, preview and file are no longer this one's.
    const quint64 selection = ++m_selection;
    m_loader.cancel();
    if (m_previewLoad != 0) {
        m_service.cancel(std::exchange(m_previewLoad, 0));
    }
    m_cover = CoverImage{};
    m_preview = QImage();
    m_failure.clear();
    m_received = 0;
    m_expected = -1;
    setFile({});
    if (!m_headless) {
        TemporaryCoverFile::removeAllAsync();
    }
    setState(State::Loading);
    loadPreview(selection);
    QPointer<CoverSession> self(this);
    m_loader.load(
        m_rungs, box,
        [self, selection](qint64 received, qint64 expected, const QUrl&) {
            if (self) {
                self->downloading(received, expected, selection);
            }
        },
        [self, selection](const ImageLoadResult& result, const CoverRung& rung) {
            if (self) {
                self->loaded(result, rung, selection);
            }
        });
}

void CoverSession::downloading(qint64 received, qint64 expected, quint64 selection) {
    if (selection != m_selection || m_state != State::Loading) {
        return;
    }
    m_received = received;
    m_expected = expected;
    Q_EMIT progressChanged(received, expected);
}

void CoverSession::loadPreview(quint64 selection) {
    if (m_headless || !m_item.thumbnailUrl.isValid()) {
        return;
    }
    // The row's thumbnail, at hand in the memory cache, stands in at once.
    QPointer<CoverSession> self(this);
    m_previewLoad = m_service.loadImage(
        m_item.thumbnailUrl, QSize(kPreviewSide, kPreviewSide), {},
        [self, selection](const ImageLoadResult& result) {
            if (!self || selection != self->m_selection) {
                return;
            }
            self->m_previewLoad = 0;
            const bool waiting = self->m_state == State::Loading || self->m_state == State::Failed;
            if (result.hasImage() && waiting) {
                self->m_preview = result.cover.image;
                Q_EMIT self->previewReady(self->m_preview);
            }
        },
        ImageCodec::kMaxThumbnailPixels);
}

void CoverSession::loaded(const ImageLoadResult& result, const CoverRung& rung, quint64 selection) {
    if (selection != m_selection) {
        return; // a newer selection owns the session
    }
    if (!result.hasImage()) {
        // The preview stays beneath the failure.
        m_failure = m_rungs.isEmpty() ? tr("the item has no cover") : ::failureReason(result);
        setState(State::Failed);
        return;
    }
    m_preview = QImage();
    m_cover = result.cover;
    m_rung = rung;
    setState(State::Shown);
    Q_EMIT coverShown(m_cover);
    if (m_headless) {
        return;
    }
    // The file for dragging, copying and sharing, written on a worker (a cover
    // that is no JPEG must be encoded first); announced once it exists.
    QPointer<CoverSession> self(this);
    TemporaryCoverFile::writeAsync(m_cover, m_item.collectionId, suggestedFileName(), this,
                                   [self, selection](const QUrl& file) {
                                       if (self && selection == self->m_selection &&
                                           self->m_state == State::Shown) {
                                           self->setFile(file);
                                       }
                                   });
}

void CoverSession::cancelDownload() {
    if (m_state != State::Loading) {
        return;
    }
    ++m_selection;
    m_loader.cancel();
    m_preview = QImage();
    m_failure = tr("the download was cancelled");
    setState(State::Failed);
}

void CoverSession::deselect() {
    ++m_selection;
    m_loader.cancel();
    if (m_previewLoad != 0) {
        m_service.cancel(std::exchange(m_previewLoad, 0));
    }
    m_item = CoverItem{};
    m_savedPath.clear();
    m_rungs.clear();
    m_cover = CoverImage{};
    m_preview = QImage();
    m_failure.clear();
    setFile({});
    if (!m_headless) {
        TemporaryCoverFile::removeAllAsync();
    }
    setState(State::Idle);
}

QString CoverSession::suggestedFileName() const {
    return CoverFileName::fromSettings(m_settings, {m_item.artistName, m_item.collectionName,
                                                    m_item.releaseYear,
                                                    MediaTables::mediaTitle(m_item.entity)});
}

void CoverSession::saveAs(const QString& path) {
    const QFileInfo target(path);
    // A name typed without an extension is a JPEG file all the same.
    const QString name =
        target.suffix().isEmpty() ? target.fileName() + QStringLiteral(".jpg") : target.fileName();
    save(target.absolutePath(), name, true);
}

void CoverSession::saveInto(const QString& folder) {
    save(folder, suggestedFileName(), false);
}

void CoverSession::save(const QString& folder, const QString& fileName, bool replace) {
    SaveResult meant{{}, fileName, folder, {}};
    if (m_state != State::Shown) {
        meant.error = tr("no cover is shown");
        Q_EMIT saved(meant);
        return;
    }
    // A JPEG cover is its cache entry byte for byte: copied, not written again.
    const CoverImage cover = m_cover;
    const QString cached =
        ImageCodec::isJpeg(cover.encodedData)
            ? m_service.cache().diskPathForKey(m_rung.url.toString(QUrl::FullyEncoded))
            : QString();
    auto* saving = new QFutureWatcher<SaveResult>(this);
    connect(saving, &QFutureWatcher<SaveResult>::finished, this,
            [this, saving, selection = m_selection] {
                saving->deleteLater();
                if (saving->result().ok() && selection == m_selection) {
                    m_savedPath = saving->result().path;
                }
                Q_EMIT saved(saving->result());
            });
    saving->setFuture(QtConcurrent::run([meant, cover, cached, replace]() mutable {
        const std::optional<QByteArray> jpeg = ImageCodec::jpegData(cover);
        if (!jpeg) {
            meant.error = tr("the cover could not be encoded as JPEG");
            return meant;
        }
        const CoverFileWriter::WriteResult written =
            replace
                ? CoverFileWriter::writeReplacing(meant.folder + QLatin1Char('/') + meant.fileName,
                                                  *jpeg)
                : CoverFileWriter::writeNewFile(meant.folder, meant.fileName, *jpeg,
                                                CoverFileWriter::Naming::NumberedIfTaken, cached);
        meant.path = written.path;
        meant.error = written.error;
        return meant;
    }));
}

QString CoverSession::progressText(qint64 receivedSize, qint64 expectedSize) {
    const auto megabytes = [](qint64 bytes) {
        return QLocale().toString(bytes / 1048576.0, 'f', 2);
    };
    if (expectedSize > 0) {
        const int percent =
            qBound(0, int(double(receivedSize) / double(expectedSize) * 100.0), 100);
        return tr("Downloading Cover\n%1 of %2 MB · %3 %")
            .arg(megabytes(receivedSize), megabytes(expectedSize), QLocale().toString(percent));
    }
    if (receivedSize > 0) {
        return tr("Downloading Cover\n%1 MB").arg(megabytes(receivedSize));
    }
    return tr("Requesting Cover…");
}

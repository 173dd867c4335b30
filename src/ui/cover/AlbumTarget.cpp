#include "ui/cover/AlbumTarget.h"

#include "library/AlbumCoverWriter.h"
#include "library/ChosenCovers.h"
#include "library/CoverEmbedder.h"
#include "library/FillOptions.h"

#include <QDir>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

namespace {

// Runs `work` on the pool and hands its result to `done` on this thread.
template <typename Result, typename Work, typename Done>
void runThen(QObject* owner, Work work, Done done) {
    auto* watcher = new QFutureWatcher<Result>(owner);
    QObject::connect(watcher, &QFutureWatcher<Result>::finished, owner, [watcher, done] {
        watcher->deleteLater();
        done(watcher->result());
    });
    watcher->setFuture(QtConcurrent::run(std::move(work)));
}

} // namespace

void AlbumTarget::setAlbum(const std::optional<AlbumFolder>& album, const QString& coverName) {
    m_album = album;
    m_coverName = coverName.isEmpty() ? FillOptions().coverName : coverName;
    Q_EMIT changed();
}

void AlbumTarget::saveCover(const QByteArray& jpeg) {
    if (!m_album) {
        return;
    }
    const AlbumFolder album = *m_album;
    const QString name = AlbumCoverWriter::coverName(m_coverName, album);
    using Written = AlbumCoverWriter::Written;
    runThen<Written>(
        this,
        [album, name, jpeg] {
            const auto written = AlbumCoverWriter::writeCover(album, name, jpeg);
            // A cover saved by hand is a choice: no fill ever replaces it.
            if (written.outcome == Written::Outcome::Written) {
                ChosenCovers().remember(written.bytes);
            }
            return written;
        },
        [this, album, name](const Written& written) {
            if (written.outcome != Written::Outcome::Written) {
                const QString why = written.outcome == Written::Outcome::Taken
                                        ? tr("the folder has a file of that name")
                                        : written.error;
                Q_EMIT failed(tr("Couldn't save “%1” in %2: %3.").arg(name, album.path, why));
                return;
            }
            Q_EMIT coverSaved(album.nativePath, name);
            Q_EMIT succeeded(tr("Saved “%1” into %2.").arg(name, QDir(album.path).dirName()),
                             written.path);
        });
}

void AlbumTarget::embedCover(const QByteArray& jpeg) {
    if (!m_album) {
        return;
    }
    using Embedded = AlbumCoverWriter::Embedded;
    runThen<Embedded>(
        this,
        [album = *m_album, jpeg] {
            return AlbumCoverWriter::embedCover(album, jpeg, CoverEmbedder::kDefaultMaxSide);
        },
        [this](const Embedded& embedded) {
            if (!embedded.failed.isEmpty()) {
                Q_EMIT failed(tr("The cover went into %Ln file(s), but not into these: %1", nullptr,
                                 embedded.files)
                                  .arg(embedded.failed.join(QStringLiteral("; "))));
                return;
            }
            Q_EMIT succeeded(tr("Embedded the cover into %Ln file(s).", nullptr, embedded.files),
                             {});
        });
}

#include "ui/library/FillTable.h"

#include "imaging/ImageService.h"
#include "platform/TextSafety.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QPointer>
#include <QScrollBar>
#include <QtConcurrent/QtConcurrentRun>

namespace {

constexpr int kAlbumRole = Qt::UserRole + 1;

// Sorted as people count: "Artist 2" before "Artist 10".
class NaturalItem : public QTableWidgetItem {
public:
    using QTableWidgetItem::QTableWidgetItem;
    bool operator<(const QTableWidgetItem& other) const override {
        static const QCollator collator = [] {
            QCollator c;
            c.setNumericMode(true);
            c.setCaseSensitivity(Qt::CaseInsensitive);
            return c;
        }();
        return collator.compare(text(), other.text()) < 0;
    }
};

QString shown(const QString& name) {
    return TextSafety::withoutControlCharacters(name);
}

} // namespace

FillTable::FillTable(const QByteArray& root, ImageService& images, QWidget* parent)
    : QTableWidget(0, 6, parent), m_root(root), m_images(images) {
    setHorizontalHeaderLabels({QString(), QStringLiteral("Folder"), QStringLiteral("Artist"),
                               QStringLiteral("Album"), QStringLiteral("Status"),
                               QStringLiteral("Found by")});
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(kThumbnailSide, kThumbnailSide));
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(kThumbnailSide + 6);
    horizontalHeader()->setSectionResizeMode(CoverColumn, QHeaderView::Fixed);
    setColumnWidth(CoverColumn, kThumbnailSide + 8);
    setColumnWidth(FolderColumn, 200);
    setColumnWidth(ArtistColumn, 140);
    setColumnWidth(AlbumColumn, 160);
    setColumnWidth(StatusColumn, 220);
    horizontalHeader()->setStretchLastSection(true);
    setWordWrap(false);
    setAccessibleName(QStringLiteral("Albums"));
    setTextElideMode(Qt::ElideRight);
    setSortingEnabled(true);
    sortByColumn(FolderColumn, Qt::AscendingOrder);
}

void FillTable::clearAlbums() {
    setRowCount(0);
    m_rows.clear();
    m_albums.clear();
    m_reports.clear();
    m_thumbnailsAsked.clear();
}

int FillTable::rowOf(int index) const {
    const QTableWidgetItem* item = m_rows.value(index);
    return item ? item->row() : -1;
}

void FillTable::addAlbum(const AlbumFolder& album, int index) {
    // Folders below the library's; the tooltip has the whole path.
    QString folder = QDir(QFile::decodeName(m_root)).relativeFilePath(album.path);
    if (folder == QLatin1String(".")) {
        folder = QDir(album.path).dirName();
    }
    setSortingEnabled(false);
    const int row = rowCount();
    insertRow(row);
    const QStringList texts{
        QString(), folder, shown(album.artist()), shown(album.album()), QStringLiteral("Waiting…"),
        QString()};
    for (int column = 0; column < texts.size(); ++column) {
        auto* item = new NaturalItem(texts[column]);
        item->setToolTip(column == FolderColumn ? album.path : texts[column]);
        item->setData(kAlbumRole, index);
        setItem(row, column, item);
    }
    m_rows.insert(index, item(row, FolderColumn));
    m_albums.insert(index, album);
    setSortingEnabled(true);
}

void FillTable::setReport(const AlbumReport& report) {
    const int row = rowOf(report.index);
    if (row < 0) {
        return;
    }
    m_reports.insert(report.index, report);
    const QString status = statusText(report);
    item(row, StatusColumn)->setText(status);
    item(row, StatusColumn)->setToolTip(status);
    item(row, FoundByColumn)->setText(foundBy(report));
    if (report.match) {
        // The chosen (or best) cover, small, through the image cache.
        QPointer<FillTable> self(this);
        m_images.loadImage(
            QUrl(report.match->artworkUrl()),
            QSize(kThumbnailSide, kThumbnailSide) * devicePixelRatioF(), {},
            [self, index = report.index](const ImageLoadResult& result) {
                const int at = self ? self->rowOf(index) : -1;
                if (at >= 0 && result.hasImage()) {
                    self->item(at, CoverColumn)
                        ->setIcon(QIcon(QPixmap::fromImage(result.cover.image)));
                }
            },
            ImageCodec::kMaxThumbnailPixels);
    }
    showThumbnails();
}

void FillTable::setSavedByHand(const QByteArray& folder, const QString& file) {
    for (auto it = m_albums.begin(); it != m_albums.end(); ++it) {
        if (it->nativePath == folder && m_reports.contains(it.key())) {
            AlbumReport report = m_reports[it.key()];
            report.status = AlbumReport::Status::Saved;
            report.file = file;
            report.via = QStringLiteral("hand");
            setReport(report);
        }
    }
}

const AlbumFolder* FillTable::selectedAlbum() const {
    const QTableWidgetItem* current = item(currentRow(), FolderColumn);
    const auto it =
        current ? m_albums.constFind(current->data(kAlbumRole).toInt()) : m_albums.constEnd();
    return it == m_albums.constEnd() ? nullptr : &*it;
}

const AlbumReport* FillTable::selectedReport() const {
    const QTableWidgetItem* current = item(currentRow(), FolderColumn);
    const auto it =
        current ? m_reports.constFind(current->data(kAlbumRole).toInt()) : m_reports.constEnd();
    return it == m_reports.constEnd() ? nullptr : &*it;
}

QString FillTable::statusText(const AlbumReport& report) {
    using Status = AlbumReport::Status;
    const QString best = report.match ? QStringLiteral(" (best: %1 – %2)")
                                            .arg(shown(report.match->artistName()),
                                                 shown(report.match->collectionName()))
                                      : QString();
    const QString embedded = report.embedded > 0
                                 ? QStringLiteral(", embedded in %1 file(s)").arg(report.embedded)
                                 : QString();
    switch (report.status) {
    case Status::Saved:
        return QStringLiteral("Saved as “%1”").arg(report.file) + embedded;
    case Status::Planned:
        return QStringLiteral("Would be saved as “%1”").arg(report.file);
    case Status::HasCover:
        return QStringLiteral("Already had a cover");
    case Status::Embedded:
        return QStringLiteral("Cover file embedded in %1 file(s)").arg(report.embedded);
    case Status::NoMatch:
        return report.match ? QStringLiteral("No confident match") + best
                            : QStringLiteral("Not in the catalogue");
    case Status::Ambiguous:
        return QStringLiteral("Ambiguous: %1 albums match alike").arg(report.rivals.size());
    case Status::Mixed:
        return QStringLiteral("Mixed folder: %1").arg(report.albums.join(QStringLiteral("; ")));
    case Status::Failed:
        return QStringLiteral("Failed: %1").arg(report.reason);
    case Status::EmbedFailed:
        return QStringLiteral("Saved; embedding failed: %1")
            .arg(report.embedFailed.join(QStringLiteral("; ")));
    case Status::Skipped:
        return QStringLiteral("Skipped: its tags took too long to read");
    }
    return {};
}

QString FillTable::foundBy(const AlbumReport& report) {
    if (report.via.isEmpty() || !report.match ||
        (report.status != AlbumReport::Status::Saved &&
         report.status != AlbumReport::Status::Planned &&
         report.status != AlbumReport::Status::EmbedFailed)) {
        return {};
    }
    return report.via == QLatin1String("hand") ? QStringLiteral("by hand")
                                               : QStringLiteral("found by ") + report.via;
}

void FillTable::scrollContentsBy(int dx, int dy) {
    QTableWidget::scrollContentsBy(dx, dy);
    showThumbnails();
}

void FillTable::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    showThumbnails();
}

// The cover files of the covered albums in view; a library of ten thousand
// covered albums decodes only the few on screen.
void FillTable::showThumbnails() {
    const int first = rowAt(0);
    const int last = rowAt(viewport()->height() - 1);
    for (int row = std::max(0, first); row <= (last < 0 ? rowCount() - 1 : last); ++row) {
        const int index = item(row, FolderColumn)->data(kAlbumRole).toInt();
        const auto report = m_reports.constFind(index);
        if (report != m_reports.constEnd() && report->status == AlbumReport::Status::HasCover &&
            !m_albums[index].existingCover.isEmpty() && !m_thumbnailsAsked.contains(index)) {
            m_thumbnailsAsked.insert(index);
            loadCoverFile(index);
        }
    }
}

void FillTable::loadCoverFile(int index) {
    const QString path = QFile::decodeName(m_albums[index].nativePath) + QLatin1Char('/') +
                         m_albums[index].existingCover;
    const QSize box = QSize(kThumbnailSide, kThumbnailSide) * devicePixelRatioF();
    auto* decoding = new QFutureWatcher<QImage>(this);
    connect(decoding, &QFutureWatcher<QImage>::finished, this, [this, decoding, index] {
        decoding->deleteLater();
        const int row = rowOf(index);
        if (row >= 0 && !decoding->result().isNull()) {
            item(row, CoverColumn)->setIcon(QIcon(QPixmap::fromImage(decoding->result())));
        }
    });
    decoding->setFuture(QtConcurrent::run([path, box] {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.size() > ImageService::kMaxImageBytes) {
            return QImage();
        }
        return ImageCodec::decode(file.readAll(), box, ImageCodec::kMaxPicturePixels);
    }));
}

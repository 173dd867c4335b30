#include "ui/library/FillTable.h"

#include "imaging/ImageService.h"

#include <QCollator>
#include <QFile>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QPointer>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QtConcurrent/QtConcurrentRun>

namespace {

// Sorted as people count: "Artist 2" before "Artist 10".
class NaturalOrder : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
        static const QCollator collator = [] {
            QCollator c;
            c.setNumericMode(true);
            c.setCaseSensitivity(Qt::CaseInsensitive);
            return c;
        }();
        return collator.compare(left.data(FillReportModel::SortRole).toString(),
                                right.data(FillReportModel::SortRole).toString()) < 0;
    }
};

} // namespace

FillTable::FillTable(const QByteArray& root, ImageService& images, QWidget* parent)
    : QTableView(parent), m_model(new FillReportModel(root, this)),
      m_sorted(new NaturalOrder(this)), m_images(images) {
    m_sorted->setSourceModel(m_model);
    setModel(m_sorted);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(kThumbnailSide, kThumbnailSide));
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(kThumbnailSide + 6);
    const QList<FillReportModel::Column>& columns = FillReportModel::columns();
    for (int column = 0; column < columns.size(); ++column) {
        setColumnWidth(column, columns[column].width);
    }
    horizontalHeader()->setSectionResizeMode(FillReportModel::CoverColumn, QHeaderView::Fixed);
    horizontalHeader()->setStretchLastSection(true);
    setWordWrap(false);
    setAccessibleName(tr("Albums"));
    setTextElideMode(Qt::ElideRight);
    setSortingEnabled(true);
    sortByColumn(FillReportModel::FolderColumn, Qt::AscendingOrder);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &FillTable::showThumbnails);
}

void FillTable::clearAlbums(bool keepSettled) {
    m_model->clear(keepSettled);
    m_thumbnailsAsked.clear();
}

QSize FillTable::sizeHint() const {
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (const FillReportModel::Column& column : FillReportModel::columns()) {
        width += column.width;
    }
    QHeaderView* header = horizontalHeader();
    header->ensurePolished(); // its style's margins count
    const int height = 2 * frameWidth() + header->sizeHint().height() +
                       10 * verticalHeader()->defaultSectionSize();
    return {width, height};
}

void FillTable::addAlbum(const AlbumFolder& album, int index) {
    m_model->addAlbum(album, index);
}

void FillTable::setReport(const AlbumReport& report) {
    m_model->setReport(report);
    if (report.match) {
        // The chosen (or best) cover, small, through the image cache.
        QPointer<FillReportModel> model(m_model);
        m_images.loadImage(
            QUrl(report.match->artworkUrl()),
            QSize(kThumbnailSide, kThumbnailSide) * devicePixelRatioF(), {},
            [model, index = report.index](const ImageLoadResult& result) {
                if (model && result.hasImage()) {
                    model->setThumbnail(index, result.cover.image);
                }
            },
            ImageCodec::kMaxThumbnailPixels);
    }
    showThumbnails();
}

void FillTable::setPreview(const AlbumReport& report) {
    m_model->setPreview(report);
    showThumbnails();
}

void FillTable::setSavedByHand(const QByteArray& folder, const QString& file) {
    if (const int index = m_model->setSavedByHand(folder, file); index >= 0) {
        m_thumbnailsAsked.insert(index);
        loadCoverFile(index, file);
    }
}

const FillReportModel::Row* FillTable::selectedRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid()
               ? m_model->row(
                     current.siblingAtColumn(0).data(FillReportModel::AlbumIndexRole).toInt())
               : nullptr;
}

const AlbumFolder* FillTable::selectedAlbum() const {
    const FillReportModel::Row* row = selectedRow();
    return row ? &row->album : nullptr;
}

const AlbumReport* FillTable::selectedReport() const {
    const FillReportModel::Row* row = selectedRow();
    return row && row->report ? &*row->report : nullptr;
}

QString FillTable::text(int row, int column) const {
    return m_sorted->index(row, column).data().toString();
}

void FillTable::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    showThumbnails();
}

void FillTable::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    showThumbnails();
}

// The cover files of the covered albums in view; a library of ten thousand
// covered albums decodes only the few on screen.
void FillTable::showThumbnails() {
    const int first = rowAt(0);
    const int last = rowAt(viewport()->height() - 1);
    const int rows = m_sorted->rowCount();
    for (int row = std::max(0, first); row <= (last < 0 ? rows - 1 : last); ++row) {
        const int index = m_sorted->index(row, 0).data(FillReportModel::AlbumIndexRole).toInt();
        const FillReportModel::Row* album = m_model->row(index);
        if (album && album->report && album->report->status == AlbumReport::Status::HasCover &&
            !album->album.existingCover.isEmpty() && !m_thumbnailsAsked.contains(index)) {
            m_thumbnailsAsked.insert(index);
            loadCoverFile(index, album->album.existingCover);
        }
    }
}

void FillTable::loadCoverFile(int index, const QString& fileName) {
    const AlbumFolder& album = m_model->row(index)->album;
    const QString path = QFile::decodeName(album.nativePath) + QLatin1Char('/') + fileName;
    const QSize box = QSize(kThumbnailSide, kThumbnailSide) * devicePixelRatioF();
    auto* decoding = new QFutureWatcher<QImage>(this);
    connect(decoding, &QFutureWatcher<QImage>::finished, this, [this, decoding, index] {
        decoding->deleteLater();
        if (!decoding->result().isNull()) {
            m_model->setThumbnail(index, decoding->result());
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

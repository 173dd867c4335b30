#include "FillWindow.h"

#include "ImageService.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMap>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr int kThumbnailSide = 40;
}

FillWindow::FillWindow(const FillOptions& options, QWidget* parent)
    : QWidget(parent), m_root(options.root), m_run(new FillRun(options, this)) {
    setWindowTitle(QStringLiteral("Fill Covers in Folder"));
    m_table = new QTableWidget(0, 5, this);
    m_table->setHorizontalHeaderLabels({QString(), QStringLiteral("Folder"),
                                        QStringLiteral("Artist"), QStringLiteral("Album"),
                                        QStringLiteral("Status")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setIconSize(QSize(kThumbnailSide, kThumbnailSide));
    m_table->verticalHeader()->setVisible(false);
    m_table->verticalHeader()->setDefaultSectionSize(kThumbnailSide + 6);
    m_table->horizontalHeader()->setSectionResizeMode(CoverColumn, QHeaderView::Fixed);
    m_table->setColumnWidth(CoverColumn, kThumbnailSide + 8);
    m_table->setColumnWidth(FolderColumn, 200);
    m_table->setColumnWidth(ArtistColumn, 140);
    m_table->setColumnWidth(AlbumColumn, 160);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setWordWrap(false);
    m_table->setAccessibleName(QStringLiteral("Albums"));
    m_table->setTextElideMode(Qt::ElideRight);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 0);
    m_state = new QLabel(QStringLiteral("Looking for albums…"), this);
    m_stop = new QPushButton(QStringLiteral("Stop"), this);
    m_search = new QPushButton(QStringLiteral("Search by Hand"), this);
    m_search->setToolTip(QStringLiteral("Search the catalogue for the selected album yourself"));
    m_search->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_state, 1);
    buttons->addWidget(m_search);
    buttons->addWidget(m_stop);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);

    connect(m_stop, &QPushButton::clicked, m_run, &FillRun::stop);
    connect(m_search, &QPushButton::clicked, this, &FillWindow::searchByHand);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, [this] {
        const int row = m_table->currentRow();
        m_search->setEnabled(row >= 0 && row < m_reports.size() &&
                             m_reports[row].status == AlbumReport::Status::NoMatch);
    });
    connect(m_run, &FillRun::albumStarted, this, &FillWindow::showAlbumStarted);
    connect(m_run, &FillRun::albumFinished, this, &FillWindow::showAlbumFinished);
    connect(m_run, &FillRun::finished, this, &FillWindow::showRunEnded);
    m_run->start();
}

QSize FillWindow::sizeHint() const {
    return {820, 480};
}

FillWindow::~FillWindow() {
    m_run->stop();
}

QString FillWindow::statusText(const AlbumReport& report) {
    switch (report.status) {
    case AlbumReport::Status::Saved:
        return QStringLiteral("Saved as “%1”").arg(report.file);
    case AlbumReport::Status::Planned:
        return QStringLiteral("Would be saved as “%1”").arg(report.file);
    case AlbumReport::Status::HasCover:
        return QStringLiteral("Already had a cover");
    case AlbumReport::Status::NoMatch:
        return report.match ? QStringLiteral("No confident match (best: %1 – %2)")
                                  .arg(report.match->artistName(), report.match->collectionName())
                            : QStringLiteral("Not in the catalogue");
    case AlbumReport::Status::Failed:
        return QStringLiteral("Failed: %1").arg(report.reason);
    }
    return {};
}

void FillWindow::showAlbumStarted(const AlbumFolder& album) {
    m_state->setText(QStringLiteral("Working on %1 – %2").arg(album.artist, album.album));
    // The album shows at once; its outcome fills the status when it is known.
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    // Folders are shown below the library's; the tooltip has the whole path.
    QString folder = QDir(QFile::decodeName(m_root)).relativeFilePath(album.path);
    if (folder == QLatin1String(".")) {
        folder = QDir(album.path).dirName();
    }
    const QStringList texts{QString(), folder, album.artist, album.album,
                            QStringLiteral("Working…")};
    for (int column = 0; column < texts.size(); ++column) {
        auto* item = new QTableWidgetItem(texts[column]);
        item->setToolTip(column == FolderColumn ? album.path : texts[column]);
        m_table->setItem(row, column, item);
    }
    m_table->scrollToItem(m_table->item(row, FolderColumn));
}

void FillWindow::showAlbumFinished(const AlbumReport& report) {
    const int row = m_table->rowCount() - 1;
    if (row < 0 || row != m_reports.size()) {
        return;
    }
    m_reports.append(report);
    const QString status = statusText(report);
    m_table->item(row, StatusColumn)->setText(status);
    m_table->item(row, StatusColumn)->setToolTip(status);
    if (m_table->currentRow() == row) {
        m_search->setEnabled(report.status == AlbumReport::Status::NoMatch);
    }
    m_progress->setRange(0, m_run->albumsFound());
    m_progress->setValue(m_run->albumsDone());
    if (report.match) {
        // The chosen (or best) cover, small, through the image cache.
        QPointer<FillWindow> self(this);
        const qreal ratio = devicePixelRatioF();
        ImageService::shared().loadImage(
            QUrl(report.match->artworkUrl()), QSize(kThumbnailSide, kThumbnailSide) * ratio, {},
            [self, row](const ImageLoadResult& result) {
                if (self && result.hasImage()) {
                    self->m_table->item(row, CoverColumn)
                        ->setIcon(QIcon(QPixmap::fromImage(result.cover.image)));
                }
            },
            ImageCodec::kMaxThumbnailPixels);
    }
}

void FillWindow::showRunEnded(FillRun::Ending ending, int remaining) {
    m_stop->setEnabled(false);
    if (m_table->rowCount() > m_reports.size()) {
        // The album being worked on when the run ended is left as it was.
        m_table->item(m_table->rowCount() - 1, StatusColumn)->setText(QStringLiteral("Not done"));
    }
    m_progress->setRange(0, 1);
    m_progress->setValue(1);
    switch (ending) {
    case FillRun::Ending::Completed: {
        QMap<AlbumReport::Status, int> counts;
        for (const AlbumReport& report : std::as_const(m_reports)) {
            ++counts[report.status];
        }
        m_state->setText(
            QStringLiteral("Done: %1 saved, %2 already had a cover, %3 without a confident "
                           "match, %4 failed.")
                .arg(counts[AlbumReport::Status::Saved])
                .arg(counts[AlbumReport::Status::HasCover])
                .arg(counts[AlbumReport::Status::NoMatch])
                .arg(counts[AlbumReport::Status::Failed]));
        break;
    }
    case FillRun::Ending::Stopped:
        m_state->setText(QStringLiteral("Stopped; %1 album(s) left.").arg(remaining));
        break;
    case FillRun::Ending::RateLimited:
        m_state->setText(QStringLiteral("The catalogue asks for a break; %1 album(s) left. "
                                        "Try again later.")
                             .arg(remaining));
        break;
    case FillRun::Ending::Unreachable:
        m_state->setText(
            QStringLiteral("The catalogue could not be reached; %1 album(s) left.").arg(remaining));
        break;
    }
}

void FillWindow::searchByHand() {
    const int row = m_table->currentRow();
    if (row < 0 || row >= m_reports.size()) {
        return;
    }
    NotificationCenter::defaultCenter().post(
        NotificationNames::searchForTerm,
        {{NotificationNames::termKey,
          m_reports[row].artist + QLatin1Char(' ') + m_reports[row].album}});
}

#include "ui/library/CandidateStrip.h"

#include "imaging/ImageCodec.h"
#include "imaging/ImageService.h"
#include "platform/TextSafety.h"

#include <QPointer>

CandidateStrip::CandidateStrip(ImageService& images, QWidget* parent)
    : QListWidget(parent), m_images(images) {
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(false);
    setMovement(QListView::Static);
    setIconSize(QSize(kCoverSide, kCoverSide));
    setGridSize(QSize(kCoverSide * 2 + kCoverSide / 2, kCoverSide + 5 * fontMetrics().height()));
    setWordWrap(true);
    setTextElideMode(Qt::ElideRight);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAccessibleName(tr("Candidates"));
    setAccessibleDescription(tr("The albums that match alike; Return saves the current one's "
                                "cover into the album folder"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const int index = row(item);
        if (index >= 0 && index < m_candidates.size()) {
            Q_EMIT chosen(m_candidates[index]);
        }
    });
    hide();
}

QString CandidateStrip::describe(const CatalogueItem& item) {
    QStringList parts{TextSafety::withoutControlCharacters(item.collectionName()),
                      TextSafety::withoutControlCharacters(item.artistName())};
    if (item.releaseYear() > 0) {
        parts << QString::number(item.releaseYear()); // a year, never "2.024"
    }
    if (item.trackCount() > 0) {
        parts << tr("%Ln track(s)", nullptr, item.trackCount());
    }
    if (item.explicitness() == QLatin1String("explicit")) {
        parts << tr("explicit");
    } else if (item.explicitness() == QLatin1String("cleaned")) {
        parts << tr("clean");
    }
    return parts.join(QStringLiteral(" · "));
}

void CandidateStrip::setCandidates(const QList<CatalogueItem>& candidates, const QString& title) {
    if (candidates == m_candidates) {
        return;
    }
    clear();
    m_candidates = candidates;
    const int generation = ++m_generation;
    setAccessibleName(tr("Candidates for %1").arg(title));
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        auto* item = new QListWidgetItem(
            describe(candidates[i]).replace(QStringLiteral(" · "), QStringLiteral("\n")), this);
        item->setToolTip(describe(candidates[i]));
        item->setData(Qt::AccessibleTextRole, describe(candidates[i]));
        QPointer<CandidateStrip> self(this);
        m_images.loadImage(
            QUrl(candidates[i].artworkUrl()), iconSize() * devicePixelRatioF(), {},
            [self, generation, i](const ImageLoadResult& result) {
                if (self && self->m_generation == generation && result.hasImage()) {
                    self->item(int(i))->setIcon(QPixmap::fromImage(result.cover.image));
                }
            },
            ImageCodec::kMaxThumbnailPixels);
    }
    setCurrentRow(candidates.isEmpty() ? -1 : 0);
    setVisible(!candidates.isEmpty());
}

QSize CandidateStrip::sizeHint() const {
    return {QListWidget::sizeHint().width(), gridSize().height() + 2 * frameWidth() + 4};
}

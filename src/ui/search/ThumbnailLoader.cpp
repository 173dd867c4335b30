#include "ui/search/ThumbnailLoader.h"

#include "ui/common/ActivityIndicator.h"

#include <QAbstractItemView>
#include <QPointer>
#include <QScrollBar>

namespace {
// Rows kept loading beyond the visible ones, so a short scroll back finds them.
constexpr int kMargin = 6;
} // namespace

ThumbnailLoader::ThumbnailLoader(ImageService& images, QAbstractItemView* view)
    : QObject(view), m_images(images), m_view(view) {
    m_spinner.setInterval(80);
    connect(&m_spinner, &QTimer::timeout, this, [this] {
        m_spinnerStep = (m_spinnerStep + 1) % ActivityIndicator::kSteps;
        for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
            if (it->loading) {
                Q_EMIT rowChanged(it.key());
            }
        }
    });
    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &ThumbnailLoader::updateVisibleRange);
}

ThumbnailLoader::~ThumbnailLoader() {
    reset();
}

int ThumbnailLoader::loadingCount() const {
    int count = 0;
    for (const Entry& entry : m_entries) {
        count += entry.loading ? 1 : 0;
    }
    return count;
}

const ThumbnailLoader::Entry* ThumbnailLoader::requestThumbnail(int row, const QUrl& url,
                                                                const QSize& deviceSize) {
    auto it = m_entries.find(row);
    if (it != m_entries.end() && it->url == url) {
        return &*it;
    }
    if (it != m_entries.end() && it->loading) {
        m_images.cancel(it->token);
    }
    Entry& entry = m_entries[row];
    entry = Entry{};
    entry.url = url;
    entry.loading = true;
    const quint64 generation = m_generation;
    // A cancelled load is told of on a later turn, when this loader may be gone.
    QPointer<ThumbnailLoader> self(this);
    entry.token = m_images.loadImage(
        url, deviceSize, {},
        [this, self, row, url, generation](const ImageLoadResult& result) {
            if (!self || generation != m_generation || result.error == ImageLoadError::Cancelled) {
                return;
            }
            auto found = m_entries.find(row);
            if (found == m_entries.end() || found->url != url) {
                return;
            }
            found->loading = false;
            found->failed = !result.hasImage();
            found->image = result.cover.image;
            found->token = 0;
            if (loadingCount() == 0) {
                m_spinner.stop();
            }
            Q_EMIT rowChanged(row);
            if (!found->failed) {
                retryFailed(); // the catalogue answers again
            }
        },
        ImageCodec::kMaxThumbnailPixels);
    if (!m_spinner.isActive()) {
        m_spinner.start();
    }
    return &entry;
}

QImage ThumbnailLoader::scaledImage(int row, const QSize& deviceSize) {
    auto it = m_entries.find(row);
    if (it == m_entries.end() || it->image.isNull()) {
        return {};
    }
    if (it->image.size() == deviceSize) {
        return it->image;
    }
    if (it->scaled.size() != deviceSize) {
        // A 200-pixel thumbnail scales in well under a millisecond.
        it->scaled = it->image.scaled(deviceSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return it->scaled;
}

void ThumbnailLoader::reset() {
    ++m_generation;
    const auto entries = m_entries;
    m_entries.clear();
    for (const Entry& entry : entries) {
        if (entry.loading) {
            m_images.cancel(entry.token);
        }
    }
    m_spinner.stop();
}

void ThumbnailLoader::retryFailed() {
    QList<int> rows;
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->failed) {
            rows.append(it.key());
            it = m_entries.erase(it);
        } else {
            ++it;
        }
    }
    for (const int row : rows) {
        Q_EMIT rowChanged(row); // painted again, and so asked again
    }
}

void ThumbnailLoader::cancelOutside(int first, int last) {
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if ((it.key() < first || it.key() > last) && (it->loading || it->failed)) {
            if (it->loading) {
                m_images.cancel(it->token);
            }
            it = m_entries.erase(it);
        } else {
            ++it;
        }
    }
    if (loadingCount() == 0) {
        m_spinner.stop();
    }
}

void ThumbnailLoader::updateVisibleRange() {
    const QModelIndex top = m_view->indexAt(QPoint(0, 0));
    const QModelIndex bottom = m_view->indexAt(QPoint(0, m_view->viewport()->height() - 1));
    if (!top.isValid()) {
        return;
    }
    const int last = bottom.isValid() ? bottom.row() : m_view->model()->rowCount() - 1;
    cancelOutside(top.row() - kMargin, last + kMargin);
}

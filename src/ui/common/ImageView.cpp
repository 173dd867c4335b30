#include "ImageView.h"

#include "ImageGeometry.h"

#include <QFutureWatcher>
#include <QPainter>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

ImageView::ImageView(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

// A load still running for this view is dropped by the image service, which
// watches the view's lifetime.
ImageView::~ImageView() = default;

void ImageView::setImage(const CoverImage& image) {
    m_cover = image;
    m_scaled = QImage();
    m_scaledFor = QSize();
    m_scalingFor = QSize();
    ++m_generation;
    update();
    Q_EMIT imageChanged();
}

QImage ImageView::screenImage() const {
    return m_scaled.isNull() ? m_cover.image : m_scaled;
}

QRect ImageView::displayedImageRect() const {
    if (m_cover.isNull()) {
        return {};
    }
    const QSizeF imageSize = QSizeF(m_cover.image.size()) / m_cover.image.devicePixelRatio();
    return ImageGeometry::displayedImageRect(QSizeF(size()), imageSize);
}

void ImageView::paintEvent(QPaintEvent*) {
    if (m_cover.isNull()) {
        return;
    }
    const QRect target = displayedImageRect();
    if (target.isEmpty()) {
        return;
    }
    const qreal ratio = devicePixelRatioF();
    const QSize deviceSize = (QSizeF(target.size()) * ratio).toSize();
    QPainter painter(this);
    if (deviceSize == m_cover.image.size()) {
        painter.drawImage(target, m_cover.image);
        return;
    }
    if (deviceSize == m_scaledFor && !m_scaled.isNull()) {
        painter.drawImage(target, m_scaled);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_cover.image);
    scheduleScaling(deviceSize);
}

void ImageView::scheduleScaling(const QSize& deviceSize) {
    if (deviceSize == m_scalingFor) {
        return;
    }
    m_scalingFor = deviceSize;
    const quint64 generation = m_generation;
    auto* watcher = new QFutureWatcher<QImage>(this);
    connect(watcher, &QFutureWatcher<QImage>::finished, this,
            [this, watcher, generation, deviceSize] {
                watcher->deleteLater();
                if (generation != m_generation || deviceSize != m_scalingFor) {
                    return;
                }
                m_scaled = watcher->result();
                m_scaledFor = deviceSize;
                m_scalingFor = QSize();
                update();
            });
    watcher->setFuture(QtConcurrent::run([image = m_cover.image, deviceSize] {
        return image.scaled(deviceSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }));
}

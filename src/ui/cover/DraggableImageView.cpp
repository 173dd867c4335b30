#include "ui/cover/DraggableImageView.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QMimeData>
#include <QPainter>
#include <QTimer>

#include <cmath>

DraggableImageView::DraggableImageView(QWidget* parent) : ImageView(parent) {
    setContextMenuPolicy(Qt::DefaultContextMenu);
}

bool DraggableImageView::passesDragThreshold(const QPointF& press, const QPointF& position) {
    const QPointF delta = position - press;
    return std::hypot(delta.x(), delta.y()) >= kDragThreshold;
}

void DraggableImageView::paintEvent(QPaintEvent* event) {
    ImageView::paintEvent(event);
    m_drawnRect = hasImage() ? displayedImageRect() : QRect();
}

QImage DraggableImageView::thumbnail() const {
    if (!hasImage() || m_drawnRect.isEmpty()) {
        return {};
    }
    const qreal ratio = devicePixelRatioF();
    const QSize deviceSize = (QSizeF(m_drawnRect.size()) * ratio).toSize();
    QImage drawn = screenImage();
    if (drawn.size() != deviceSize) {
        drawn = drawn.scaled(deviceSize, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    drawn.setDevicePixelRatio(ratio);
    return drawn;
}

void DraggableImageView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressPosition = event->position();
        ++m_pressSerial;
    }
    event->accept();
}

void DraggableImageView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressPosition || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    if (!passesDragThreshold(*m_pressPosition, event->position())) {
        return;
    }
    const quint64 press = m_pressSerial;
    QTimer::singleShot(0, this, [this, press] {
        // One drag per press, however many moves passed the threshold.
        if (press != m_pressSerial || press == m_draggedPress) {
            return;
        }
        m_draggedPress = press;
        startDrag();
    });
}

void DraggableImageView::startDrag() {
    const QImage dragImage = thumbnail();
    if (dragImage.isNull()) {
        return;
    }
    const QUrl file = m_file;
    if (file.isEmpty()) {
        return;
    }
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData();
    mime->setUrls({file});
    drag->setMimeData(mime);
    drag->setPixmap(QPixmap::fromImage(dragImage));
    const QRect shown = displayedImageRect();
    if (m_pressPosition) {
        drag->setHotSpot(m_pressPosition->toPoint() - shown.topLeft());
    }
    Q_EMIT dragStarted(file);
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

void DraggableImageView::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    if (!m_file.isEmpty()) {
        Q_EMIT contextMenuWanted(event->globalPos());
    }
}

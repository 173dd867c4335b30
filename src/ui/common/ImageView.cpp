#include "ui/common/ImageView.h"

#include "imaging/ImageGeometry.h"

#include <QFutureWatcher>
#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>

ImageView::ImageView(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

ImageView::~ImageView() = default;

void ImageView::setPreview(const QImage& image) {
    // As large as the view: its picture size is a box no view reaches.
    setImage(CoverImage{image, {}, image.size().scaled(QSize(16384, 16384), Qt::KeepAspectRatio)});
    m_preview = !image.isNull();
}

void ImageView::setImage(const CoverImage& image) {
    m_preview = false;
    m_cover = image;
    m_decodedFor = image.image.size();
    ++m_generation;
    update();
    Q_EMIT imageChanged();
}

QRect ImageView::displayedImageRect() const {
    if (m_cover.isNull()) {
        return {};
    }
    return ImageGeometry::displayedImageRect(QSizeF(size()), QSizeF(m_cover.pictureSize()));
}

QSize ImageView::decodeBox() const {
    return (QSizeF(size()) * devicePixelRatioF()).toSize();
}

QSize ImageView::wantedImageSize() const {
    const QSize shown = (QSizeF(displayedImageRect().size()) * devicePixelRatioF()).toSize();
    return ImageCodec::decodeSize(m_cover.pictureSize(), shown);
}

void ImageView::setPlaceholderText(const QString& text) {
    m_placeholder = text;
    update();
}

void ImageView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect target = displayedImageRect();
    if (target.isEmpty()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, m_placeholder);
        return;
    }
    const QSize wanted = wantedImageSize();
    if (wanted != m_cover.image.size() && wanted != m_decodedFor) {
        // Until the picture is decoded for this size, the image at hand stands in.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        decodeForView();
    }
    painter.drawImage(target, m_cover.image);
}

void ImageView::decodeForView() {
    if (m_cover.encodedData.isEmpty()) {
        return; // nothing to decode from: the image is all there is
    }
    if (m_decoding) {
        return; // the view is looked at again when this decode is done
    }
    m_decoding = true;
    const quint64 generation = m_generation;
    const QSize box = wantedImageSize();
    auto* watcher = new QFutureWatcher<QImage>(this);
    connect(watcher, &QFutureWatcher<QImage>::finished, this, [this, watcher, generation, box] {
        watcher->deleteLater();
        m_decoding = false;
        const QImage image = watcher->result();
        if (generation == m_generation && !image.isNull()) {
            m_cover.image = image;
            m_decodedFor = box;
            Q_EMIT imageRedecoded();
        }
        update(); // decodes again if the view changed meanwhile
    });
    watcher->setFuture(QtConcurrent::run(
        [bytes = m_cover.encodedData, box] { return ImageCodec::decode(bytes, box); }));
}

#include "ImageCodec.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace ImageCodec {

namespace {

void raiseAllocationLimit() {
    static std::once_flag raised;
    std::call_once(raised, [] { QImageReader::setAllocationLimit(kAllocationLimitMegabytes); });
}

// The size the reader delivers once its orientation is applied.
QSize orientedSize(QImageReader& reader) {
    QSize size = reader.size();
    if (size.isValid() && (reader.transformation() & QImageIOHandler::TransformationRotate90)) {
        size.transpose();
    }
    return size;
}

} // namespace

QSize decodeSize(const QSize& full, const QSize& box) {
    if (box.isEmpty() || (full.width() <= box.width() && full.height() <= box.height())) {
        return full;
    }
    // Rounded as the view rounds the rectangle it draws into.
    const double scale =
        std::min(double(box.width()) / full.width(), double(box.height()) / full.height());
    return QSize(int(std::floor(scale * full.width() + 0.5)),
                 int(std::floor(scale * full.height() + 0.5)))
        .expandedTo(QSize(1, 1));
}

QSize pictureSize(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    return orientedSize(reader);
}

QImage decode(const QByteArray& bytes, const QSize& box) {
    if (bytes.isEmpty()) {
        return {};
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return decode(&buffer, box);
}

QImage decode(QIODevice* device, const QSize& box, QSize* pictureSize) {
    raiseAllocationLimit();
    QImageReader reader(device);
    reader.setAutoTransform(true);
    const QSize full = orientedSize(reader);
    if (pictureSize) {
        *pictureSize = full;
    }
    const QSize target = decodeSize(full, box);
    if (full.isValid() && target != full) {
        // The reader scales before it orients: ask in its own orientation.
        const bool turned = reader.size() != full;
        reader.setScaledSize(turned ? target.transposed() : target);
    }
    QImage image;
    if (!reader.read(&image)) {
        return {};
    }
    return image;
}

CoverImage decodeCover(const QByteArray& bytes, const QSize& box) {
    CoverImage cover{decode(bytes, box), bytes, {}};
    if (!cover.image.isNull()) {
        cover.fullSize = pictureSize(bytes);
    }
    return cover;
}

QByteArray pngData(const QByteArray& bytes) {
    const QImage image = decode(bytes);
    QByteArray out;
    if (!image.isNull()) {
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        writer.setCompression(1); // large covers: quick to make, quick to paste
        writer.write(image);
    }
    return out;
}

bool isJpeg(const QByteArray& bytes) {
    return bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xD8 &&
           static_cast<unsigned char>(bytes[2]) == 0xFF;
}

std::optional<QByteArray> jpegData(const CoverImage& cover) {
    if (isJpeg(cover.encodedData)) {
        return cover.encodedData;
    }
    // The shown image may be a reduced copy: encode from the bytes when there are any.
    QImage image = cover.encodedData.isEmpty() ? cover.image : decode(cover.encodedData);
    if (image.isNull()) {
        return std::nullopt;
    }
    if (image.hasAlphaChannel()) {
        // JPEG has no alpha: flatten onto white as viewers expect, not black.
        QImage flat(image.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
        painter.end();
        image = flat;
    }
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(100);
    if (!writer.write(image)) {
        return std::nullopt;
    }
    return out;
}

} // namespace ImageCodec

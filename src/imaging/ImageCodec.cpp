#include "ImageCodec.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <algorithm>
#include <mutex>

namespace ImageCodec {

QImage decode(const QByteArray& bytes, int maxSide) {
    static std::once_flag raised;
    std::call_once(raised, [] { QImageReader::setAllocationLimit(kAllocationLimitMegabytes); });

    if (bytes.isEmpty()) {
        return {};
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    const int longer = size.isValid() ? std::max(size.width(), size.height()) : 0;
    if (maxSide > 0 && longer > maxSide && longer > kDecodeWholeUpTo) {
        reader.setScaledSize(size.scaled(maxSide, maxSide, Qt::KeepAspectRatio));
    }
    QImage image;
    if (!reader.read(&image)) {
        return {};
    }
    return image;
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
    QImage image = cover.encodedData.isEmpty() ? cover.image : decode(cover.encodedData, 0);
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

#include "imaging/ImageCodec.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QSemaphore>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

namespace ImageCodec {

namespace {

// Decodes producing more than this many pixels take one of two turns.
constexpr qint64 kBigDecodePixels = 4'000'000;

QSemaphore& bigDecodeTurns() {
    static QSemaphore turns(2);
    return turns;
}

void raiseAllocationLimit() {
    static std::once_flag raised;
    // The pixel limit is ours (kMaxPicturePixels); Qt's own stays out of its way.
    std::call_once(raised, [] { QImageReader::setAllocationLimit(1024); });
}

// The size the reader delivers once its orientation is applied.
QSize orientedSize(QImageReader& reader) {
    QSize size = reader.size();
    if (size.isValid() && (reader.transformation() & QImageIOHandler::TransformationRotate90)) {
        size.transpose();
    }
    return size;
}

qint64 pixelsOf(const QSize& size) {
    return qint64(size.width()) * qint64(size.height());
}

// Composes a premultiplied picture over white where it lies: no second copy
// of a large picture is made for it.
void flattenOntoWhite(QImage& image) {
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int clear = 255 - qAlpha(line[x]);
            line[x] = qRgb(qRed(line[x]) + clear, qGreen(line[x]) + clear, qBlue(line[x]) + clear);
        }
    }
    image.reinterpretAsFormat(QImage::Format_RGB32);
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

PictureInfo pictureInfo(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    PictureInfo info{orientedSize(reader), reader.format().toLower()};
    if (!info.size.isValid()) {
        info.size = QSize();
    }
    return info;
}

QSize pictureSize(const QByteArray& bytes) {
    return pictureInfo(bytes).size;
}

QImage decode(const QByteArray& bytes, const QSize& box, qint64 maxPixels) {
    if (bytes.isEmpty()) {
        return {};
    }
    raiseAllocationLimit();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QSize full = orientedSize(reader);
    // Refused on its header's word, before a pixel is allocated.
    if (!full.isValid() || pixelsOf(full) > maxPixels) {
        return {};
    }
    const QSize target = decodeSize(full, box);
    if (target != full) {
        // The reader scales before it orients: ask in its own orientation.
        const bool turned = reader.size() != full;
        reader.setScaledSize(turned ? target.transposed() : target);
    }
    // JPEG decodes at the scaled size; the others decode whole, then scale.
    const bool big = pixelsOf(reader.format() == "jpeg" ? target : full) > kBigDecodePixels;
    if (big) {
        bigDecodeTurns().acquire();
    }
    QImage image;
    const bool read = reader.read(&image);
    if (big) {
        bigDecodeTurns().release();
    }
    return read ? image : QImage();
}

CoverImage decodeCover(const QByteArray& bytes, const QSize& box, qint64 maxPixels) {
    CoverImage cover{decode(bytes, box, maxPixels), bytes, {}, {}};
    if (!cover.image.isNull()) {
        const PictureInfo info = pictureInfo(bytes);
        cover.fullSize = info.size;
        cover.format = info.format;
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

std::optional<QByteArray> jpegImage(const QByteArray& bytes) {
    if (!isJpeg(bytes)) {
        return std::nullopt;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    qsizetype at = 2; // after SOI
    bool frame = false;
    bool scanned = false;
    while (at + 1 < size) {
        if (data[at] != 0xFF) {
            return std::nullopt; // no marker where one must be
        }
        const unsigned char marker = data[at + 1];
        if (marker == 0xFF) {
            ++at; // fill byte
            continue;
        }
        if (marker == 0xD9) { // EOI: the image is whole when a frame was scanned
            return frame && scanned ? std::optional<QByteArray>(bytes.left(at + 2)) : std::nullopt;
        }
        if (marker >= 0xD0 && marker <= 0xD7) {
            at += 2; // a restart marker between scans' data
            continue;
        }
        if (at + 3 >= size) {
            return std::nullopt;
        }
        const qsizetype length = (qsizetype(data[at + 2]) << 8) | data[at + 3];
        if (length < 2 || at + 2 + length > size) {
            return std::nullopt;
        }
        frame |= (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                  marker != 0xCC);
        at += 2 + length;
        if (marker != 0xDA) {
            continue;
        }
        // The scan's entropy-coded data runs to the next marker that is
        // neither a stuffed zero nor a restart.
        scanned = true;
        for (;;) {
            const void* found = std::memchr(data + at, 0xFF, size_t(size - at));
            if (!found) {
                return std::nullopt;
            }
            at = static_cast<const unsigned char*>(found) - data;
            if (at + 1 >= size) {
                return std::nullopt;
            }
            const unsigned char next = data[at + 1];
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7) || next == 0xFF) {
                at += next == 0xFF ? 1 : 2;
                continue;
            }
            break;
        }
    }
    return std::nullopt;
}

std::optional<QByteArray> jpegData(const CoverImage& cover) {
    if (isJpeg(cover.encodedData)) {
        return jpegImage(cover.encodedData);
    }
    // The shown image may be a reduced copy: encode from the bytes when there are any.
    QImage image = cover.encodedData.isEmpty() ? cover.image : decode(cover.encodedData);
    if (image.isNull()) {
        return std::nullopt;
    }
    if (image.hasAlphaChannel()) {
        // JPEG has no alpha: flattened onto white as viewers show it, not black.
        flattenOntoWhite(image);
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

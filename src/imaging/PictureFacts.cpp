#include "imaging/PictureFacts.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <bit>

namespace PictureFacts {

namespace {

// Larger than any artwork server hands out, small enough to rule out nonsense.
constexpr int kLargestSide = 65535;

QSize sizeOn(QIODevice* device) {
    QImageReader reader(device);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || size.width() > kLargestSide ||
        size.height() > kLargestSide) {
        return {};
    }
    return size;
}

} // namespace

QSize headerSize(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return sizeOn(&buffer);
}

QSize headerSizeOfFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? sizeOn(&file) : QSize();
}

std::optional<std::uint64_t> fingerprint(const QByteArray& bytes) {
    if (!headerSize(bytes).isValid()) {
        return std::nullopt; // also keeps a bomb's header from being decoded
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    // Decoders that can shrink while reading (JPEG) do most of the work.
    reader.setScaledSize(QSize(9, 8));
    QImage image = reader.read();
    if (image.isNull()) {
        return std::nullopt;
    }
    image = image.convertToFormat(QImage::Format_Grayscale8)
                .scaled(9, 8, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    std::uint64_t hash = 0;
    for (int y = 0; y < 8; ++y) {
        const uchar* row = image.constScanLine(y);
        for (int x = 0; x < 8; ++x) {
            hash = (hash << 1) | (row[x] < row[x + 1] ? 1U : 0U);
        }
    }
    return hash;
}

int distance(std::uint64_t a, std::uint64_t b) {
    return std::popcount(a ^ b);
}

bool samePicture(const QByteArray& a, const QByteArray& b) {
    const auto first = fingerprint(a);
    const auto second = fingerprint(b);
    return first && second && distance(*first, *second) <= kSamePictureBits;
}

} // namespace PictureFacts

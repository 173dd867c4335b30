#include "imaging/PictureFacts.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <cstdlib>

namespace PictureFacts {

namespace {

// Larger than any artwork server hands out, small enough to rule out nonsense.
constexpr int kLargestSide = 65535;
constexpr int kSide = 16; // a fingerprint's side in pixels

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

std::optional<QByteArray> fingerprint(const QByteArray& bytes) {
    if (!headerSize(bytes).isValid()) {
        return std::nullopt; // also keeps a bomb's header from being decoded
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    // Decoders that can shrink while reading (JPEG) do most of the work.
    reader.setScaledSize(QSize(64, 64));
    QImage image = reader.read();
    if (image.isNull()) {
        return std::nullopt;
    }
    image = image.convertToFormat(QImage::Format_RGB888)
                .scaled(kSide, kSide, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QByteArray print;
    for (int y = 0; y < kSide; ++y) {
        print.append(reinterpret_cast<const char*>(image.constScanLine(y)), kSide * 3);
    }
    return print;
}

int distance(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size() || a.isEmpty()) {
        return 255;
    }
    qint64 sum = 0;
    for (qsizetype i = 0; i < a.size(); ++i) {
        sum += std::abs(int(quint8(a[i])) - int(quint8(b[i])));
    }
    return int(sum / a.size());
}

bool samePicture(const QByteArray& a, const QByteArray& b) {
    const auto first = fingerprint(a);
    const auto second = fingerprint(b);
    return first && second && distance(*first, *second) <= kSamePicture;
}

} // namespace PictureFacts

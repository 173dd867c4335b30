#include "imaging/PictureFacts.h"

#include "imaging/ImageCodec.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

#include <cstdlib>

namespace PictureFacts {

namespace {

constexpr int kSide = 16; // a fingerprint's side in pixels

} // namespace

QSize headerSizeOfFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    QSize size = reader.size();
    if (reader.transformation() & QImageIOHandler::TransformationRotate90) {
        size.transpose();
    }
    return size.isValid() && !size.isEmpty() ? size : QSize();
}

std::optional<QByteArray> fingerprint(const QByteArray& bytes) {
    // Decoded no larger than needed, and never a picture too large to decode.
    QImage image = ImageCodec::decode(bytes, QSize(kSide, kSide));
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

#pragma once

#include <QByteArray>
#include <QSize>

#include <optional>

// What can be told of a picture cheaply: its size from its header alone, and
// a fingerprint of what it shows that survives scaling and recompression.
namespace PictureFacts {

// The pixel size a picture file's header gives (orientation applied),
// reading no more of the file than its header; invalid when it is no
// picture Qt reads. (ImageCodec::pictureSize does the same for bytes.)
QSize headerSizeOfFile(const QString& path);

// The picture shrunk to 16 × 16 colour pixels: the same picture at another
// size or quality barely differs there, another picture (other colours,
// another layout) clearly does. None when it cannot be decoded.
std::optional<QByteArray> fingerprint(const QByteArray& bytes);

// How far apart two fingerprints are: the mean difference of their colour
// values, 0 to 255.
int distance(const QByteArray& a, const QByteArray& b);

// At most this far apart: the same picture.
inline constexpr int kSamePicture = 12;

// Whether two pictures show the same thing; false when either cannot be read.
bool samePicture(const QByteArray& a, const QByteArray& b);

// The shorter side, the measure of whether a cover is small.
inline int shorterSide(QSize size) {
    return size.isValid() ? qMin(size.width(), size.height()) : 0;
}

} // namespace PictureFacts

#pragma once

#include <QByteArray>
#include <QSize>

#include <cstdint>
#include <optional>

// What can be told of a picture cheaply: its size from its header alone, and
// a fingerprint of what it shows that survives scaling and recompression.
namespace PictureFacts {

// The pixel size its header gives (JPEG, PNG, WebP, ...); invalid when the
// bytes are no picture Qt reads or the header says nothing sensible.
QSize headerSize(const QByteArray& bytes);
// The same for a file, reading no more of it than its header.
QSize headerSizeOfFile(const QString& path);

// A 64-bit difference hash of the picture shrunk to 9 × 8 grey pixels: the
// same picture at another size or quality differs in a few bits, another
// picture in about half of them. None when it cannot be decoded.
std::optional<std::uint64_t> fingerprint(const QByteArray& bytes);

// How many bits two fingerprints differ in.
int distance(std::uint64_t a, std::uint64_t b);

// At most this many bits apart: the same picture.
inline constexpr int kSamePictureBits = 10;

// Whether two pictures show the same thing; false when either cannot be read.
bool samePicture(const QByteArray& a, const QByteArray& b);

// The shorter side, the measure of whether a cover is small.
inline int shorterSide(QSize size) {
    return size.isValid() ? qMin(size.width(), size.height()) : 0;
}

} // namespace PictureFacts

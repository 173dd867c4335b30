#pragma once

#include <QByteArray>
#include <QImage>

#include <optional>

// A decoded image together with the bytes it was decoded from, as downloaded.
// The bytes matter: a cover that arrived as JPEG is written out unchanged.
struct CoverImage {
    QImage image;
    QByteArray encodedData;

    bool isNull() const { return image.isNull(); }
};

namespace ImageCodec {

// Largest decoded image accepted, in megabytes of pixels (an 8000x8000 cover
// takes 244 MB as 32-bit pixels).
inline constexpr int kAllocationLimitMegabytes = 1024;

// Images are decoded for the screen at most this many pixels on their longer
// side: enough for a cover pane on a 4K screen, and a 5000-pixel cover then
// takes 26 MB instead of 100 MB. The bytes keep the full resolution for saving.
inline constexpr int kDisplayMaxSide = 2560;
// Images up to this size decode whole: scaling a little costs more time than
// it saves memory.
inline constexpr int kDecodeWholeUpTo = 3000;

// Decodes `bytes` of any supported format, scaled down to `maxSide` (JPEG
// decodes scaled, so it is also faster) when the longer side exceeds both
// `maxSide` and kDecodeWholeUpTo (`maxSide` 0: never); a null
// image when they are no image or the image would exceed the allocation limit.
// Safe on any thread.
QImage decode(const QByteArray& bytes, int maxSide = kDisplayMaxSide);

// True when the bytes start like a JPEG stream (FF D8 FF).
bool isJpeg(const QByteArray& bytes);

// The bytes to write for a cover: the downloaded bytes themselves when they
// already are JPEG, else the image at full resolution (decoded again from the
// bytes when there are any) encoded as JPEG at the highest quality.
// Empty when there is nothing to encode.
std::optional<QByteArray> jpegData(const CoverImage& cover);

} // namespace ImageCodec

#pragma once

#include <QByteArray>
#include <QImage>

class QIODevice;

#include <optional>

#include <QSize>

// A decoded image together with the bytes it was decoded from, as downloaded.
// The image is decoded for the screen (often smaller than the picture); the
// bytes keep the full picture: a cover that arrived as JPEG is written out
// unchanged, and any size can be decoded again from them.
struct CoverImage {
    QImage image;
    QByteArray encodedData;
    QSize fullSize = {}; // the picture's own pixel size

    bool isNull() const { return image.isNull(); }
    // The size the picture has on screen: its own (the image may be smaller).
    QSize pictureSize() const { return fullSize.isValid() ? fullSize : image.size(); }
};

namespace ImageCodec {

// Largest decoded image accepted, in megabytes of pixels (an 8000x8000 cover
// takes 244 MB as 32-bit pixels).
inline constexpr int kAllocationLimitMegabytes = 1024;

// The size a picture of `full` pixels is decoded at for a view of `box`
// device pixels: the smallest that still fills the box's share of it (fitted,
// aspect kept), never larger than the picture. An empty box: the full size.
QSize decodeSize(const QSize& full, const QSize& box);

// The picture's own pixel size, from its header (orientation applied); empty
// when the bytes are no image.
QSize pictureSize(const QByteArray& bytes);

// Decodes `bytes` of any supported format at decodeSize(picture, box): JPEG
// decodes scaled (libjpeg's DCT scaling, a fraction of the full work), other
// formats are decoded and scaled once. A null image when they are no image or
// the picture would exceed the allocation limit. Safe on any thread.
QImage decode(const QByteArray& bytes, const QSize& box = {});
// The same, streamed from an open device (a file: its reading and the
// decoding overlap).
QImage decode(QIODevice* device, const QSize& box = {}, QSize* pictureSize = nullptr);
// The same, as a cover: the image, the bytes and the picture's size.
CoverImage decodeCover(const QByteArray& bytes, const QSize& box = {});

// The picture in `bytes` as PNG (for the clipboard); empty when they are no image.
QByteArray pngData(const QByteArray& bytes);

// True when the bytes start like a JPEG stream (FF D8 FF).
bool isJpeg(const QByteArray& bytes);

// The bytes to write for a cover: the downloaded bytes themselves when they
// already are JPEG, else the image at full resolution (decoded again from the
// bytes when there are any) encoded as JPEG at the highest quality.
// Empty when there is nothing to encode.
std::optional<QByteArray> jpegData(const CoverImage& cover);

} // namespace ImageCodec

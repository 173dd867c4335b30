#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <optional>

// A decoded image together with the bytes it was decoded from, as downloaded.
// The image is decoded for the screen (often smaller than the picture); the
// bytes keep the full picture: a cover that arrived as JPEG is written out
// unchanged, and any size can be decoded again from them.
struct CoverImage {
    QImage image;
    QByteArray encodedData;
    QSize fullSize = {};    // the picture's own pixel size
    QByteArray format = {}; // "jpeg", "png", "tiff", "webp", ...

    bool isNull() const { return image.isNull(); }
    // The size the picture has on screen: its own (the image may be smaller).
    QSize pictureSize() const { return fullSize.isValid() ? fullSize : image.size(); }
};

namespace ImageCodec {

// The most pixels a picture may declare before anything of it is decoded: the
// largest real artwork is well under 10,000 x 10,000, while a few bytes of
// GIF, PNG or WebP can declare billions.
inline constexpr qint64 kMaxPicturePixels = 100'000'000;
// Thumbnails are 200 pixels; anything near this is no thumbnail.
inline constexpr qint64 kMaxThumbnailPixels = 4'000'000;

// What a picture's header says, read without decoding it.
struct PictureInfo {
    QSize size;        // orientation applied; empty when the bytes are no picture
    QByteArray format; // lower case, as the image plugins name it
};
PictureInfo pictureInfo(const QByteArray& bytes);
QSize pictureSize(const QByteArray& bytes);

// The size a picture of `full` pixels is decoded at for a view of `box`
// device pixels: the smallest that still fills the box's share of it (fitted,
// aspect kept), never larger than the picture. An empty box: the full size.
QSize decodeSize(const QSize& full, const QSize& box);

// Decodes `bytes` of any supported format at decodeSize(picture, box): JPEG
// decodes scaled (libjpeg's DCT scaling), other formats are decoded and scaled
// once. A null image when they are no image, or when the picture declares more
// than `maxPixels`. Big decodes take turns (at most two at once), so that a
// burst of them cannot take the memory of many. Safe on any thread.
QImage decode(const QByteArray& bytes, const QSize& box = {}, qint64 maxPixels = kMaxPicturePixels);
// The same, as a cover: the image, the bytes and what the header says.
CoverImage decodeCover(const QByteArray& bytes, const QSize& box = {},
                       qint64 maxPixels = kMaxPicturePixels);

// The picture in `bytes` as PNG (for the clipboard); empty when they are no image.
QByteArray pngData(const QByteArray& bytes);

// True when the bytes start like a JPEG stream (FF D8 FF).
bool isJpeg(const QByteArray& bytes);

// A JPEG stream up to the end of its image: the EOI marker that closes its
// last scan, found by walking its segments (an EXIF thumbnail's own EOI lies
// inside a segment and is passed over); what follows is not the picture's.
// None when the image ends before that (a cut-off download).
std::optional<QByteArray> jpegImage(const QByteArray& bytes);

// The bytes to write for a cover: the downloaded JPEG itself (up to the end
// of its image), else the picture at full resolution encoded as JPEG at the
// highest quality, transparency flattened onto white. None when there is
// nothing to encode.
std::optional<QByteArray> jpegData(const CoverImage& cover);

} // namespace ImageCodec

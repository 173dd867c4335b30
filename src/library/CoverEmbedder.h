#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Puts a cover into audio files as their front cover: an ID3v2 APIC frame
// (MP3, type 3, the tag saved alone, its version kept), a FLAC PICTURE block,
// an MP4 "covr" atom, or a METADATA_BLOCK_PICTURE comment (Ogg Vorbis, Opus).
// A file is never edited where it lies: a copy in its folder is changed,
// flushed, checked (it opens, its audio reads as the original's), given the
// original's permissions and owner, and renamed over it. A symbolic link's
// target is the file changed; a file with several hard links, or another
// user's, is left alone.
namespace CoverEmbedder {

inline constexpr int kDefaultMaxSide = 1500;

struct Picture {
    QByteArray data;
    QByteArray mime; // "image/jpeg" or "image/png"
};

// What goes into the files for a cover: a JPEG or PNG of at most `maxSide`
// pixels on its long side as it is; a larger one, or another format (WebP,
// TIFF, GIF), as a JPEG of at most `maxSide`. None when it is no picture.
std::optional<Picture> prepare(const QByteArray& cover, int maxSide = kDefaultMaxSide);

struct Result {
    enum class Outcome { Embedded, AlreadyHad, NotEmbeddable, Failed };
    Outcome outcome = Outcome::Failed;
    QString error; // why not, for Failed and NotEmbeddable
};

// Embeds `picture` into the audio file `nativePath` as its front cover. A file
// that already carries one (a front or "other" picture; any MP4 cover) is
// left as it is unless `replace`, which replaces its front cover only.
Result embed(const QByteArray& nativePath, const Picture& picture, bool replace = false);

// Tests: fail between the checked copy and its rename.
void setFailBeforeRenameForTesting(bool fail);

} // namespace CoverEmbedder

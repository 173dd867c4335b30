#pragma once

#include "library/formats/AudioFormat.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <optional>

// Puts a cover into audio files as their front cover: an ID3v2 APIC frame
// spliced into the tag's bytes (MP3, its version kept), a FLAC PICTURE
// block, an MP4 "covr" item, or a METADATA_BLOCK_PICTURE comment (Ogg Vorbis,
// Opus). A file is never edited where it lies: each format writes a copy
// beside it and checks the copy byte for byte against the original, and the
// copy is renamed over it (CoverFileWriter::CheckedRewrite). A symbolic
// link's target is the file changed; a file with several hard links, another
// user's, or one whose content is not what its name says is left alone.
namespace CoverEmbedder {

inline constexpr int kDefaultMaxSide = 1500;

using Picture = EmbeddedPicture;

// What goes into the files for a cover: a JPEG or PNG of at most `maxSide`
// pixels on its long side as it is; a larger one, or another format (WebP,
// TIFF, GIF), as a JPEG of at most `maxSide`. None when it is no picture.
std::optional<Picture> prepare(const QByteArray& cover, int maxSide = kDefaultMaxSide);

struct Result {
    enum class Outcome { Embedded, AlreadyHad, NotEmbeddable, Failed, Stopped };
    Outcome outcome = Outcome::Failed;
    QString error; // why not, for Failed, NotEmbeddable and Stopped
};

// Embeds `picture` into the audio file `nativePath` as its front cover. A file
// that already carries one (a front or "other" picture; any MP4 cover) is
// left as it is unless `replace`, which replaces its front cover only. When
// `stop` becomes true, a copy under way is abandoned (Stopped).
Result embed(const QByteArray& nativePath, const Picture& picture, bool replace = false,
             const std::atomic<bool>* stop = nullptr);

} // namespace CoverEmbedder

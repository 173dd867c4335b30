#pragma once

#include "library/formats/AudioFormat.h"

// The families that take pictures, each in a file of its own.
const AudioFormat& mpegFormat();
const AudioFormat& flacFormat();
const AudioFormat& mp4Format();
const AudioFormat& oggFormat();

// Shared by their checks.
namespace FormatChecks {

// A picture type that counts as the album's cover: the front, or "other",
// which many programs write; `frontOnly` counts the front alone (what a
// replacement removes).
bool isCoverType(int type, bool frontOnly);

// "the tags could not be written" unless the rewrite already says why.
EmbedStep failed(CoverFileWriter::CheckedRewrite& rewrite, const QString& why);
EmbedStep notEmbeddable(const QString& why);

} // namespace FormatChecks

#pragma once

#include "AlbumObject.h"

#include <QList>
#include <QString>

#include <optional>

// Whether a catalogue album is the album of a library folder. Names are
// compared normalised: case folded, accents and other scripts' letters spelt
// in plain Latin, punctuation dropped, "&" read as "and", a leading "The" and
// edition words ("Deluxe Edition", "Remastered", "EP", ...) left out. Both the
// artist and the title must be close: a same-titled album by another artist,
// or an album named after the artist, is not taken.
namespace AlbumMatcher {

inline constexpr double kThreshold = 0.85;

QString normalised(const QString& name);
// 1 for names that normalise alike, falling with the edits between them.
double similarity(const QString& a, const QString& b);
// The lower of the artist's and the title's similarity.
double score(const QString& artist, const QString& album, const QString& candidateArtist,
             const QString& candidateAlbum);

struct Match {
    AlbumObject record;
    double score = 0;
    bool confident = false; // at or above the threshold
};
// The best candidate for the album, confident or not; none without candidates.
std::optional<Match> bestMatch(const QString& artist, const QString& album,
                               const QList<AlbumObject>& candidates);

} // namespace AlbumMatcher

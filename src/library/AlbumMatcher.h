#pragma once

#include "catalogue/CatalogueItem.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Whether a catalogue album is the album of a library folder. Names are
// compared normalised: case folded, accents and other scripts' letters spelt
// in plain Latin, punctuation dropped, "&" read as "and", a leading article
// (or a trailing one, in sort form) left out. A title is compared by its core:
// edition words ("Deluxe Edition", "2011 Remaster" in brackets or after a
// dash), soundtrack additions, disc markers and " - EP" / " - Single" are set
// aside; the numbers that remain must agree by value (Roman numerals too).
// Both the artist and the title must be close: a same-titled album by another
// artist is never taken, nor another volume of a series.
namespace AlbumMatcher {

inline constexpr double kThreshold = 0.85;
// Raised whenever the rules change what they take: remembered outcomes of
// older rules are worked on again.
inline constexpr int kRulesVersion = 2;

// A title taken apart.
struct Title {
    QString text;          // as written, without what is set aside: a search's words
    QString core;          // normalised, without what is set aside
    QList<qint64> numbers; // by value, in order
    QStringList editions;  // the edition words set aside ("deluxe", "remaster", ...)
    bool single = false;   // " - Single"
    bool ep = false;       // " - EP"
    int disc = 0;          // "(Disc 2)", "CD2"
    int year = 0;          // "(2016)", "- 2011 Remaster"
};
Title parseTitle(const QString& title);

QString normalised(const QString& name);
// The artist a credit names once a featured part is set aside, for a credit
// whose main artist is `main` ("" when none is known yet): "A feat. B" is
// always A; "A & B", "A with B", "A x B" and "A, B" are A only when A is
// `main` ("Earth, Wind & Fire" stays whole).
QString mainArtist(const QString& credit, const QString& main = {});
// 1 for names that normalise alike, falling with the edits between them.
double similarity(const QString& a, const QString& b);
// The same for titles, by their cores; 0 when their numbers differ.
double titleSimilarity(const QString& a, const QString& b);
// The same for artists; a featured part of the candidate's credit ("A & The
// Orchestra", "A feat. B") is set aside when what remains is the artist.
double artistSimilarity(const QString& artist, const QString& candidateArtist);
// The lower of the artist's and the title's similarity.
double score(const QString& artist, const QString& album, const QString& candidateArtist,
             const QString& candidateAlbum);

// What a folder holds, as its tags (else its folder names) write it.
struct Wanted {
    QString artist;
    QString album;
    QString explicitness;     // "explicit" or "cleaned" when the tags say so
    bool compilation = false; // matched by title alone
};

struct Match {
    CatalogueItem record;
    double score = 0;
    bool confident = false;      // at or above the threshold, and not ambiguous
    bool ambiguous = false;      // different albums matched alike: none is taken
    QList<CatalogueItem> rivals; // the others matched alike, when ambiguous
};

// The best candidate, confident or not; none without candidates. Among
// candidates that match alike, the editions of one album are alternatives,
// ranked: the edition the title names (a plain title the plain album, a
// single or EP the single or EP; another edition when the catalogue has
// only that), then the version the tags name (explicit, clean), then the
// catalogue's order. Different albums matched alike are ambiguous.
std::optional<Match> bestMatch(const Wanted& wanted, const QList<CatalogueItem>& candidates);

} // namespace AlbumMatcher

#pragma once

#include "library/TagReader.h"

#include <QList>
#include <QString>
#include <QStringList>

// Which album a folder's audio files are, from their tags (or, without tags,
// from the folder names). Pure functions.
namespace AlbumTags {

struct Identity {
    enum class Kind {
        Album,       // one album, its artist and title agreed by the files
        Compilation, // one title, no artist most files share: searched by title
        Mixed,       // several albums, none most files name (a "Singles" folder)
        Unknown,     // nothing names an album
    };
    Kind kind = Kind::Unknown;
    QString artist;
    QString album;
    int year = 0;
    QStringList albums; // Mixed: the albums the files name
    QString barcode;    // the one most files carry, checked; empty on a tie or none
    qint64 collectionId = 0;
    qint64 artistId = 0;
    QString explicitness;
    QString storefront; // where most of its files were bought, when they say
};

// The album most files name (disc markers aside), and its artist from those
// same files: the album artist when they have one, else the artist most of
// them credit, a featured part set aside ("A feat. B" always; "A & B", "A with
// B", "A x B", "A, B" only when A is the artist the others credit).
Identity identify(const QList<TrackTags>& tracks);

// "Artist", "Album" and the year from ".../Artist/Album (2016)",
// ".../Artist/1977 - Album" or ".../Artist/[1977] Album"; an artist folder in
// sort form ("Quiet Hours, The") is read in reading order.
Identity fromFolderNames(const QString& albumFolder);

// A disc folder's name: "CD1", "Disc 2", "disk 3 - Live", "CD 2".
bool isDiscFolderName(const QString& name);

} // namespace AlbumTags

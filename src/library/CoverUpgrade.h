#pragma once

#include "library/AlbumScanner.h"
#include "library/FillOptions.h"
#include "library/ReplacedCovers.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

#include <atomic>

// Replacing the cover files an album has: with a larger rendition of the same
// picture (an upgrade), or with the cover a person chose. What is replaced is
// kept aside first (ReplacedCovers), or nothing is replaced. Blocking: for
// workers and the command line.
namespace CoverUpgrade {

enum class Mode {
    Upgrade, // only a larger rendition of the same picture, never a chosen cover
    Choose,  // a person's choice: it replaces whatever cover the album has
};

// Why an album's covers stay as they are.
enum class Keep {
    No,          // they are replaced
    Larger,      // what would be written is no larger
    Different,   // the catalogue's cover shows another picture
    SizeUnknown, // no header of its covers says how large it is
    Chosen,      // a person chose it
};
// "larger", "different", "size-unknown", "chosen" (--json's "kept").
QString keepName(Keep keep);
// The reason in words, as the report says it.
QString keepReason(Keep keep);

// Whether an album's largest cover file (`had`) gives way to `would` (what
// would be written): only a larger picture of the same thing replaces a cover
// nobody chose. `same` is whether the two show the same picture.
Keep decide(QSize had, QSize would, bool chosen, bool same);

// Whether the album is one an upgrade below `below` pixels asks about: its
// largest cover (its files', and with `pictures` its embedded ones') is
// smaller on its shorter side. Unknown when no cover's size could be read.
enum class Smallness { Large, Small, Unknown };
Smallness smallness(const AlbumFolder& album, int below, bool pictures);

struct Outcome {
    Keep keep = Keep::No;
    QString error;     // nothing was replaced, because of this
    QString written;   // the name the new cover went under
    QSize before;      // the largest cover it had
    int replaced = 0;  // cover files replaced (disc folders' included)
    QStringList notes; // covers left alone, and why
};

struct Replacing {
    QString coverName; // the fill's cover name for the album
    Mode mode = Mode::Upgrade;
    bool pictures = false; // its embedded front covers count too
    int embedSide = 1500;  // as large as pictures are embedded
    const std::atomic<bool>* stop = nullptr;
};

// Replaces the album's cover files (those players read, in its folder, and in
// its disc folders the ones identical to the album's) with `cover`, a JPEG.
// A JPEG is replaced under its own name; another format is kept aside and
// removed, the cover taking `coverName`; a link to another cover of the album
// follows its target; a link out of the album is kept aside as the link and
// replaced by a file; a file with several hard links is left alone.
Outcome replace(const AlbumFolder& album, const QByteArray& cover, const Replacing& how,
                ReplacedCovers& keeper);

struct Pictures {
    int files = 0;      // files whose front cover was replaced
    QStringList failed; // "file: reason"
};
// Replaces the album's small embedded front covers (AlbumFolder::
// smallPictures) with `cover` as it is embedded, where that is larger and
// they were not chosen; a choice replaces every file's front cover. Each is
// kept aside first (a picture shared by many files once). The files are
// rewritten as checked copies.
Pictures replacePictures(const AlbumFolder& album, const QByteArray& cover, const Replacing& how,
                         ReplacedCovers& keeper);

} // namespace CoverUpgrade

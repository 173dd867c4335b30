#pragma once

#include "catalogue/CatalogueItem.h"

#include <QJsonObject>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <optional>

// What became of one album folder in a fill.
struct AlbumReport {
    enum class Status {
        Saved,       // its cover was written
        Planned,     // a dry run would write it
        HasCover,    // it has a cover file, or every file carries one
        Embedded,    // its cover file went into files that had none
        NoMatch,     // the catalogue has no confident match
        Ambiguous,   // different albums matched alike: none was taken
        Mixed,       // its files name several albums: no folder cover
        Failed,      // a download, a write or a read failed
        EmbedFailed, // the cover is there, but some files could not take it
        Skipped,     // its tags took too long to read
    };

    int index = -1; // the album's place in the run
    QString folder;
    QString artist;
    QString album;
    Status status = Status::Failed;
    QString file;                       // written, planned, or the cover found there
    std::optional<CatalogueItem> match; // the chosen (or best) catalogue album
    QList<CatalogueItem> rivals;        // ambiguous: the albums matched alike
    QStringList albums;                 // mixed: the albums its files name
    double score = 0;
    QString via;             // "id", "barcode", "listing" or "search"; empty without a request
    QString reason;          // why it failed, or what else there is to know
    int embedded = 0;        // files the cover went into
    QStringList embedFailed; // "file: reason"
    bool remembered = false; // decided by an earlier run's journal, without a request

    // "saved", "planned", "has-cover", "embedded", "no-match", "ambiguous",
    // "mixed", "failed", "embed-failed", "skipped".
    static QString statusName(Status status);
    // The one table of what an album's outcome means for the exit status of a
    // completed run: 0 for what went as it should, 1 for what failed.
    static int exitStatusFor(Status status);
    // One line of `sleevanta-cli fill --json`.
    QJsonObject toJson() const;
};

Q_DECLARE_METATYPE(AlbumReport)

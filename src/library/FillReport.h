#pragma once

#include "catalogue/CatalogueItem.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QList>
#include <QMetaType>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

// How an album's cover was found.
enum class FoundVia {
    None,    // without a request
    Id,      // by the store's own album id
    Barcode, // by its barcode
    Listing, // in its artist's listing
    Search,  // by a search for it
    Hand,    // searched for and saved by hand
};

// "id", "barcode", "listing", "search", "hand"; empty for None (--json's "via").
QString viaName(FoundVia via);
// "store id", "barcode", "artist listing", "search", "by hand": the window's word.
QString viaWords(FoundVia via);

// What became of one album folder in a fill.
struct AlbumReport {
    Q_DECLARE_TR_FUNCTIONS(AlbumReport)

public:
    enum class Status {
        Saved,       // its cover was written
        Planned,     // a dry run would write it
        HasCover,    // it has a cover file, or every file carries one
        Embedded,    // its cover file went into files that had none
        Upgraded,    // its small cover gave way to a larger one of the same picture
        Kept,        // its cover stays (`kept` says why)
        Restored,    // a cover it had was put back
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
    FoundVia via = FoundVia::None;
    QString reason;          // why it failed, or what else there is to know
    int embedded = 0;        // files the cover went into
    QStringList embedFailed; // "file: reason"
    bool remembered = false; // decided by an earlier run's journal, without a request
    QSize before;            // the largest cover it had, when known
    QSize after;             // the cover it got
    QString country;         // the storefront its cover came from
    QString kept;            // Kept: "larger", "different", "size-unknown", "chosen"

    // "saved", "planned", "has-cover", "embedded", "upgraded", "kept",
    // "restored", "no-match", "ambiguous", "mixed", "failed", "embed-failed",
    // "skipped".
    static QString statusName(Status status);
    // The one table of what an album's outcome means for the exit status of a
    // completed run: 0 for what went as it should, 1 for what failed.
    static int exitStatusFor(Status status);
    // The outcome as a summary titles its albums: "Saved", "Already had a
    // cover", "No confident match", ...
    static QString statusTitle(Status status);
    // The outcome of this album in words, as its row says it: "Saved as
    // “cover.jpg”", "No confident match (best: …)", ...
    QString statusText() const;
    // "600 × 600"; empty for an invalid size.
    static QString sizeText(QSize size);
    // Whether its cover came from the catalogue (and how is worth saying).
    bool foundCover() const;
    // What `fill --json` says of the album beyond its report's columns
    // (FillReportModel::json): its file, match, rivals, reason, embedding.
    QJsonObject details() const;
};

Q_DECLARE_METATYPE(AlbumReport)

#pragma once

#include "library/AlbumScanner.h"
#include "library/FillAnswers.h"
#include "library/FillOptions.h"
#include "library/FillReport.h"
#include "sources/CoverSource.h"

class FillJournal;

// What can be told of a found album without asking the catalogue: its report
// at once, its cover file to embed, or the stage of requests it starts in.
struct FillTriage {
    enum class Step {
        Report,         // `report` says all there is
        EmbedCoverFile, // it has a cover file its audio files are to carry
        Ask,            // it waits for the catalogue from `stage` on
    };
    Step step = Step::Report;
    AlbumReport report;
    FillStage stage = FillStage::Done;
    QStringList storefronts; // Ask: where it is asked about, in turn

    // Where an album is asked about, in turn: the storefront its files were
    // bought in, then the run's.
    // Whether its store id or barcode can be looked up at `can`'s source.
    static bool exactlyKnown(const AlbumFolder& album, const SourceCapabilities& can);
    static QStringList storefrontsOf(const AlbumFolder& album, const FillOptions& options);

    // `told` is the album's report so far (folder, names, notes).
    static FillTriage of(const AlbumFolder& album, AlbumReport told, const FillOptions& options,
                         const FillJournal& journal, const SourceCapabilities& can);
};

#pragma once

#include "library/AlbumMatcher.h"
#include "library/FillPlanner.h"

#include <QList>
#include <QString>

#include <optional>

// Where an album of a fill stands.
enum class FillStage {
    Ids,    // its store id or barcode is to be looked up
    Names,  // its artist's listing (or a search) is to be asked
    Search, // a search for it alone is to be asked
    Done,   // it is settled
};

// What becomes of one album of a request.
struct AnswerVerdict {
    enum class Kind {
        Take,    // `record` is its album
        NoMatch, // none is (`best` says how close one came; ambiguous, or not)
        MoveOn,  // ask again at `next`, noting `note`
        Fail,    // no answer came: `note` says why
    };
    int index = -1;
    Kind kind = Kind::MoveOn;
    std::optional<CatalogueItem> record;
    double score = 0;
    std::optional<AlbumMatcher::Match> best;
    FoundVia via = FoundVia::None;
    FillStage next = FillStage::Done;
    QString note;
};

// What a fill makes of a source's answers: each album of a request matched,
// taken, sent on to the next stage, or told it has no match. It keeps what
// the answers teach about the source: whether it answers lists of barcodes.
class FillAnswers {
public:
    struct Answered {
        QList<AnswerVerdict> verdicts;
        QList<CatalogueRequest> first; // to ask before anything else (a probe)
        QList<CatalogueRequest> later; // to ask after what is queued
        QString notice;                // something to say once
    };

    FillAnswers(const QList<AlbumFolder>& albums, const CoverSource& source);

    // The verdicts for the albums of `request` from its answer.
    Answered take(const CatalogueRequest& request, const QList<CatalogueItem>& records);
    // A request that brought no answer: its albums go on to the next stage,
    // or, already searched for one by one, fail with `reason`.
    QList<AnswerVerdict> fallBack(const CatalogueRequest& request, const QString& reason) const;

    // The source answers no lists of barcodes: they are asked one at a time.
    bool barcodeEach() const { return m_barcodeEach; }

private:
    std::optional<Answered> probe(const CatalogueRequest& request,
                                  const QList<CatalogueItem>& records);
    AnswerVerdict exactVerdict(const CatalogueRequest& request, int index,
                               const std::optional<CatalogueItem>& record) const;
    AnswerVerdict namedVerdict(const CatalogueRequest& request, int index,
                               const QList<CatalogueItem>& records) const;

    const QList<AlbumFolder>& m_albums;
    const CoverSource& m_source;
    bool m_barcodeEach = false;
    QList<int> m_probed; // albums of a barcode list that wait for a probe
};

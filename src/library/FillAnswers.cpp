#include "library/FillAnswers.h"

#include <QCoreApplication>

FillAnswers::FillAnswers(const QList<AlbumFolder>& albums, const CoverSource& source)
    : m_albums(albums), m_source(source) {}

QList<AnswerVerdict> FillAnswers::fallBack(const CatalogueRequest& request,
                                           const QString& reason) const {
    QList<AnswerVerdict> verdicts;
    for (const int index : request.albums) {
        AnswerVerdict verdict;
        verdict.index = index;
        if (request.kind == CatalogueRequest::Kind::Search) {
            verdict.kind = AnswerVerdict::Kind::Fail;
            verdict.note = reason;
        } else {
            verdict.next = request.kind == CatalogueRequest::Kind::Listing ? FillStage::Search
                                                                           : FillStage::Names;
        }
        verdicts.append(verdict);
    }
    return verdicts;
}

// A list of barcodes answered with nothing: one of them alone tells whether
// the source answers lists here; the others wait for it.
std::optional<FillAnswers::Answered> FillAnswers::probe(const CatalogueRequest& request,
                                                        const QList<CatalogueItem>& records) {
    Answered answered;
    if (records.isEmpty() && request.albums.size() > 1 && !m_barcodeEach) {
        m_probed = request.albums.mid(1);
        answered.first = FillPlanner::idRequests(m_albums, {request.albums.first()}, true,
                                                 m_source.capabilities())
                             .mid(0, 1);
        return answered;
    }
    if (m_probed.isEmpty()) {
        return std::nullopt;
    }
    const QList<int> probed = std::exchange(m_probed, {});
    if (records.isEmpty()) {
        for (const int index : probed) {
            AnswerVerdict verdict; // these barcodes are not this storefront's
            verdict.index = index;
            verdict.next = FillStage::Names;
            answered.verdicts.append(verdict);
        }
    } else {
        m_barcodeEach = true;
        answered.notice = QCoreApplication::translate(
            "FillAnswers", "The catalogue answers no lists of barcodes here: they "
                           "are asked one at a time.");
        answered.later = FillPlanner::idRequests(m_albums, probed, true, m_source.capabilities());
    }
    return answered;
}

FillAnswers::Answered FillAnswers::take(const CatalogueRequest& request,
                                        const QList<CatalogueItem>& records) {
    using Kind = CatalogueRequest::Kind;
    Answered answered;
    if (request.kind == Kind::Barcodes) {
        if (auto probed = probe(request, records)) {
            if (!probed->first.isEmpty()) {
                return *probed; // the probe goes first; this answer tells nothing yet
            }
            answered = *probed;
        }
    }
    const bool exact = request.kind == Kind::Ids || request.kind == Kind::Barcodes;
    const QHash<int, CatalogueItem> assigned =
        exact ? FillPlanner::assign(request, m_albums, records) : QHash<int, CatalogueItem>{};
    for (const int index : request.albums) {
        answered.verdicts.append(exact ? exactVerdict(request, index,
                                                      assigned.contains(index)
                                                          ? std::optional(assigned[index])
                                                          : std::nullopt)
                                       : namedVerdict(request, index, records));
    }
    return answered;
}

// An id or barcode names the album, unless its answer disagrees with the
// tags: then its name is asked, noting why.
AnswerVerdict FillAnswers::exactVerdict(const CatalogueRequest& request, int index,
                                        const std::optional<CatalogueItem>& record) const {
    const AlbumFolder& album = m_albums[index];
    AnswerVerdict verdict;
    verdict.index = index;
    verdict.via = request.via();
    const auto against = record ? FillPlanner::disagreement(album, *record) : std::nullopt;
    if (record && !against) {
        verdict.kind = AnswerVerdict::Kind::Take;
        verdict.record = record;
        verdict.score = AlbumMatcher::score(album.artist(), album.album(), record->artistName(),
                                            record->collectionName());
        return verdict;
    }
    if (against) {
        verdict.note = QCoreApplication::translate("FillAnswers", "the %1 names another album: %2")
                           .arg(viaName(request.via()), *against);
    }
    verdict.next = FillStage::Names;
    return verdict;
}

// A listing or a search: the confident match is taken; a listing that holds
// none sends the album on to a search of its own.
AnswerVerdict FillAnswers::namedVerdict(const CatalogueRequest& request, int index,
                                        const QList<CatalogueItem>& records) const {
    const AlbumFolder& album = m_albums[index];
    const AlbumMatcher::Wanted wanted{album.artist(), album.album(), album.identity.explicitness,
                                      album.identity.kind ==
                                          AlbumTags::Identity::Kind::Compilation};
    const auto best = AlbumMatcher::bestMatch(wanted, records);
    AnswerVerdict verdict;
    verdict.index = index;
    verdict.via = request.via();
    if (best && best->confident) {
        verdict.kind = AnswerVerdict::Kind::Take;
        verdict.record = best->record;
        verdict.score = best->score;
    } else if (request.kind == CatalogueRequest::Kind::Listing && !(best && best->ambiguous)) {
        verdict.next = FillStage::Search; // a collaboration, or beyond the listing's limit
    } else {
        verdict.kind = AnswerVerdict::Kind::NoMatch;
        verdict.best = best;
    }
    return verdict;
}

// What a fill makes of the catalogue's answers: each album of a request
// matched, taken, sent on to the next stage, or told it has no match.
#include "library/FillRun.h"

#include "library/FillSaver.h"

// A request that brought no answer: its albums go on to the next stage, or,
// already searched for one by one, fail with the reason.
void FillRun::fallBack(const CatalogueRequest& request, const QString& reason) {
    for (const int index : request.albums) {
        if (request.kind == CatalogueRequest::Kind::Search) {
            AlbumReport failed = reportFor(index);
            failed.reason = reason;
            m_stages[index] = Stage::Done;
            report(failed);
        } else {
            m_stages[index] =
                request.kind == CatalogueRequest::Kind::Listing ? Stage::Search : Stage::Names;
        }
    }
}

void FillRun::takeAnswer(const CatalogueRequest& request, const QList<CatalogueItem>& records) {
    using Kind = CatalogueRequest::Kind;
    if (request.kind == Kind::Barcodes && records.isEmpty() && request.albums.size() > 1 &&
        !m_barcodeEach) {
        // A list of barcodes answered with nothing: one of them alone tells
        // whether the catalogue answers lists here; the others wait for it.
        m_probed = request.albums.mid(1);
        m_requests.push_front(FillPlanner::idRequests(m_albums, {request.albums.first()}, true,
                                                      m_source.capabilities())
                                  .first());
        return;
    }
    if (request.kind == Kind::Barcodes && !m_probed.isEmpty()) {
        const QList<int> probed = std::exchange(m_probed, {});
        if (records.isEmpty()) {
            for (const int index : probed) {
                m_stages[index] = Stage::Names; // these barcodes are not this storefront's
            }
        } else {
            m_barcodeEach = true;
            Q_EMIT notice(QStringLiteral("The catalogue answers no lists of barcodes here: they "
                                         "are asked one at a time."));
            const QList<CatalogueRequest> singles =
                FillPlanner::idRequests(m_albums, probed, true, m_source.capabilities());
            m_requests.insert(m_requests.end(), singles.begin(), singles.end());
        }
    }
    const bool exact = request.kind == Kind::Ids || request.kind == Kind::Barcodes;
    const QHash<int, CatalogueItem> assigned =
        exact ? FillPlanner::assign(request, m_albums, records) : QHash<int, CatalogueItem>{};
    for (const int index : request.albums) {
        const AlbumFolder& album = m_albums[index];
        if (exact) {
            const auto record = assigned.contains(index)
                                    ? std::optional<CatalogueItem>(assigned[index])
                                    : std::nullopt;
            const auto against = record ? FillPlanner::disagreement(album, *record) : std::nullopt;
            if (record && !against) {
                take(index, *record,
                     AlbumMatcher::score(album.artist(), album.album(), record->artistName(),
                                         record->collectionName()),
                     request.via());
                continue;
            }
            if (against) {
                m_notes[index] = QStringLiteral("the %1 names another album: %2")
                                     .arg(viaName(request.via()), *against);
            }
            m_stages[index] = Stage::Names;
            continue;
        }
        const AlbumMatcher::Wanted wanted{
            album.artist(), album.album(), album.identity.explicitness,
            album.identity.kind == AlbumTags::Identity::Kind::Compilation};
        const auto best = AlbumMatcher::bestMatch(wanted, records);
        if (best && best->confident) {
            take(index, best->record, best->score, request.via());
        } else if (request.kind == Kind::Listing && !(best && best->ambiguous)) {
            m_stages[index] = Stage::Search; // a collaboration, or beyond the listing's limit
        } else {
            noMatch(index, best, request.via());
        }
    }
}

void FillRun::take(int index, const CatalogueItem& record, double score, FoundVia via) {
    m_stages[index] = Stage::Done;
    if (record.artistId() != 0 && !m_albums[index].artist().isEmpty()) {
        // The artist's other albums can be listed by this id.
        m_knownArtists.insert(FillPlanner::artistKey(m_albums[index]), record.artistId());
    }
    AlbumReport found = reportFor(index);
    found.match = record;
    found.score = score;
    found.via = via;
    found.file = FillSaver::coverNameFor(m_options, m_albums[index]);
    m_saver->add({found, m_albums[index], record});
}

void FillRun::noMatch(int index, const std::optional<AlbumMatcher::Match>& best, FoundVia via) {
    m_stages[index] = Stage::Done;
    AlbumReport unmatched = reportFor(index);
    unmatched.status =
        best && best->ambiguous ? AlbumReport::Status::Ambiguous : AlbumReport::Status::NoMatch;
    unmatched.via = via;
    if (best) {
        unmatched.match = best->record;
        unmatched.score = best->score;
        unmatched.rivals = best->rivals;
    }
    report(unmatched);
}

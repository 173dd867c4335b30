// What the catalogue's answers do to a fill: albums taken to the saver,
// told, or sent on to their next stage or storefront.
#include "library/FillRun.h"

#include "library/FillPacer.h"
#include "library/FillSaver.h"
#include "library/FillTriage.h"

#include <QDateTime>

void FillRun::answered(const CatalogueRequest& request, const SearchOutcome& outcome) {
    m_asking = false;
    m_missedDeadlines = outcome.kind == SearchResultKind::TimedOut ? m_missedDeadlines + 1 : 0;
    switch (outcome.kind) {
    case SearchResultKind::Throttled:
        if (!m_pacer->backOff()) {
            endAsking(Ending::RateLimited);
        }
        return;
    case SearchResultKind::Offline:
    case SearchResultKind::Unavailable:
        endAsking(Ending::Unreachable);
        return;
    case SearchResultKind::TimedOut:
        if (m_missedDeadlines >= m_source.etiquette().missedDeadlinesToStop) {
            endAsking(Ending::Unreachable);
            return;
        }
        m_requests.pop_front();
        apply(m_answers.fallBack(
            request, tr("the catalogue did not answer in time (%1)").arg(outcome.detail)));
        break;
    case SearchResultKind::UrlNotFormed:
    case SearchResultKind::AnswerUnreadable:
    case SearchResultKind::NotASearchResult:
        m_requests.pop_front();
        apply(m_answers.fallBack(request, tr("the catalogue's answer could not be read")));
        break;
    case SearchResultKind::Completed:
        m_requests.pop_front();
        m_pacer->answered();
        const FillAnswers::Answered answered = m_answers.take(request, outcome.records);
        if (!answered.notice.isEmpty()) {
            Q_EMIT notice(answered.notice);
        }
        for (auto it = answered.first.rbegin(); it != answered.first.rend(); ++it) {
            m_requests.push_front(*it);
        }
        m_requests.insert(m_requests.end(), answered.later.begin(), answered.later.end());
        apply(answered.verdicts);
        break;
    }
    planNext();
}

// What the answers decided, done: covers taken to the saver, albums told,
// the rest sent on to their next stage.
void FillRun::apply(const QList<AnswerVerdict>& verdicts) {
    for (const AnswerVerdict& verdict : verdicts) {
        const int index = verdict.index;
        switch (verdict.kind) {
        case AnswerVerdict::Kind::Take:
            take(index, *verdict.record, verdict.score, verdict.via);
            break;
        case AnswerVerdict::Kind::NoMatch:
            noMatch(index, verdict.best, verdict.via);
            break;
        case AnswerVerdict::Kind::Fail: {
            AlbumReport failed = reportFor(index);
            failed.reason = verdict.note;
            m_stages[index] = FillStage::Done;
            report(failed);
            break;
        }
        case AnswerVerdict::Kind::MoveOn:
            if (!verdict.note.isEmpty()) {
                m_notes[index] = verdict.note;
            }
            m_stages[index] = verdict.next;
            break;
        }
    }
}

void FillRun::take(int index, const CatalogueItem& record, double score, FoundVia via) {
    m_stages[index] = FillStage::Done;
    if (record.artistId() != 0 && !m_albums[index].artist().isEmpty()) {
        // The artist's other albums can be listed by this id.
        m_knownArtists.insert(FillPlanner::artistKey(m_albums[index]), record.artistId());
    }
    AlbumReport found = reportFor(index);
    found.match = record;
    found.score = score;
    found.via = via;
    found.file = FillSaver::coverNameFor(m_options, m_albums[index]);
    found.country = storefrontOf(index);
    // An album with covers is here to have its small ones upgraded.
    const AlbumFolder& album = m_albums[index];
    const bool upgrade = m_options.upgradeBelow > 0 &&
                         (!album.coverFiles.isEmpty() || !album.smallPictures.isEmpty());
    found.before = album.largestCover(m_options.embed);
    m_saver->add({found, m_albums[index], record,
                  upgrade ? FillSaver::Writing::Upgrade : FillSaver::Writing::New});
}

void FillRun::noMatch(int index, const std::optional<AlbumMatcher::Match>& best, FoundVia via) {
    // Not sold here: the next storefront is asked (an ambiguous album is not:
    // another storefront would not settle it).
    if (!(best && best->ambiguous) && m_storefronts[index].size() > 1) {
        if (!m_options.dryRun) {
            m_journal.record(m_albums[index], AlbumReport::statusName(AlbumReport::Status::NoMatch),
                             storefrontOf(index), QDateTime::currentDateTimeUtc());
        }
        m_notes[index] = tr("not found in the storefront %1").arg(storefrontOf(index));
        m_storefronts[index].removeFirst();
        m_stages[index] = FillTriage::exactlyKnown(m_albums[index], m_source.capabilities())
                              ? FillStage::Ids
                              : FillStage::Names;
        return;
    }
    m_stages[index] = FillStage::Done;
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

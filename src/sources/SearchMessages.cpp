#include "sources/SearchMessages.h"

namespace SearchMessages {

QString failureText(SearchResultKind kind) {
    switch (kind) {
    case SearchResultKind::Completed:
        return {};
    case SearchResultKind::UrlNotFormed:
        return searchUrl;
    case SearchResultKind::AnswerUnreadable:
        return unreadableAnswer;
    case SearchResultKind::NotASearchResult:
        return notASearchResult;
    case SearchResultKind::Offline:
    case SearchResultKind::TimedOut:
        return offline;
    case SearchResultKind::Throttled:
        return throttled;
    case SearchResultKind::Unavailable:
        return unavailable;
    }
    return {};
}

bool isConnectionProblem(SearchResultKind kind) {
    return kind != SearchResultKind::Completed && kind != SearchResultKind::UrlNotFormed &&
           kind != SearchResultKind::AnswerUnreadable;
}

} // namespace SearchMessages

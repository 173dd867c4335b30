#include "sources/SearchMessages.h"

#include <QCoreApplication>

namespace SearchMessages {

QString failureText(SearchResultKind kind) {
    switch (kind) {
    case SearchResultKind::Completed:
        return {};
    case SearchResultKind::UrlNotFormed:
        return QCoreApplication::translate(
            "SearchMessages", "The search could not be put to the iTunes Store: its address could "
                              "not be made.");
    case SearchResultKind::AnswerUnreadable:
        return QCoreApplication::translate(
            "SearchMessages", "The iTunes Store could not read this search: some special "
                              "characters are not supported. Remove or replace them.");
    case SearchResultKind::NotASearchResult:
        return QCoreApplication::translate(
            "SearchMessages",
            "The iTunes Store answered with something that is not a search result (a web "
            "page, perhaps from a network that wants a login first). Try again later.");
    case SearchResultKind::Offline:
    case SearchResultKind::TimedOut:
        return QCoreApplication::translate(
            "SearchMessages", "Sleevanta could not reach the iTunes Store. Check the internet "
                              "connection and try again.");
    case SearchResultKind::Throttled:
        return QCoreApplication::translate(
            "SearchMessages", "The iTunes Store is receiving too many searches from this "
                              "computer. Wait a minute and try again.");
    case SearchResultKind::Unavailable:
        return QCoreApplication::translate(
            "SearchMessages",
            "The iTunes Store is not answering right now. Try again in a few minutes.");
    }
    return {};
}


} // namespace SearchMessages

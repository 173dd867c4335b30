#include "sources/SearchMessages.h"

#include <QCoreApplication>

namespace SearchMessages {

QString failureText(SearchResultKind kind) {
    switch (kind) {
    case SearchResultKind::Completed:
        return {};
    case SearchResultKind::UrlNotFormed:
        return QCoreApplication::translate(
            "SearchMessages", "Something went wrong while constructing the search URL. Sleevanta "
                              "is unable to obtain search results.");
    case SearchResultKind::AnswerUnreadable:
        return QCoreApplication::translate(
            "SearchMessages", "Certain special characters are not supported by the iTunes "
                              "Search API. Please try removing or replacing them.");
    case SearchResultKind::NotASearchResult:
        return QCoreApplication::translate(
            "SearchMessages",
            "The iTunes Search API answered with something that is not a search result (a web "
            "page, perhaps from a network that wants a login first). Please try again later.");
    case SearchResultKind::Offline:
    case SearchResultKind::TimedOut:
        return QCoreApplication::translate(
            "SearchMessages", "Sleevanta could not reach the iTunes Search API. Please check "
                              "your internet connection and try again.");
    case SearchResultKind::Throttled:
        return QCoreApplication::translate(
            "SearchMessages", "The iTunes Search API is receiving too many searches from this "
                              "computer. Please wait a minute and try again.");
    case SearchResultKind::Unavailable:
        return QCoreApplication::translate(
            "SearchMessages",
            "The iTunes Store is not answering right now. Please try again in a few minutes.");
    }
    return {};
}

bool isConnectionProblem(SearchResultKind kind) {
    return kind != SearchResultKind::Completed && kind != SearchResultKind::UrlNotFormed &&
           kind != SearchResultKind::AnswerUnreadable;
}

} // namespace SearchMessages

#include "catalogue/SearchResults.h"

#include "catalogue/MediaTables.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "settings/StoredSettings.h"

namespace {

QList<CatalogueItem>& sharedList() {
    static QList<CatalogueItem> list;
    return list;
}

CatalogueSearch& sharedSearch() {
    static CatalogueSearch* search = new CatalogueSearch();
    return *search;
}

} // namespace

void SearchResults::search(const QString& term, const QString& mediaTitle,
                           std::function<void()> completion, const QString& entity) {
    const QString country = StoredSettings::ensureCountry();
    sharedSearch().start(
        term, mediaTitle, country,
        [completion](const SearchOutcome& outcome) {
            if (const auto warning = warningFor(outcome.kind)) {
                NotificationCenter::defaultCenter().post(warning->name, warning->userInfo);
                return;
            }
            sharedList() = outcome.records;
            if (completion) {
                completion();
            }
        },
        entity);
}

std::optional<Notification> SearchResults::warningFor(SearchResultKind kind) {
    using namespace NotificationNames;
    switch (kind) {
    case SearchResultKind::Completed:
        return std::nullopt;
    case SearchResultKind::UrlNotFormed:
        return Notification{constructSearchUrlWarning, {}};
    case SearchResultKind::AnswerUnreadable:
        return Notification{specialCharactersWarning, {}};
    case SearchResultKind::NotASearchResult:
        return Notification{searchConnectionWarning, {{reasonKey, reasonNotASearchResult}}};
    case SearchResultKind::Offline:
    case SearchResultKind::TimedOut:
        return Notification{searchConnectionWarning, {{reasonKey, reasonOffline}}};
    case SearchResultKind::Throttled:
        return Notification{searchConnectionWarning, {{reasonKey, reasonThrottled}}};
    case SearchResultKind::Unavailable:
        return Notification{searchConnectionWarning, {{reasonKey, reasonUnavailable}}};
    }
    return std::nullopt;
}

SearchResultKind SearchResults::kindOfWarning(const Notification& warning) {
    using namespace NotificationNames;
    if (warning.name == constructSearchUrlWarning) {
        return SearchResultKind::UrlNotFormed;
    }
    if (warning.name == specialCharactersWarning) {
        return SearchResultKind::AnswerUnreadable;
    }
    const QString reason = warning.userInfo.value(reasonKey).toString();
    return reason == reasonThrottled          ? SearchResultKind::Throttled
           : reason == reasonUnavailable      ? SearchResultKind::Unavailable
           : reason == reasonNotASearchResult ? SearchResultKind::NotASearchResult
                                              : SearchResultKind::Offline;
}

const QList<CatalogueItem>& SearchResults::items() {
    return sharedList();
}

void SearchResults::clear() {
    sharedSearch().cancel();
    sharedList().clear();
}

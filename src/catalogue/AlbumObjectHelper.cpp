#include "AlbumObjectHelper.h"

#include "CatalogueSearch.h"
#include "DefaultsHelper.h"
#include "MediaTables.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"

namespace {

QList<AlbumObject>& sharedList() {
    static QList<AlbumObject> list;
    return list;
}

CatalogueSearch& sharedSearch() {
    static CatalogueSearch* search = new CatalogueSearch();
    return *search;
}

} // namespace

void AlbumObjectHelper::searchAlbumObjects(const QString& term, const QString& mediaTitle,
                                           std::function<void()> completion) {
    const QString country = DefaultsHelper::storedCountry();
    sharedList().clear();
    sharedSearch().start(term, mediaTitle, country, [completion](const SearchOutcome& outcome) {
        auto& center = NotificationCenter::defaultCenter();
        switch (outcome.kind) {
        case SearchResultKind::Completed:
            sharedList().append(outcome.records);
            if (completion) {
                completion();
            }
            break;
        case SearchResultKind::UrlNotFormed:
            center.post(NotificationNames::constructSearchUrlWarning);
            break;
        case SearchResultKind::AnswerUnreadable:
            center.post(NotificationNames::specialCharactersWarning);
            break;
        case SearchResultKind::Offline:
            center.post(NotificationNames::searchConnectionWarning,
                        {{NotificationNames::reasonKey, NotificationNames::reasonOffline}});
            break;
        case SearchResultKind::Throttled:
            center.post(NotificationNames::searchConnectionWarning,
                        {{NotificationNames::reasonKey, NotificationNames::reasonThrottled}});
            break;
        }
    });
}

const QList<AlbumObject>& AlbumObjectHelper::albumObjects() {
    return sharedList();
}

void AlbumObjectHelper::clearAlbumObjects() {
    sharedSearch().cancel();
    sharedList().clear();
}

const QStringList& AlbumObjectHelper::mediaTitles() {
    return MediaTables::mediaTitles();
}

QString AlbumObjectHelper::mediaParameter(const QString& mediaTitle) {
    return MediaTables::mediaParameter(mediaTitle);
}

bool AlbumObjectHelper::isMediaAvailable(const QString& mediaTitle, const QString& countryCode) {
    return MediaTables::isMediaAvailable(mediaTitle, countryCode);
}

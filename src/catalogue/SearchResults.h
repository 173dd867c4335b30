#pragma once

#include "catalogue/CatalogueItem.h"
#include "catalogue/CatalogueSearch.h"
#include "platform/NotificationCenter.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The catalogue search as the search pane uses it, and the shared list of the
// latest search's records. GUI thread only.
class SearchResults {
public:
    // Searches the stored storefront for `term` in the media kind `mediaTitle`.
    // items keeps the earlier records until the search completes. On
    // success the records are in items
    // when `completion` runs; on failure a warning notification is posted
    // instead (constructSearchUrlWarning, specialCharactersWarning or
    // searchConnectionWarning), the earlier records stay, and `completion`
    // never runs. The answer of an
    // older search that arrives after a newer one started is dropped.
    // `entity` "album" searches music albums (a library album's own search).
    static void search(const QString& term, const QString& mediaTitle,
                       std::function<void()> completion, const QString& entity = {});

    // The warning the search pane is told of for a search that ended this way;
    // none for a completed one.
    static std::optional<Notification> warningFor(SearchResultKind kind);
    // The way a search ended that `warning` tells of.
    static SearchResultKind kindOfWarning(const Notification& warning);

    // The records of the latest search, in answer order.
    static const QList<CatalogueItem>& items();
    // Empties the list and abandons a search still running.
    static void clear();
};

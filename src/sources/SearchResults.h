#pragma once

#include "catalogue/CatalogueItem.h"
#include "sources/CoverSource.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

// The search the window runs and the records of its latest search. GUI
// thread only.
class SearchResults : public QObject {
    Q_OBJECT
public:
    using Completion = std::function<void(SearchResultKind)>;

    explicit SearchResults(const CoverSource& source, QObject* parent = nullptr);

    // Searches storefront `country` for `term` in the media kind
    // `mediaTitle`. The earlier records stay until the search completes: on
    // success the new ones are in items() when `completion` runs with
    // Completed; on failure they stay, and `completion` says how it ended.
    // The answer of an older search that arrives after a newer one started is
    // dropped. `entity` "album" searches music albums (a library album's own
    // search).
    void search(const QString& term, const QString& mediaTitle, const QString& country,
                Completion completion, const QString& entity = {});

    // The records of the latest search, in answer order.
    const QList<CatalogueItem>& items() const { return m_items; }
    // Empties the list and abandons a search still running.
    void clear();

private:
    SourceClient* m_client;
    QList<CatalogueItem> m_items;
};

#include "catalogue/SearchResults.h"

SearchResults::SearchResults(NetworkAccess& network, const ServiceOrigins& origins, QObject* parent)
    : QObject(parent), m_search(network, origins) {}

void SearchResults::search(const QString& term, const QString& mediaTitle, const QString& country,
                           Completion completion, const QString& entity) {
    m_search.start(
        term, mediaTitle, country,
        [this, completion](const SearchOutcome& outcome) {
            if (outcome.kind == SearchResultKind::Completed) {
                m_items = outcome.records;
            }
            if (completion) {
                completion(outcome.kind);
            }
        },
        entity);
}

void SearchResults::clear() {
    m_search.cancel();
    m_items.clear();
}

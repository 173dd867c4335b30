#include "sources/SearchResults.h"

SearchResults::SearchResults(const CoverSource& source, QObject* parent)
    : QObject(parent), m_client(source.newClient(this)) {}

void SearchResults::search(const QString& term, const QString& mediaTitle, const QString& country,
                           Completion completion, const QString& entity) {
    SourceRequest request;
    request.term = term;
    request.mediaTitle = mediaTitle;
    request.storefront = country;
    request.entity = entity;
    m_client->run(request, [this, completion](const SearchOutcome& outcome) {
        if (outcome.kind == SearchResultKind::Completed) {
            m_items = outcome.records;
        }
        if (completion) {
            completion(outcome.kind);
        }
    });
}

void SearchResults::clear() {
    m_client->cancel();
    m_items.clear();
}

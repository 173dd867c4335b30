#include "sources/CoverSource.h"

#include <algorithm>

void CoverSources::add(std::unique_ptr<CoverSource> source) {
    m_sources.push_back(std::move(source));
}

const CoverSource& CoverSources::primary() const {
    return *m_sources.front();
}

const QList<const CoverSource*> CoverSources::all() const {
    QList<const CoverSource*> list;
    for (const auto& source : m_sources) {
        list.append(source.get());
    }
    return list;
}

bool CoverSources::isArtworkUrl(const QUrl& url) const {
    return std::any_of(m_sources.begin(), m_sources.end(),
                       [&url](const auto& source) { return source->isArtworkUrl(url); });
}

bool CoverSources::allowsRedirect(const QUrl& from, const QUrl& to) const {
    return std::any_of(m_sources.begin(), m_sources.end(), [&](const auto& source) {
        return source->isArtworkUrl(from) && source->allowsRedirect(from, to);
    });
}

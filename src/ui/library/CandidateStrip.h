#pragma once

#include "catalogue/CatalogueItem.h"

#include <QListWidget>

class ImageService;

// The albums the catalogue matched alike for one album folder, side by side:
// each cover small, its title, artist, year, track count and whether it is
// the explicit or the clean version. Return, Enter or a double click chooses
// the current one.
class CandidateStrip : public QListWidget {
    Q_OBJECT
public:
    static constexpr int kCoverSide = 96;

    CandidateStrip(ImageService& images, QWidget* parent = nullptr);

    // Shows `candidates` (none hides the strip) for the album `title`.
    void setCandidates(const QList<CatalogueItem>& candidates, const QString& title);
    const QList<CatalogueItem>& candidates() const { return m_candidates; }

    // "Rumours · Fleetwood Mac · 1977 · 11 tracks · explicit": what an item says.
    static QString describe(const CatalogueItem& item);

    QSize sizeHint() const override;

Q_SIGNALS:
    void chosen(const CatalogueItem& item);

private:
    ImageService& m_images;
    QList<CatalogueItem> m_candidates;
    int m_generation = 0; // thumbnails of an earlier list are dropped
};

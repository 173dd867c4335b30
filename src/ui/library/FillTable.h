#pragma once

#include "library/AlbumScanner.h"
#include "library/FillReport.h"

#include <QHash>
#include <QSet>
#include <QTableWidget>

// The albums of a fill, one row each, sorted naturally by folder ("Artist 2"
// before "Artist 10"). A row shows the album's cover small: the catalogue's
// chosen (or best) one, or the cover file it has, decoded at row size off the
// GUI thread and only for the rows in view.
class ImageService;

class FillTable : public QTableWidget {
    Q_OBJECT
public:
    enum Column {
        CoverColumn,
        FolderColumn,
        ArtistColumn,
        AlbumColumn,
        StatusColumn,
        FoundByColumn
    };
    static constexpr int kThumbnailSide = 40;

    FillTable(const QByteArray& root, ImageService& images, QWidget* parent = nullptr);

    void clearAlbums();
    void addAlbum(const AlbumFolder& album, int index);
    void setReport(const AlbumReport& report);
    // The album folder's cover was saved by hand.
    void setSavedByHand(const QByteArray& folder, const QString& file);

    // The album of the selected row, and its report (none before it has one).
    const AlbumFolder* selectedAlbum() const;
    const AlbumReport* selectedReport() const;
    int rowOf(int index) const;

    // "Saved as “cover.jpg”", "Already had a cover", "No confident match (best: …)", ...
    static QString statusText(const AlbumReport& report);
    // "found by barcode", "found by listing", ... ; empty when no request was made.
    static QString foundBy(const AlbumReport& report);

protected:
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showThumbnails();
    void loadCoverFile(int index);

    QByteArray m_root;
    ImageService& m_images;
    QHash<int, QTableWidgetItem*> m_rows; // by album: its folder item
    QHash<int, AlbumFolder> m_albums;
    QHash<int, AlbumReport> m_reports;
    QSet<int> m_thumbnailsAsked;
};

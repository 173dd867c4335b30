#pragma once

#include "library/FillReportModel.h"

#include <QSet>
#include <QTableView>

class ImageService;
class QSortFilterProxyModel;

// The albums of a fill in the Fill window: the report model, sorted
// naturally ("Artist 2" before "Artist 10"), by folder first. A row shows the
// album's cover small: the catalogue's chosen (or best) one, or the cover
// file it has, decoded at row size off the GUI thread and only for the rows
// in view.
class FillTable : public QTableView {
    Q_OBJECT
public:
    static constexpr int kThumbnailSide = 40;

    FillTable(const QByteArray& root, ImageService& images, QWidget* parent = nullptr);

    FillReportModel* reports() const { return m_model; }
    // `keepSettled`: albums listed again keep what was done to them.
    void clearAlbums(bool keepSettled = false);
    void addAlbum(const AlbumFolder& album, int index);
    void setReport(const AlbumReport& report);
    void setPreview(const AlbumReport& report);
    void setSavedByHand(const QByteArray& folder, const QString& file);

    // Every column, and ten rows.
    QSize sizeHint() const override;

    // The selected album and its report (none before it has one).
    const AlbumFolder* selectedAlbum() const;
    const AlbumReport* selectedReport() const;
    // The text the view shows in `column` of its `row` (as sorted).
    QString text(int row, int column) const;

protected:
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const FillReportModel::Row* selectedRow() const;
    void showThumbnails();
    void loadCoverFile(int index, const QString& fileName);

    FillReportModel* m_model;
    QSortFilterProxyModel* m_sorted;
    ImageService& m_images;
    QSet<int> m_thumbnailsAsked;
};

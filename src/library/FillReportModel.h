#pragma once

#include "library/AlbumScanner.h"
#include "library/FillReport.h"
#include "library/FillRun.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QImage>
#include <QJsonObject>
#include <QMap>

#include <optional>

// The albums of a fill and what became of each, a row per album in the order
// they were found: what the Fill window shows and what the command line
// prints as text and as JSON. The columns come from one table: a new column
// is one row of it.
class FillReportModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Row {
        AlbumFolder album;
        std::optional<AlbumReport> report; // none while it is worked on
        QString folder;                    // the folder below the library's
        QImage thumbnail;                  // its cover, small, once there is one
        bool settled = false;              // the report is what a run (or a search by hand) did
    };

    struct Column {
        const char* title;                   // the window's header
        int width;                           // the window's width for it, in pixels
        const char* jsonKey;                 // its key in --json; none when it has none
        QString (*text)(const Row& row);     // what the window and the text show
        QJsonValue (*value)(const Row& row); // what --json holds; undefined: left out
    };

    enum ColumnIndex {
        CoverColumn,
        FolderColumn,
        ArtistColumn,
        AlbumColumn,
        StatusColumn,
        FoundByColumn,
        StorefrontColumn,
        SizeColumn,
    };
    enum Role {
        AlbumIndexRole = Qt::UserRole + 1, // the album's place in the run
        SortRole,                          // what the rows sort by
    };

    // The one table of columns.
    static const QList<Column>& columns();

    // What a run that ended so, leaving `remaining` albums, did over every
    // album listed: "Done: 3 saved, 1 already had a cover, …".
    QString summary(FillRun::Ending ending, int remaining) const;

    explicit FillReportModel(const QByteArray& root, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // `keepSettled`: an album listed again later keeps what was done to it.
    void clear(bool keepSettled = false);
    void addAlbum(const AlbumFolder& album, int index);
    // What a run did to the album (`report.index`).
    void setReport(const AlbumReport& report);
    // What can be told of the album before a run: shown, but not settled.
    void setPreview(const AlbumReport& report);
    // The albums a run is still to work on, by index, in order: those not
    // settled, and those that failed.
    QList<int> openIndexes() const;
    // The reports shown, by status.
    QMap<AlbumReport::Status, int> statusCounts() const;
    void setThumbnail(int index, const QImage& image);
    // A cover was saved by hand into `folder`: its album's report says so.
    // The album's index; -1 when it is not listed.
    int setSavedByHand(const QByteArray& folder, const QString& file);

    // By the album's place in the run; none when it is not listed.
    const Row* row(int index) const;
    // One line of `fill --json` for the album: its columns, then its details.
    static QJsonObject json(const AlbumReport& report);

private:
    QByteArray m_root;
    QList<Row> m_rows;
    QHash<int, int> m_rowOf;    // album index -> row
    QHash<QString, Row> m_kept; // settled rows of an earlier listing, by folder
};

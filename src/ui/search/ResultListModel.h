#pragma once

#include <QAbstractListModel>

class SearchResults;

// The rows of the results table: the records of the latest search.
class ResultListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { ThumbnailUrlRole = Qt::UserRole + 1, CollectionNameRole, ArtistNameRole };

    explicit ResultListModel(const SearchResults& results, QObject* parent = nullptr)
        : QAbstractListModel(parent), m_results(results) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // The one column's title, for screen readers (the header is hidden).
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The list changed as a whole: the table shows it afresh.
    void reloadData();

private:
    const SearchResults& m_results;
};

#pragma once

#include <QAbstractListModel>

// The rows of the results table: the records of the latest search.
class ResultListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { ThumbnailUrlRole = Qt::UserRole + 1, CollectionNameRole, ArtistNameRole };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The list changed as a whole: the table shows it afresh.
    void reloadData();
};

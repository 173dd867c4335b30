#include "AlbumObjectListModel.h"

#include "SearchResults.h"

int AlbumObjectListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(SearchResults::albumObjects().size());
}

QVariant AlbumObjectListModel::data(const QModelIndex& index, int role) const {
    const auto& records = SearchResults::albumObjects();
    if (!index.isValid() || index.row() >= records.size()) {
        return {};
    }
    const AlbumObject& record = records.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return QString(record.collectionName() + QLatin1Char('\n') + record.artistName());
    case ThumbnailUrlRole:
        return record.artworkUrl();
    case CollectionNameRole:
        return record.collectionName();
    case ArtistNameRole:
        return record.artistName();
    default:
        return {};
    }
}

void AlbumObjectListModel::reloadData() {
    beginResetModel();
    endResetModel();
}

#include "AlbumObjectListModel.h"

#include "AlbumObjectHelper.h"

int AlbumObjectListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(AlbumObjectHelper::albumObjects().size());
}

QVariant AlbumObjectListModel::data(const QModelIndex& index, int role) const {
    const auto& records = AlbumObjectHelper::albumObjects();
    if (!index.isValid() || index.row() >= records.size()) {
        return {};
    }
    const AlbumObject& record = records.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return QString(record.collectionName().text + record.artistName().text);
    case ThumbnailUrlRole:
        return record.artworkUrl();
    case CollectionNameRole:
        return record.collectionName().text;
    case ArtistNameRole:
        return record.artistName().text;
    default:
        return {};
    }
}

void AlbumObjectListModel::reloadData() {
    beginResetModel();
    endResetModel();
}

#include "ui/search/ResultListModel.h"

#include "platform/TextSafety.h"

#include "sources/SearchResults.h"

int ResultListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_results.items().size());
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
    const auto& records = m_results.items();
    if (!index.isValid() || index.row() >= records.size()) {
        return {};
    }
    const CatalogueItem& record = records.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return QString(record.collectionName() + QLatin1Char('\n') + record.artistName());
    case Qt::ToolTipRole: // the whole title, which the row may have to cut
        return TextSafety::withoutControlCharacters(record.collectionName() +
                                                    QStringLiteral(" — ") + record.artistName());
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

void ResultListModel::reloadData() {
    beginResetModel();
    endResetModel();
}

QVariant ResultListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section == 0 &&
        (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)) {
        //: The title of the results list's one column: the items a search found.
        return tr("Items found");
    }
    return QAbstractListModel::headerData(section, orientation, role);
}

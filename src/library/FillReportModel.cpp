#include "library/FillReportModel.h"

#include "platform/LocaleFormat.h"
#include "platform/TextSafety.h"

#include <QDir>

#include <QFile>
#include <QJsonValue>
#include <algorithm>

namespace {

using Row = FillReportModel::Row;

QString shown(const QString& name) {
    return TextSafety::withoutControlCharacters(name);
}

QString artistOf(const Row& row) {
    return row.report ? row.report->artist : row.album.artist();
}

QString albumOf(const Row& row) {
    return row.report ? row.report->album : row.album.album();
}

// "300 × 300 → 600 × 600", or either size alone.
QString sizeText(const Row& row) {
    if (!row.report) {
        return {};
    }
    const QString before = AlbumReport::sizeText(row.report->before);
    const QString after = AlbumReport::sizeText(row.report->after);
    //: A cover's size before and after a fill: "300 × 300 → 600 × 600".
    return !before.isEmpty() && !after.isEmpty() ? FillReportModel::tr("%1 → %2").arg(before, after)
                                                 : before + after;
}

const QList<FillReportModel::Column> kColumns{
    //: Column title: the album's cover picture (a noun).
    {QT_TRANSLATE_NOOP("FillReportModel", "Cover"), 48, nullptr,
     [](const Row&) { return QString(); },
     [](const Row&) { return QJsonValue(QJsonValue::Undefined); }},
    {QT_TRANSLATE_NOOP("FillReportModel", "Folder"), 200, "folder",
     [](const Row& row) { return row.folder; },
     [](const Row& row) { return QJsonValue(row.report ? row.report->folder : row.album.path); }},
    {QT_TRANSLATE_NOOP("FillReportModel", "Artist"), 140, "artist",
     [](const Row& row) { return shown(artistOf(row)); },
     [](const Row& row) { return QJsonValue(artistOf(row)); }},
    {QT_TRANSLATE_NOOP("FillReportModel", "Album"), 160, "album",
     [](const Row& row) { return shown(albumOf(row)); },
     [](const Row& row) { return QJsonValue(albumOf(row)); }},
    {QT_TRANSLATE_NOOP("FillReportModel", "Status"), 240, "status",
     [](const Row& row) {
         return row.report ? shown(row.report->statusText()) : FillReportModel::tr("Waiting…");
     },
     [](const Row& row) {
         return row.report ? QJsonValue(AlbumReport::statusName(row.report->status))
                           : QJsonValue(QJsonValue::Undefined);
     }},
    {QT_TRANSLATE_NOOP("FillReportModel", "Found by"), 110, "via",
     [](const Row& row) {
         return row.report && row.report->foundCover() ? viaWords(row.report->via) : QString();
     },
     [](const Row& row) {
         return row.report && row.report->via != FoundVia::None
                    ? QJsonValue(viaName(row.report->via))
                    : QJsonValue(QJsonValue::Undefined);
     }},
    //: Column title: the storefront a cover came from.
    {QT_TRANSLATE_NOOP("FillReportModel", "Storefront"), 80, "country",
     [](const Row& row) { return row.report ? row.report->country : QString(); },
     [](const Row& row) {
         return row.report && !row.report->country.isEmpty() ? QJsonValue(row.report->country)
                                                             : QJsonValue(QJsonValue::Undefined);
     }},
    //: Column title: the size of the cover an album had, and of the one it got.
    {QT_TRANSLATE_NOOP("FillReportModel", "Size"), 150, nullptr, sizeText,
     [](const Row&) { return QJsonValue(QJsonValue::Undefined); }},
};

} // namespace

const QList<FillReportModel::Column>& FillReportModel::columns() {
    return kColumns;
}

FillReportModel::FillReportModel(const QByteArray& root, QObject* parent)
    : QAbstractTableModel(parent), m_root(root) {}

int FillReportModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int FillReportModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(kColumns.size());
}

QVariant FillReportModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size()) {
        return {};
    }
    const Row& row = m_rows[index.row()];
    const Column& column = kColumns[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        return column.text(row);
    case Qt::ToolTipRole:
        return index.column() == FolderColumn ? row.album.path : column.text(row);
    case Qt::DecorationRole:
        return index.column() == CoverColumn && !row.thumbnail.isNull() ? QVariant(row.thumbnail)
                                                                        : QVariant();
    case AlbumIndexRole:
        return m_rowOf.key(index.row(), -1);
    case SortRole:
        return index.column() == CoverColumn ? row.folder : column.text(row);
    default:
        return {};
    }
}

QVariant FillReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns.size()) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
        return section == CoverColumn && role == Qt::DisplayRole ? QString()
                                                                 : tr(kColumns[section].title);
    }
    return {};
}

void FillReportModel::clear(bool keepSettled) {
    beginResetModel();
    m_kept.clear();
    for (const Row& row : std::as_const(m_rows)) {
        if (keepSettled && row.settled) {
            m_kept.insert(row.album.path, row);
        }
    }
    m_rows.clear();
    m_rowOf.clear();
    endResetModel();
}

void FillReportModel::addAlbum(const AlbumFolder& album, int index) {
    // Folders below the library's; the tooltip has the whole path.
    QString folder = QDir(QFile::decodeName(m_root)).relativeFilePath(album.path);
    if (folder == QLatin1String(".")) {
        folder = QDir(album.path).dirName();
    }
    Row row{album, std::nullopt, shown(folder), {}};
    if (const auto kept = m_kept.constFind(album.path); kept != m_kept.constEnd()) {
        row.report = kept->report;
        row.report->index = index;
        row.thumbnail = kept->thumbnail;
        row.settled = true;
    }
    const int at = int(m_rows.size());
    beginInsertRows({}, at, at);
    m_rows.append(row);
    m_rowOf.insert(index, at);
    endInsertRows();
}

void FillReportModel::setPreview(const AlbumReport& report) {
    const int at = m_rowOf.value(report.index, -1);
    if (at >= 0 && !m_rows[at].settled) {
        m_rows[at].report = report;
        Q_EMIT dataChanged(this->index(at, 0), this->index(at, columnCount() - 1));
    }
}

QList<int> FillReportModel::openIndexes() const {
    QList<int> open;
    for (auto it = m_rowOf.begin(); it != m_rowOf.end(); ++it) {
        const Row& row = m_rows[it.value()];
        using Status = AlbumReport::Status;
        if (!row.settled || row.report->status == Status::Failed ||
            row.report->status == Status::Skipped) {
            open.append(it.key());
        }
    }
    std::sort(open.begin(), open.end());
    return open;
}

QMap<AlbumReport::Status, int> FillReportModel::statusCounts() const {
    QMap<AlbumReport::Status, int> counts;
    for (const Row& row : m_rows) {
        if (row.report) {
            ++counts[row.report->status];
        }
    }
    return counts;
}

void FillReportModel::setReport(const AlbumReport& report) {
    const int at = m_rowOf.value(report.index, -1);
    if (at < 0) {
        return;
    }
    m_rows[at].report = report;
    m_rows[at].settled = true;
    Q_EMIT dataChanged(this->index(at, 0), this->index(at, columnCount() - 1));
}

void FillReportModel::setThumbnail(int index, const QImage& image) {
    const int at = m_rowOf.value(index, -1);
    if (at < 0) {
        return;
    }
    m_rows[at].thumbnail = image;
    Q_EMIT dataChanged(this->index(at, CoverColumn), this->index(at, CoverColumn));
}

int FillReportModel::setSavedByHand(const QByteArray& folder, const QString& file) {
    for (auto it = m_rowOf.begin(); it != m_rowOf.end(); ++it) {
        const Row& row = m_rows[it.value()];
        if (row.album.nativePath == folder) {
            AlbumReport report = row.report.value_or(AlbumReport{});
            report.index = it.key();
            report.folder = row.album.path;
            report.artist = row.album.artist();
            report.album = row.album.album();
            report.status = AlbumReport::Status::Saved;
            report.file = file;
            report.via = FoundVia::Hand;
            setReport(report);
            return it.key();
        }
    }
    return -1;
}

const FillReportModel::Row* FillReportModel::row(int index) const {
    const int at = m_rowOf.value(index, -1);
    return at < 0 ? nullptr : &m_rows[at];
}

QJsonObject FillReportModel::json(const AlbumReport& report) {
    const Row row{{}, report, {}, {}};
    QJsonObject json;
    for (const Column& column : kColumns) {
        const QJsonValue value = column.value(row);
        if (column.jsonKey && !value.isUndefined()) {
            json.insert(QLatin1String(column.jsonKey), value);
        }
    }
    const QJsonObject details = report.details();
    for (auto it = details.begin(); it != details.end(); ++it) {
        json.insert(it.key(), it.value());
    }
    return json;
}

QString FillReportModel::summary(FillRun::Ending ending, int remaining) const {
    using Status = AlbumReport::Status;
    QMap<Status, int> counts = statusCounts();
    const QString tally =
        tr("%1 saved, %2 already had a cover, %3 without a confident match, %4 failed")
            .arg(LocaleFormat::count(counts[Status::Saved] + counts[Status::Planned] +
                                     counts[Status::EmbedFailed] + counts[Status::Upgraded]),
                 LocaleFormat::count(counts[Status::HasCover] + counts[Status::Embedded] +
                                     counts[Status::Kept]),
                 LocaleFormat::count(counts[Status::NoMatch] + counts[Status::Ambiguous] +
                                     counts[Status::Mixed]),
                 LocaleFormat::count(counts[Status::Failed] + counts[Status::Skipped]));
    switch (ending) {
    case FillRun::Ending::Completed:
        return tr("Done: %1.").arg(tally);
    case FillRun::Ending::Stopped:
        return tr("Stopped with %Ln album(s) left: %1.", nullptr, remaining).arg(tally);
    case FillRun::Ending::RateLimited:
        return tr("The iTunes Store asks for a break; %Ln album(s) left. Continue later.", nullptr,
                  remaining);
    case FillRun::Ending::Unreachable:
        return tr("The iTunes Store could not be reached; %Ln album(s) left.", nullptr, remaining);
    }
    return {};
}

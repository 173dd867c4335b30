#include "library/FillReport.h"

#include <QJsonArray>

namespace {

struct StatusRow {
    AlbumReport::Status status;
    const char* name;
    int exitStatus;
};

// Every outcome an album can have, its name in reports, and what it means for
// the exit status of a run that completed.
constexpr StatusRow kStatusTable[] = {
    {AlbumReport::Status::Saved, "saved", 0},
    {AlbumReport::Status::Planned, "planned", 0},
    {AlbumReport::Status::HasCover, "has-cover", 0},
    {AlbumReport::Status::Embedded, "embedded", 0},
    {AlbumReport::Status::NoMatch, "no-match", 0},
    {AlbumReport::Status::Ambiguous, "ambiguous", 0},
    {AlbumReport::Status::Mixed, "mixed", 0},
    {AlbumReport::Status::Failed, "failed", 1},
    {AlbumReport::Status::EmbedFailed, "embed-failed", 1},
    {AlbumReport::Status::Skipped, "skipped", 1},
};

const StatusRow& rowOf(AlbumReport::Status status) {
    for (const StatusRow& row : kStatusTable) {
        if (row.status == status) {
            return row;
        }
    }
    return kStatusTable[std::size(kStatusTable) - 1];
}

QJsonObject matchJson(const CatalogueItem& record) {
    return {{QStringLiteral("artistName"), record.artistName()},
            {QStringLiteral("collectionName"), record.collectionName()},
            {QStringLiteral("collectionId"), record.collectionId()}};
}

} // namespace

QString AlbumReport::statusName(Status status) {
    return QString::fromLatin1(rowOf(status).name);
}

int AlbumReport::exitStatusFor(Status status) {
    return rowOf(status).exitStatus;
}

QJsonObject AlbumReport::toJson() const {
    QJsonObject json{{QStringLiteral("folder"), folder},
                     {QStringLiteral("artist"), artist},
                     {QStringLiteral("album"), album},
                     {QStringLiteral("status"), statusName(status)}};
    if (!file.isEmpty()) {
        json[QStringLiteral("file")] = file;
    }
    if (match) {
        json[QStringLiteral("match")] = matchJson(*match);
        json[QStringLiteral("score")] = qRound(score * 1000) / 1000.0;
    }
    QJsonArray others;
    for (const CatalogueItem& rival : rivals) {
        others.append(matchJson(rival));
    }
    if (!others.isEmpty()) {
        json[QStringLiteral("rivals")] = others;
    }
    if (!albums.isEmpty()) {
        json[QStringLiteral("albums")] = QJsonArray::fromStringList(albums);
    }
    if (!via.isEmpty()) {
        json[QStringLiteral("via")] = via;
    }
    if (!reason.isEmpty()) {
        json[QStringLiteral("reason")] = reason;
    }
    if (embedded > 0 || !embedFailed.isEmpty()) {
        json[QStringLiteral("embedded")] = embedded;
    }
    if (!embedFailed.isEmpty()) {
        json[QStringLiteral("embed_failed")] = QJsonArray::fromStringList(embedFailed);
    }
    if (remembered) {
        json[QStringLiteral("remembered")] = true;
    }
    return json;
}

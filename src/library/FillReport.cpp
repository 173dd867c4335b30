#include "library/FillReport.h"

#include "platform/TextSafety.h"

#include <QJsonArray>

namespace {

using Status = AlbumReport::Status;

// "1 file", "3 files".
QString files(int count) {
    return count == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(count);
}

QString shown(const QString& name) {
    return TextSafety::withoutControlCharacters(name);
}

// The best candidate, in brackets, when there was one.
QString best(const AlbumReport& report) {
    return report.match
               ? QStringLiteral(" (best: %1 – %2)")
                     .arg(shown(report.match->artistName()), shown(report.match->collectionName()))
               : QString();
}

struct StatusRow {
    Status status;
    const char* name;  // in reports and --json
    int exitStatus;    // for a run that completed
    const char* title; // what a summary calls its albums
    QString (*text)(const AlbumReport&);
};

// Every outcome an album can have: its name, what it means for the exit
// status, and its words.
const StatusRow kStatusTable[] = {
    {Status::Saved, "saved", 0, "Saved",
     [](const AlbumReport& r) {
         return QStringLiteral("Saved as “%1”").arg(r.file) +
                (r.embedded > 0 ? QStringLiteral(", embedded in %1").arg(files(r.embedded))
                                : QString());
     }},
    {Status::Planned, "planned", 0, "Would be saved",
     [](const AlbumReport& r) { return QStringLiteral("Would be saved as “%1”").arg(r.file); }},
    {Status::HasCover, "has-cover", 0, "Already had a cover",
     [](const AlbumReport&) { return QStringLiteral("Already had a cover"); }},
    {Status::Embedded, "embedded", 0, "Cover file embedded",
     [](const AlbumReport& r) {
         return QStringLiteral("Cover file embedded in %1").arg(files(r.embedded));
     }},
    {Status::NoMatch, "no-match", 0, "No confident match",
     [](const AlbumReport& r) {
         return r.match ? QStringLiteral("No confident match") + best(r)
                        : QStringLiteral("Not in the catalogue");
     }},
    {Status::Ambiguous, "ambiguous", 0, "Ambiguous",
     [](const AlbumReport& r) {
         return QStringLiteral("Ambiguous: %1 albums match alike").arg(r.rivals.size());
     }},
    {Status::Mixed, "mixed", 0, "Mixed folders",
     [](const AlbumReport& r) {
         return QStringLiteral("Mixed folder: %1").arg(r.albums.join(QStringLiteral("; ")));
     }},
    {Status::Failed, "failed", 1, "Failed",
     [](const AlbumReport& r) { return QStringLiteral("Failed: %1").arg(r.reason); }},
    {Status::EmbedFailed, "embed-failed", 1, "Embedding failed",
     [](const AlbumReport& r) {
         return QStringLiteral("Saved; embedding failed: %1")
             .arg(r.embedFailed.join(QStringLiteral("; ")));
     }},
    {Status::Skipped, "skipped", 1, "Skipped (tags too slow to read)",
     [](const AlbumReport&) { return QStringLiteral("Skipped: its tags took too long to read"); }},
};

const StatusRow& rowOf(Status status) {
    for (const StatusRow& row : kStatusTable) {
        if (row.status == status) {
            return row;
        }
    }
    return kStatusTable[std::size(kStatusTable) - 1];
}

struct ViaRow {
    FoundVia via;
    const char* name;
    const char* words;
};

const ViaRow kVias[] = {
    {FoundVia::None, "", ""},
    {FoundVia::Id, "id", "store id"},
    {FoundVia::Barcode, "barcode", "barcode"},
    {FoundVia::Listing, "listing", "artist listing"},
    {FoundVia::Search, "search", "search"},
    {FoundVia::Hand, "hand", "by hand"},
};

const ViaRow& rowOf(FoundVia via) {
    for (const ViaRow& row : kVias) {
        if (row.via == via) {
            return row;
        }
    }
    return kVias[0];
}

QJsonObject matchJson(const CatalogueItem& record) {
    return {{QStringLiteral("artistName"), record.artistName()},
            {QStringLiteral("collectionName"), record.collectionName()},
            {QStringLiteral("collectionId"), record.collectionId()}};
}

} // namespace

QString viaName(FoundVia via) {
    return QString::fromLatin1(rowOf(via).name);
}

QString viaWords(FoundVia via) {
    return QString::fromLatin1(rowOf(via).words);
}

QString AlbumReport::statusName(Status status) {
    return QString::fromLatin1(rowOf(status).name);
}

int AlbumReport::exitStatusFor(Status status) {
    return rowOf(status).exitStatus;
}

QString AlbumReport::statusTitle(Status status) {
    return QString::fromUtf8(rowOf(status).title);
}

QString AlbumReport::statusText() const {
    return rowOf(status).text(*this);
}

bool AlbumReport::foundCover() const {
    return via != FoundVia::None && match &&
           (status == Status::Saved || status == Status::Planned || status == Status::EmbedFailed);
}

QJsonObject AlbumReport::details() const {
    QJsonObject json;
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

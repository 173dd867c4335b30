#include "library/FillReport.h"

#include "platform/TextSafety.h"

#include <QJsonArray>

namespace {

using Status = AlbumReport::Status;

QString files(int count) {
    return AlbumReport::tr("%Ln file(s)", nullptr, count);
}

QString shown(const QString& name) {
    return TextSafety::withoutControlCharacters(name);
}

struct StatusRow {
    Status status;
    const char* name;  // in reports and --json
    int exitStatus;    // for a run that completed
    const char* title; // what a summary calls its albums (translated when shown)
    QString (*text)(const AlbumReport&);
};

// Every outcome an album can have: its name, what it means for the exit
// status, and its words.
const StatusRow kStatusTable[] = {
    {Status::Saved, "saved", 0, QT_TRANSLATE_NOOP("AlbumReport", "Saved"),
     [](const AlbumReport& r) {
         return r.embedded > 0 ? AlbumReport::tr("Saved as “%1”, embedded in %2")
                                     .arg(r.file, files(r.embedded))
                               : AlbumReport::tr("Saved as “%1”").arg(r.file);
     }},
    {Status::Planned, "planned", 0, QT_TRANSLATE_NOOP("AlbumReport", "Would be saved"),
     [](const AlbumReport& r) { return AlbumReport::tr("Would be saved as “%1”").arg(r.file); }},
    {Status::HasCover, "has-cover", 0, QT_TRANSLATE_NOOP("AlbumReport", "Already had a cover"),
     [](const AlbumReport&) { return AlbumReport::tr("Already had a cover"); }},
    {Status::Embedded, "embedded", 0, QT_TRANSLATE_NOOP("AlbumReport", "Cover file embedded"),
     [](const AlbumReport& r) {
         return AlbumReport::tr("Cover file embedded in %1").arg(files(r.embedded));
     }},
    {Status::Upgraded, "upgraded", 0, QT_TRANSLATE_NOOP("AlbumReport", "Upgraded"),
     [](const AlbumReport& r) {
         return AlbumReport::tr("Upgraded “%1” to %2").arg(r.file, AlbumReport::sizeText(r.after));
     }},
    {Status::Kept, "kept", 0, QT_TRANSLATE_NOOP("AlbumReport", "Kept its cover"),
     [](const AlbumReport& r) { return AlbumReport::tr("Kept its cover: %1").arg(r.reason); }},
    {Status::Restored, "restored", 0, QT_TRANSLATE_NOOP("AlbumReport", "Restored"),
     [](const AlbumReport& r) { return AlbumReport::tr("Put back “%1”").arg(r.file); }},
    {Status::NoMatch, "no-match", 0, QT_TRANSLATE_NOOP("AlbumReport", "No confident match"),
     [](const AlbumReport& r) {
         if (!r.match) {
             return AlbumReport::tr("Not in the catalogue");
         }
         return AlbumReport::tr("No confident match (best: %1 – %2)")
             .arg(shown(r.match->artistName()), shown(r.match->collectionName()));
     }},
    {Status::Ambiguous, "ambiguous", 0, QT_TRANSLATE_NOOP("AlbumReport", "Ambiguous"),
     [](const AlbumReport& r) {
         return AlbumReport::tr("Ambiguous: %Ln albums match alike", nullptr, int(r.rivals.size()));
     }},
    {Status::Mixed, "mixed", 0, QT_TRANSLATE_NOOP("AlbumReport", "Mixed folders"),
     [](const AlbumReport& r) {
         return AlbumReport::tr("Mixed folder: %1").arg(r.albums.join(QStringLiteral("; ")));
     }},
    {Status::Failed, "failed", 1, QT_TRANSLATE_NOOP("AlbumReport", "Failed"),
     [](const AlbumReport& r) { return AlbumReport::tr("Failed: %1").arg(r.reason); }},
    {Status::EmbedFailed, "embed-failed", 1, QT_TRANSLATE_NOOP("AlbumReport", "Embedding failed"),
     [](const AlbumReport& r) {
         return AlbumReport::tr("Saved; embedding failed: %1")
             .arg(r.embedFailed.join(QStringLiteral("; ")));
     }},
    {Status::Skipped, "skipped", 1,
     QT_TRANSLATE_NOOP("AlbumReport", "Skipped (tags too slow to read)"),
     [](const AlbumReport&) { return AlbumReport::tr("Skipped: its tags took too long to read"); }},
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
    {FoundVia::Id, "id", QT_TRANSLATE_NOOP("FoundVia", "store id")},
    {FoundVia::Barcode, "barcode", QT_TRANSLATE_NOOP("FoundVia", "barcode")},
    {FoundVia::Listing, "listing", QT_TRANSLATE_NOOP("FoundVia", "artist listing")},
    {FoundVia::Search, "search", QT_TRANSLATE_NOOP("FoundVia", "search")},
    {FoundVia::Hand, "hand", QT_TRANSLATE_NOOP("FoundVia", "by hand")},
};

const ViaRow& rowOf(FoundVia via) {
    for (const ViaRow& row : kVias) {
        if (row.via == via) {
            return row;
        }
    }
    return kVias[0];
}

QJsonObject sizeJson(QSize size) {
    return {{QStringLiteral("width"), size.width()}, {QStringLiteral("height"), size.height()}};
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
    const char* words = rowOf(via).words;
    return *words ? QCoreApplication::translate("FoundVia", words) : QString();
}

QString AlbumReport::sizeText(QSize size) {
    //: A picture's size in pixels: "600 × 600".
    return size.isValid() ? tr("%1 × %2").arg(size.width()).arg(size.height()) : QString();
}

QString AlbumReport::statusName(Status status) {
    return QString::fromLatin1(rowOf(status).name);
}

int AlbumReport::exitStatusFor(Status status) {
    return rowOf(status).exitStatus;
}

QString AlbumReport::statusTitle(Status status) {
    return tr(rowOf(status).title);
}

QString AlbumReport::statusText() const {
    return rowOf(status).text(*this);
}

bool AlbumReport::foundCover() const {
    return via != FoundVia::None && (match || via == FoundVia::Hand) &&
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
    if (before.isValid()) {
        json[QStringLiteral("before")] = sizeJson(before);
    }
    if (after.isValid()) {
        json[QStringLiteral("after")] = sizeJson(after);
    }
    if (!kept.isEmpty()) {
        json[QStringLiteral("kept")] = kept;
    }
    return json;
}

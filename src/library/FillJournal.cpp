#include "library/FillJournal.h"

#include "library/AlbumMatcher.h"
#include "platform/UserPaths.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimeZone>

namespace {

// 1 kept one entry per album; 2 one per album and storefront.
constexpr int kFormat = 2;

// An ambiguous album's candidates, enough to show them without asking.
QJsonArray candidatesJson(const QList<CatalogueItem>& items) {
    QJsonArray array;
    for (const CatalogueItem& item : items) {
        array.append(QJsonObject{{QStringLiteral("collectionId"), item.collectionId()},
                                 {QStringLiteral("artistId"), item.artistId()},
                                 {QStringLiteral("artistName"), item.artistName()},
                                 {QStringLiteral("collectionName"), item.collectionName()},
                                 {QStringLiteral("artworkUrl"), item.artworkUrl()},
                                 {QStringLiteral("year"), item.releaseYear()},
                                 {QStringLiteral("trackCount"), item.trackCount()},
                                 {QStringLiteral("explicitness"), item.explicitness()},
                                 {QStringLiteral("standard"), item.standardResolutionUrl()},
                                 {QStringLiteral("high"), item.highResolutionUrl()}});
    }
    return array;
}

QList<CatalogueItem> candidatesOf(const QJsonArray& array) {
    QList<CatalogueItem> items;
    for (const QJsonValue& value : array) {
        const QJsonObject o = value.toObject();
        CatalogueItem::Fields f;
        f.collectionId = o.value(QStringLiteral("collectionId")).toInteger();
        f.artistId = o.value(QStringLiteral("artistId")).toInteger();
        f.artistName = o.value(QStringLiteral("artistName")).toString();
        f.collectionName = o.value(QStringLiteral("collectionName")).toString();
        f.artworkUrl = o.value(QStringLiteral("artworkUrl")).toString();
        f.releaseYear = o.value(QStringLiteral("year")).toInt();
        f.trackCount = o.value(QStringLiteral("trackCount")).toInt();
        f.explicitness = o.value(QStringLiteral("explicitness")).toString();
        f.standardResolutionUrl = o.value(QStringLiteral("standard")).toString();
        f.highResolutionUrl = o.value(QStringLiteral("high")).toString();
        f.entityString = QStringLiteral("music");
        items.append(CatalogueItem(f));
    }
    return items;
}

FillJournal::Entry entryOf(const QJsonObject& o) {
    return FillJournal::Entry{
        o.value(QStringLiteral("outcome")).toString(),
        QDateTime::fromSecsSinceEpoch(o.value(QStringLiteral("when")).toInteger(), Qt::UTC),
        o.value(QStringLiteral("artist")).toString(),
        o.value(QStringLiteral("album")).toString(),
        o.value(QStringLiteral("barcode")).toString(),
        o.value(QStringLiteral("storefront")).toString(),
        o.value(QStringLiteral("rules")).toInt(),
        candidatesOf(o.value(QStringLiteral("candidates")).toArray())};
}

} // namespace

FillJournal::FillJournal(QByteArray libraryRoot) : m_root(std::move(libraryRoot)) {
    while (m_root.size() > 1 && m_root.endsWith('/')) {
        m_root.chop(1);
    }
}

QString FillJournal::fileFor(const QByteArray& libraryRoot) {
    const QByteArray absolute =
        QFile::encodeName(QFileInfo(QFile::decodeName(libraryRoot)).absoluteFilePath());
    return UserPaths::stateDirectory() + QStringLiteral("/journals/") +
           QString::fromLatin1(
               QCryptographicHash::hash(absolute, QCryptographicHash::Sha256).toHex()) +
           QStringLiteral(".json");
}

QByteArray FillJournal::keyOf(const AlbumFolder& album) const {
    // The folder below the library, as bytes: names need not be UTF-8.
    QByteArray relative = album.nativePath.mid(m_root.size());
    while (relative.startsWith('/')) {
        relative.remove(0, 1);
    }
    return relative.toPercentEncoding("/ ");
}

QString FillJournal::load() {
    m_entries.clear();
    QFile file(filePath());
    if (!file.exists()) {
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return QCoreApplication::translate(
                   "FillJournal", "the journal %1 cannot be read (%2); every album is asked about")
            .arg(file.fileName(), file.errorString());
    }
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    const QByteArray absolute =
        QFile::encodeName(QFileInfo(QFile::decodeName(m_root)).absoluteFilePath());
    const int format = root.value(QStringLiteral("format")).toInt();
    if ((format != 1 && format != kFormat) ||
        root.value(QStringLiteral("library")).toString().toLatin1() !=
            absolute.toPercentEncoding("/ ")) {
        return QCoreApplication::translate(
                   "FillJournal", "the journal %1 is damaged or another library's; every album is "
                                  "asked about")
            .arg(file.fileName());
    }
    const QJsonObject albums = root.value(QStringLiteral("albums")).toObject();
    for (auto it = albums.begin(); it != albums.end(); ++it) {
        const QJsonObject o = it.value().toObject();
        QHash<QString, Entry>& entries = m_entries[it.key().toLatin1()];
        if (format == 1) {
            const Entry entry = entryOf(o);
            entries.insert(entry.storefront, entry);
            continue;
        }
        for (auto store = o.begin(); store != o.end(); ++store) {
            entries.insert(store.key(), entryOf(store.value().toObject()));
        }
    }
    return {};
}

std::optional<FillJournal::Entry> FillJournal::remembered(const AlbumFolder& album,
                                                          const QString& storefront,
                                                          const QDateTime& now) const {
    const auto it = m_entries.constFind(keyOf(album));
    if (it == m_entries.constEnd() || !it->contains(storefront)) {
        return std::nullopt;
    }
    const Entry entry = it->value(storefront);
    const bool unmatched =
        entry.outcome == QLatin1String("no-match") || entry.outcome == QLatin1String("ambiguous");
    const bool sameInputs = entry.artist == album.artist() && entry.album == album.album() &&
                            entry.barcode == album.identity.barcode &&
                            entry.storefront == storefront &&
                            entry.rules == AlbumMatcher::kRulesVersion;
    if (!unmatched || !sameInputs || entry.when.daysTo(now) >= kRememberDays) {
        return std::nullopt;
    }
    return entry;
}

void FillJournal::record(const AlbumFolder& album, const QString& outcome,
                         const QString& storefront, const QDateTime& now,
                         const QList<CatalogueItem>& candidates) {
    m_entries[keyOf(album)].insert(storefront, Entry{outcome, now, album.artist(), album.album(),
                                                     album.identity.barcode, storefront,
                                                     AlbumMatcher::kRulesVersion, candidates});
    m_changed = true;
}

bool FillJournal::save() const {
    QJsonObject albums;
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        QJsonObject stores;
        for (const Entry& e : it.value()) {
            stores.insert(
                e.storefront,
                QJsonObject{{QStringLiteral("outcome"), e.outcome},
                            {QStringLiteral("when"), e.when.toSecsSinceEpoch()},
                            {QStringLiteral("artist"), e.artist},
                            {QStringLiteral("album"), e.album},
                            {QStringLiteral("barcode"), e.barcode},
                            {QStringLiteral("storefront"), e.storefront},
                            {QStringLiteral("rules"), e.rules},
                            {QStringLiteral("candidates"), candidatesJson(e.candidates)}});
        }
        albums.insert(QString::fromLatin1(it.key()), stores);
    }
    const QByteArray absolute =
        QFile::encodeName(QFileInfo(QFile::decodeName(m_root)).absoluteFilePath());
    const QJsonObject root{
        {QStringLiteral("format"), kFormat},
        {QStringLiteral("library"), QString::fromLatin1(absolute.toPercentEncoding("/ "))},
        {QStringLiteral("albums"), albums}};
    const QString path = filePath();
    if (!QDir().mkpath(QFileInfo(path).path())) {
        return false;
    }
    QSaveFile file(path);
    const QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Compact);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

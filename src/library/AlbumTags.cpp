#include "library/AlbumTags.h"

#include "library/AlbumMatcher.h"
#include "library/Barcode.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>

namespace AlbumTags {

namespace {

// The value most of `values` share, and how many share it; empty values do
// not count. `tie` is set when another value is as common.
template <typename T> std::pair<T, int> mostCommon(const QList<T>& values, bool* tie = nullptr) {
    QHash<T, int> counts;
    QList<T> order; // first seen first: ties go to the earlier
    for (const T& value : values) {
        if (value == T{}) {
            continue;
        }
        if (counts[value]++ == 0) {
            order.append(value);
        }
    }
    std::pair<T, int> best{T{}, 0};
    bool tied = false;
    for (const T& value : order) {
        if (counts[value] > best.second) {
            best = {value, counts[value]};
            tied = false;
        } else if (counts[value] == best.second) {
            tied = true;
        }
    }
    if (tie) {
        *tie = tied;
    }
    return best;
}

bool isVarious(const QString& artist) {
    static const QRegularExpression various(QStringLiteral("^(various( artists)?|va)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return various.match(artist.trimmed()).hasMatch();
}

// "Album (Disc 1)" as "Album": what a search is asked for.
QString withoutDiscMarker(const QString& title) {
    static const QRegularExpression marker(
        QStringLiteral("\\s*(?:[\\(\\[](?:disc|disk|cd)\\s*\\w+[^\\)\\]]*[\\)\\]]|"
                       "[-–:]\\s*(?:disc|disk|cd)\\s*\\w+.*|(?:disc|disk|cd)\\s*\\d{1,2})\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    return QString(title).remove(marker).trimmed();
}

// The artist most of the files credit, a featured part set aside; empty when
// no artist has most of them.
QString majorityArtist(const QList<const TrackTags*>& files) {
    QList<QString> credits;
    for (const TrackTags* track : files) {
        credits.append(AlbumMatcher::mainArtist(track->artist));
    }
    const QString top = mostCommon(credits).first;
    if (top.isEmpty()) {
        return {};
    }
    // "A & B" counts for A when A is the artist the others credit.
    int count = 0;
    for (const TrackTags* track : files) {
        count += AlbumMatcher::normalised(AlbumMatcher::mainArtist(track->artist, top)) ==
                 AlbumMatcher::normalised(top);
    }
    return count * 2 > files.size() ? top : QString();
}

void takeIds(const QList<const TrackTags*>& files, Identity& identity) {
    QList<QString> barcodes;
    QList<qint64> collections;
    QList<qint64> artists;
    QList<QString> versions;
    QList<QString> storefronts;
    QList<int> years;
    for (const TrackTags* track : files) {
        barcodes.append(Barcode::normalised(track->barcode).value_or(QString()));
        collections.append(track->collectionId);
        artists.append(track->artistId);
        versions.append(track->explicitness);
        storefronts.append(track->storefront);
        years.append(track->year);
    }
    bool tie = false;
    const QString barcode = mostCommon(barcodes, &tie).first;
    identity.barcode = tie ? QString() : barcode;
    identity.collectionId = mostCommon(collections, &tie).first;
    identity.collectionId = tie ? 0 : identity.collectionId;
    identity.artistId = mostCommon(artists).first;
    identity.explicitness = mostCommon(versions).first;
    identity.storefront = mostCommon(storefronts).first;
    identity.year = mostCommon(years).first;
}

} // namespace

Identity identify(const QList<TrackTags>& tracks) {
    Identity identity;
    QList<QString> titles;
    QList<const TrackTags*> tagged;
    for (const TrackTags& track : tracks) {
        if (track.read == TrackTags::Read::Whole && !track.album.isEmpty()) {
            tagged.append(&track);
            titles.append(AlbumMatcher::parseTitle(track.album).core);
        }
    }
    if (tagged.isEmpty()) {
        return identity;
    }
    bool tie = false;
    const auto [key, count] = mostCommon(titles, &tie);
    if (tie || count * 2 <= tagged.size()) {
        // Several albums, none of them the folder's: a "Singles" folder.
        identity.kind = Identity::Kind::Mixed;
        for (const TrackTags* track : tagged) {
            const QString album = withoutDiscMarker(track->album);
            if (!identity.albums.contains(album)) {
                identity.albums.append(album);
            }
        }
        return identity;
    }
    // The artist and the album always come from the same files.
    QList<const TrackTags*> files;
    QList<QString> rawTitles;
    QList<QString> albumArtists;
    int compilations = 0;
    for (qsizetype i = 0; i < tagged.size(); ++i) {
        if (titles[i] == key) {
            files.append(tagged[i]);
            rawTitles.append(withoutDiscMarker(tagged[i]->album));
            albumArtists.append(tagged[i]->albumArtist);
            compilations += tagged[i]->compilation;
        }
    }
    identity.album = mostCommon(rawTitles).first;
    identity.artist = mostCommon(albumArtists).first;
    if (identity.artist.isEmpty()) {
        identity.artist = majorityArtist(files);
    }
    const bool compilation =
        identity.artist.isEmpty() || isVarious(identity.artist) || compilations * 2 > files.size();
    identity.kind = compilation ? Identity::Kind::Compilation : Identity::Kind::Album;
    if (compilation) {
        identity.artist = QStringLiteral("Various Artists");
    }
    takeIds(files, identity);
    return identity;
}

Identity fromFolderNames(const QString& albumFolder) {
    Identity identity;
    const QStringList parts = albumFolder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString album = parts.value(parts.size() - 1).trimmed();
    QString artist = parts.value(parts.size() - 2).trimmed();
    // "1977 - Rumours", "[1977] Rumours": the year leads, the title follows.
    static const QRegularExpression leadingYear(
        QStringLiteral("^[\\(\\[]?((?:19|20)\\d\\d)(?:[\\)\\]]\\s*|\\s*[-–.]\\s+)(.+)$"));
    if (const auto match = leadingYear.match(album); match.hasMatch()) {
        identity.year = match.captured(1).toInt();
        album = match.captured(2).trimmed();
    }
    // A trailing year or format ("(2016)", "[FLAC]", "[24-96]") is no part of the title.
    static const QRegularExpression trailing(
        QStringLiteral(
            "\\s*[\\(\\[]\\s*(?:((?:19|20)\\d\\d)|[^\\)\\]]*(?:flac|mp3|aac|alac|ogg|"
            "opus|wav|web|vinyl|lossless|hi-?res|kbps|khz|bit|\\d+-\\d+|v0|320)[^\\)\\]]*)"
            "\\s*[\\)\\]]\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    for (auto match = trailing.match(album); match.hasMatch(); match = trailing.match(album)) {
        if (!match.captured(1).isEmpty()) {
            identity.year = match.captured(1).toInt();
        }
        album.truncate(match.capturedStart());
    }
    // "Quiet Hours, The": the artist folder in sort form.
    static const QRegularExpression sortForm(QStringLiteral("^(.+),\\s*(The|A|An)$"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (const auto match = sortForm.match(artist); match.hasMatch()) {
        artist = match.captured(2) + QLatin1Char(' ') + match.captured(1);
    }
    identity.artist = artist;
    identity.album = withoutDiscMarker(album);
    identity.kind = artist.isEmpty() || identity.album.isEmpty() ? Identity::Kind::Unknown
                    : isVarious(artist)                          ? Identity::Kind::Compilation
                                                                 : Identity::Kind::Album;
    return identity;
}

bool isDiscFolderName(const QString& name) {
    static const QRegularExpression disc(
        QStringLiteral("^(?:cd|disc|disk)\\s*\\d{1,2}(?:\\s*[-–:].*)?$"),
        QRegularExpression::CaseInsensitiveOption);
    return disc.match(name.trimmed()).hasMatch();
}

} // namespace AlbumTags

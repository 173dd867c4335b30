#include "library/FillTriage.h"

#include "library/CoverUpgrade.h"
#include "library/FillJournal.h"
#include "library/FillSaver.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>

#include <sys/stat.h>

namespace {

// A name with tokens is the album's own: the scanner cannot know it.
bool namedCoverExists(const AlbumFolder& album, const FillOptions& options) {
    if (!options.coverName.contains(QLatin1String("%{"))) {
        return false;
    }
    struct stat info {};
    const QByteArray path =
        album.nativePath + '/' + QFile::encodeName(FillSaver::coverNameFor(options, album));
    return ::lstat(path.constData(), &info) == 0;
}

} // namespace

bool FillTriage::exactlyKnown(const AlbumFolder& album, const SourceCapabilities& can) {
    return (album.identity.collectionId > 0 && can.idLookups) ||
           (!album.identity.barcode.isEmpty() && can.barcodeLookups);
}

QStringList FillTriage::storefrontsOf(const AlbumFolder& album, const FillOptions& options) {
    QStringList storefronts;
    for (const QString& storefront :
         QStringList{album.identity.storefront, options.country} + options.moreCountries) {
        if (!storefront.isEmpty() && !storefronts.contains(storefront)) {
            storefronts.append(storefront);
        }
    }
    return storefronts;
}

FillTriage FillTriage::of(const AlbumFolder& album, AlbumReport told, const FillOptions& options,
                          const FillJournal& journal, const SourceCapabilities& can) {
    FillTriage triage;
    using Kind = AlbumTags::Identity::Kind;
    using Smallness = CoverUpgrade::Smallness;
    const bool covered =
        !album.existingCover.isEmpty() || album.embeddedCovers || namedCoverExists(album, options);
    // An upgrade asks about albums whose cover files are all small.
    const bool pictures = options.embed && album.embeddedCovers;
    const Smallness size = options.upgradeBelow > 0 && (!album.coverFiles.isEmpty() || pictures)
                               ? CoverUpgrade::smallness(album, options.upgradeBelow, pictures)
                               : Smallness::Large;
    if (!album.problem.isEmpty()) {
        told.reason = album.problem;
    } else if (album.identity.kind == Kind::Unknown && !album.slowFiles.isEmpty()) {
        told.status = AlbumReport::Status::Skipped;
    } else if (album.identity.kind == Kind::Mixed) {
        told.status = AlbumReport::Status::Mixed;
        told.albums = album.identity.albums;
    } else if (size == Smallness::Unknown) {
        told.status = AlbumReport::Status::Kept;
        told.kept = CoverUpgrade::keepName(CoverUpgrade::Keep::SizeUnknown);
        told.reason = CoverUpgrade::keepReason(CoverUpgrade::Keep::SizeUnknown);
        told.file = album.existingCover;
    } else if (covered && size == Smallness::Large) {
        told.status = AlbumReport::Status::HasCover;
        told.file = album.existingCover.isEmpty() ? FillSaver::coverNameFor(options, album)
                                                  : album.existingCover;
        told.before = album.largestCover(options.embed);
        if (options.embed && !album.existingCover.isEmpty() && !album.uncoveredFiles.isEmpty()) {
            triage.step = Step::EmbedCoverFile;
        }
    } else if (album.identity.kind == Kind::Unknown) {
        told.status = AlbumReport::Status::NoMatch;
        told.reason = QCoreApplication::translate(
            "FillRun", "neither tags nor folder names say which album it is");
    } else {
        // A storefront remembered without a match is not asked again; one
        // remembered ambiguous ends the list (other storefronts would not
        // settle what the matcher cannot).
        const QDateTime now = QDateTime::currentDateTimeUtc();
        std::optional<FillJournal::Entry> remembered;
        for (const QString& storefront : storefrontsOf(album, options)) {
            const auto entry =
                options.retry ? std::nullopt : journal.remembered(album, storefront, now);
            if (!entry) {
                triage.storefronts.append(storefront);
                continue;
            }
            remembered = entry;
            if (entry->outcome == QLatin1String("ambiguous")) {
                remembered = entry;
                break;
            }
        }
        if (triage.storefronts.isEmpty()) {
            told.status = remembered->outcome == QLatin1String("ambiguous")
                              ? AlbumReport::Status::Ambiguous
                              : AlbumReport::Status::NoMatch;
            told.remembered = true;
            told.rivals = remembered->candidates;
            if (!told.rivals.isEmpty()) {
                told.match = told.rivals.first(); // the best of them, as when it was asked
            }
            told.reason = QCoreApplication::translate(
                              "FillRun", "no confident match on %1; --retry asks again")
                              .arg(remembered->when.date().toString(Qt::ISODate));
        } else {
            triage.step = Step::Ask;
            triage.stage = exactlyKnown(album, can) ? FillStage::Ids : FillStage::Names;
        }
    }
    triage.report = told;
    return triage;
}

#include "library/AlbumCoverWriter.h"

#include "imaging/CoverFileWriter.h"
#include "imaging/ImageCodec.h"
#include "library/CoverEmbedder.h"
#include "library/EmbedLock.h"
#include "settings/CoverFileName.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>

namespace AlbumCoverWriter {

QString coverName(const QString& pattern, const AlbumFolder& album) {
    const CoverFileName::NameFields fields{album.artist(), album.album(), album.identity.year,
                                           QStringLiteral("Music")};
    return CoverFileName::build(pattern, fields, 0, 0, 0);
}

Written writeCover(const AlbumFolder& album, const QString& name, const QByteArray& coverBytes) {
    const auto jpeg = ImageCodec::jpegData(CoverImage{QImage(), coverBytes});
    if (!jpeg) {
        return {Written::Outcome::Failed,
                {},
                QCoreApplication::translate("AlbumCoverWriter", "the cover could not be encoded"),
                {}};
    }
    const auto written = CoverFileWriter::writeNewFile(album.nativePath, name, *jpeg,
                                                       CoverFileWriter::Naming::Exact);
    if (!written.ok()) {
        return {written.errorCode == EEXIST ? Written::Outcome::Taken : Written::Outcome::Failed,
                {},
                written.error,
                {}};
    }
    for (const QByteArray& disc : album.discFolders) {
        CoverFileWriter::writeNewFile(disc, name, *jpeg, CoverFileWriter::Naming::Exact);
    }
    return {Written::Outcome::Written, written.path, {}, *jpeg};
}

QString waitingNotice(const QString& folder) {
    return QCoreApplication::translate(
               "AlbumCoverWriter",
               "Another run is embedding covers in %1; waiting for it to finish.")
        .arg(folder);
}

Embedded embedCover(const AlbumFolder& album, const QByteArray& coverBytes, int maxSide,
                    const std::atomic<bool>* stop,
                    const std::function<void(const QString&)>& notice) {
    Embedded embedded;
    const auto picture = CoverEmbedder::prepare(coverBytes, maxSide);
    if (!picture) {
        embedded.failed.append(QCoreApplication::translate(
            "AlbumCoverWriter", "the cover is no picture that can be embedded"));
        return embedded;
    }
    const EmbedLock lock(album.nativePath, stop, [&] {
        if (notice) {
            notice(waitingNotice(album.path));
        }
    });
    if (!lock.held()) {
        embedded.stopped = true;
        return embedded;
    }
    for (const QByteArray& file : album.uncoveredFiles) {
        const CoverEmbedder::Result result = CoverEmbedder::embed(file, *picture, false, stop);
        using Outcome = CoverEmbedder::Result::Outcome;
        if (result.outcome == Outcome::Embedded) {
            ++embedded.files;
        } else if (result.outcome == Outcome::Stopped) {
            embedded.stopped = true;
            break;
        } else if (result.outcome == Outcome::Failed) {
            embedded.failed.append(QFile::decodeName(file.mid(album.nativePath.size() + 1)) +
                                   QStringLiteral(": ") + result.error);
        }
    }
    return embedded;
}

} // namespace AlbumCoverWriter

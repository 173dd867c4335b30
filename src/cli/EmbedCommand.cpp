#include "AlbumScanner.h"
#include "Commands.h"
#include "CoverEmbedder.h"
#include "CoverFileWriter.h"
#include "ImageService.h"
#include "Output.h"

#include <QFile>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace Commands {

namespace {

bool isFolder(const QByteArray& path) {
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The audio files of an album folder: its own, and its disc folders'.
QList<QByteArray> audioFilesOf(const QByteArray& folder, int depth = 0) {
    CoverFileWriter::removeAbandonedScratchFiles(folder);
    QList<QByteArray> files;
    DIR* dir = ::opendir(folder.constData());
    if (!dir) {
        return files;
    }
    QList<QByteArray> names;
    while (const dirent* entry = ::readdir(dir)) {
        names.append(QByteArray(entry->d_name));
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    for (const QByteArray& name : names) {
        const QByteArray path = folder + '/' + name;
        if (AlbumScanner::isAudioFile(name) && !isFolder(path)) {
            files.append(path);
        } else if (depth == 0 && AlbumTags::isDiscFolderName(QFile::decodeName(name)) &&
                   isFolder(path)) {
            files += audioFilesOf(path, 1);
        }
    }
    return files;
}

} // namespace

int embed(const Arguments& args) {
    QFile image(QFile::decodeName(args.nativeTerm));
    if (!image.open(QIODevice::ReadOnly) || image.size() > ImageService::kMaxImageBytes) {
        return CommandLine::usageError(
            QStringLiteral("cannot read the picture \"%1\"").arg(args.term));
    }
    const auto picture = CoverEmbedder::prepare(image.readAll(), args.embedSide);
    if (!picture) {
        return CommandLine::usageError(QStringLiteral("\"%1\" is no picture").arg(args.term));
    }
    QList<QByteArray> files;
    for (const QByteArray& target : args.nativeTargets) {
        files += isFolder(target) ? audioFilesOf(target) : QList<QByteArray>{target};
    }
    QTextStream out(stdout);
    int status = ExitOk;
    for (const QByteArray& file : std::as_const(files)) {
        const CoverEmbedder::Result result = CoverEmbedder::embed(file, *picture, args.replace);
        const QString shown = Output::terminal(QFile::decodeName(file));
        switch (result.outcome) {
        case CoverEmbedder::Result::Outcome::Embedded:
            out << "embedded: " << shown << '\n';
            break;
        case CoverEmbedder::Result::Outcome::AlreadyHad:
            out << "kept its cover: " << shown << '\n';
            break;
        case CoverEmbedder::Result::Outcome::NotEmbeddable:
            out << "not embeddable: " << shown << " (" << result.error << ")\n";
            break;
        case CoverEmbedder::Result::Outcome::Failed:
            Output::error(QStringLiteral("failed: %1 (%2)").arg(shown, result.error));
            status = 1;
            break;
        }
    }
    if (files.isEmpty()) {
        Output::error(QStringLiteral("No audio files found."));
    }
    return status;
}

} // namespace Commands

#include "cli/Commands.h"
#include "cli/Interruption.h"
#include "cli/Output.h"
#include "imaging/ImageService.h"
#include "library/AlbumCoverWriter.h"
#include "library/AlbumScanner.h"
#include "library/CoverEmbedder.h"
#include "library/EmbedLock.h"

#include <QFile>
#include <QJsonObject>
#include <QMap>

#include <algorithm>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

namespace {

bool isFolder(const QByteArray& path) {
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The audio files of an album folder: its own, and its disc folders'.
QList<QByteArray> audioFilesOf(const QByteArray& folder, int depth = 0) {
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

// One file's outcome: a line for people, or a JSON object for scripts.
void tell(QTextStream& out, bool json, const QByteArray& file,
          const CoverEmbedder::Result& result) {
    using Outcome = CoverEmbedder::Result::Outcome;
    static const QMap<Outcome, QString> names{
        {Outcome::Embedded, QStringLiteral("embedded")},
        {Outcome::AlreadyHad, QStringLiteral("kept")},
        {Outcome::NotEmbeddable, QStringLiteral("not-embeddable")},
        {Outcome::Failed, QStringLiteral("failed")},
        {Outcome::Stopped, QStringLiteral("stopped")}};
    const QString path = QFile::decodeName(file);
    if (json) {
        QJsonObject line{{QStringLiteral("file"), path},
                         {QStringLiteral("status"), names.value(result.outcome)}};
        if (!result.error.isEmpty()) {
            line.insert(QStringLiteral("reason"), result.error);
        }
        Output::jsonLine(out, line);
        return;
    }
    const QString shown = Output::terminal(path);
    switch (result.outcome) {
    case Outcome::Embedded:
        out << Cli::tr("embedded: %1").arg(shown) << '\n' << Qt::flush;
        break;
    case Outcome::AlreadyHad:
        out << Cli::tr("kept its cover: %1").arg(shown) << '\n' << Qt::flush;
        break;
    case Outcome::NotEmbeddable:
        out << Cli::tr("not embeddable: %1 (%2)").arg(shown, Output::terminal(result.error)) << '\n'
            << Qt::flush;
        break;
    case Outcome::Failed:
        Output::error(Cli::tr("failed: %1 (%2)").arg(shown, Output::terminal(result.error)));
        break;
    case Outcome::Stopped:
        Output::error(Cli::tr("stopped: %1 (%2)").arg(shown, Output::terminal(result.error)));
        break;
    }
}

QByteArray folderOf(const QByteArray& file) {
    const qsizetype slash = file.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : file.left(slash);
}

} // namespace

int EmbedCommand::run(const Arguments& args) {
    QFile image(QFile::decodeName(args.nativeTerm));
    if (!image.open(QIODevice::ReadOnly) || image.size() > ImageService::kMaxImageBytes) {
        return CommandLine::usageError(Cli::tr("cannot read the picture \"%1\"").arg(args.term));
    }
    const auto picture = CoverEmbedder::prepare(image.readAll(), args.embedSide);
    if (!picture) {
        return CommandLine::usageError(Cli::tr("\"%1\" is no picture").arg(args.term));
    }
    QList<QByteArray> files;
    for (const QByteArray& target : args.nativeTargets) {
        files += isFolder(target) ? audioFilesOf(target) : QList<QByteArray>{target};
    }
    Interruption::install();
    QTextStream out(stdout);
    int status = ExitOk;
    // Each folder is embedded into by one run at a time.
    std::unique_ptr<EmbedLock> lock;
    QByteArray locked;
    for (const QByteArray& file : std::as_const(files)) {
        const QByteArray folder = folderOf(file);
        if (!lock || folder != locked) {
            lock.reset();
            lock = std::make_unique<EmbedLock>(folder, &Interruption::flag(), [&folder] {
                Output::error(AlbumCoverWriter::waitingNotice(QFile::decodeName(folder)));
            });
            locked = folder;
        }
        if (Interruption::requested() || !lock->held()) {
            break;
        }
        const CoverEmbedder::Result result =
            CoverEmbedder::embed(file, *picture, args.replace, &Interruption::flag());
        tell(out, args.json, file, result);
        if (result.outcome == CoverEmbedder::Result::Outcome::Failed) {
            status = 1;
        }
    }
    if (Interruption::requested()) {
        Output::error(Cli::tr("Stopped; the files not listed above were left as they were."));
        return Interruption::exitStatus();
    }
    if (files.isEmpty()) {
        Output::error(Cli::tr("No audio files found."));
    }
    return status;
}

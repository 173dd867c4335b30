#include "CoverFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace CoverFileWriter {

namespace {

QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

// Moves `from` to `to` unless `to` exists; false with errno EEXIST when it does.
bool renameNoReplace(const QByteArray& from, const QByteArray& to) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
#endif
    // File systems without the flag: a hard link fails on an existing name too.
    if (::link(from.constData(), to.constData()) != 0) {
        return false;
    }
    ::unlink(from.constData());
    return true;
}

} // namespace

WriteResult writeReplacing(const QString& path, const QByteArray& data) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return {{}, file.errorString()};
    }
    if (file.write(data) != data.size() || !file.commit()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return {{}, error};
    }
    return {path, {}};
}

QString numberedFileName(const QString& fileName, int counter) {
    const QString last = fileName.section(QLatin1Char('/'), -1);
    const QString prefix = fileName.left(fileName.size() - last.size());
    const int dot = last.lastIndexOf(QLatin1Char('.'));
    // A leading full stop starts a hidden name, not an extension.
    const bool hasExtension = dot > 0;
    const QString base = hasExtension ? last.left(dot) : last;
    const QString extension = hasExtension ? last.mid(dot + 1) : QString();
    return prefix + base + QLatin1Char('-') + QString::number(counter) + QLatin1Char('.') +
           extension;
}

bool staysInsideFolder(const QString& fileName) {
    if (fileName.isEmpty() || fileName.startsWith(QLatin1Char('/'))) {
        return false;
    }
    const QStringList parts = fileName.split(QLatin1Char('/'));
    return !parts.contains(QStringLiteral(".."));
}

WriteResult writeWithFreeName(const QString& folder, const QString& fileName,
                              const QByteArray& data) {
    if (!staysInsideFolder(fileName)) {
        return {{}, QStringLiteral("The file name “%1” leads out of the folder.").arg(fileName)};
    }
    const QString first = QDir(folder).filePath(fileName);
    const QString targetFolder = QFileInfo(first).absolutePath();
    if (!QFileInfo(targetFolder).isDir()) {
        return {{}, QStringLiteral("The folder “%1” does not exist.").arg(targetFolder)};
    }

    QTemporaryFile scratch(targetFolder + QStringLiteral("/.sleevanta-XXXXXX"));
    scratch.setAutoRemove(true);
    if (!scratch.open()) {
        return {{}, scratch.errorString()};
    }
    if (scratch.write(data) != data.size() || !scratch.flush() || ::fsync(scratch.handle()) != 0) {
        return {{}, scratch.errorString()};
    }
    scratch.close();
    const QByteArray scratchPath = QFile::encodeName(scratch.fileName());
    ::chmod(
        scratchPath.constData(), 0644 & ~[] {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            return mask;
        }());

    QString candidate = first;
    for (int counter = 1; counter < 100000; ++counter) {
        if (!QFileInfo::exists(candidate)) {
            if (renameNoReplace(scratchPath, QFile::encodeName(candidate))) {
                scratch.setAutoRemove(false);
                return {candidate, {}};
            }
            if (errno != EEXIST) {
                return {{}, systemError(errno)};
            }
        }
        candidate = QDir(folder).filePath(numberedFileName(fileName, counter));
    }
    return {{}, QStringLiteral("No free file name was found.")};
}

} // namespace CoverFileWriter

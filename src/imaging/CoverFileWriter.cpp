#include "CoverFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <functional>

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

namespace {

// Copies `source` into the open file `out` inside the kernel; false on any
// failure (the caller then writes the bytes itself).
bool copyFileInto(const QString& source, int out, qint64 size) {
    const int in = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return false;
    }
    qint64 remaining = size;
    while (remaining > 0) {
        const ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, size_t(remaining), 0);
        if (copied <= 0) {
            break;
        }
        remaining -= copied;
    }
    ::close(in);
    return remaining == 0;
}

// Fills a scratch file in the target folder and renames it to the first free
// name: `folder/fileName`, then the numbered names.
WriteResult writeFreeName(const QString& folder, const QString& fileName,
                          const std::function<bool(QTemporaryFile&)>& fill) {
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
    // Written and renamed into place, as GLib writes a new file: the name
    // appears only with all the bytes behind it. No fsync: a new name replaces
    // nothing, so a crash can only lose the new file, never an old one.
    if (!fill(scratch)) {
        return {{}, scratch.errorString().isEmpty() ? systemError(errno) : scratch.errorString()};
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

} // namespace

WriteResult writeWithFreeName(const QString& folder, const QString& fileName,
                              const QByteArray& data) {
    return writeFreeName(folder, fileName, [&data](QTemporaryFile& scratch) {
        return scratch.write(data) == data.size() && scratch.flush();
    });
}

WriteResult writeWithFreeName(const QString& folder, const QString& fileName,
                              const QByteArray& data, const QString& sameBytesFile) {
    const bool same = !sameBytesFile.isEmpty() && QFileInfo(sameBytesFile).size() == data.size();
    return writeFreeName(folder, fileName, [&](QTemporaryFile& scratch) {
        if (same && copyFileInto(sameBytesFile, scratch.handle(), data.size())) {
            return true;
        }
        scratch.resize(0);
        scratch.seek(0);
        return scratch.write(data) == data.size() && scratch.flush();
    });
}

} // namespace CoverFileWriter

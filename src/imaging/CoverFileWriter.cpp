#include "imaging/CoverFileWriter.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace CoverFileWriter {

namespace {

constexpr char kScratchPrefix[] = ".sleevanta-";

// The process's file-creation mask, read without changing it: umask() would
// change it for every thread for a moment.
mode_t creationMask() {
    static const mode_t mask = [] {
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : status.readAll().split('\n')) {
                if (line.startsWith("Umask:")) {
                    return mode_t(line.mid(6).trimmed().toUInt(nullptr, 8));
                }
            }
        }
        return mode_t(022);
    }();
    return mask;
}

WriteResult failure(int code, const QString& text = {}) {
    return {{}, text.isEmpty() ? systemError(code) : text, code};
}

QByteArray parentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray(slash == 0 ? "/" : ".") : path.left(slash);
}

bool isFolder(const QByteArray& path) {
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Copies `source` into `out` inside the kernel; false on any failure.
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

// Fills `fd` with the bytes and flushes them: from `sameBytesFile` when it
// holds them, else from `data`.
bool fill(int fd, const QByteArray& data, const QString& sameBytesFile) {
    struct stat same {};
    const bool copied = !sameBytesFile.isEmpty() &&
                        ::stat(QFile::encodeName(sameBytesFile).constData(), &same) == 0 &&
                        same.st_size == data.size() && copyFileInto(sameBytesFile, fd, data.size());
    if (!copied &&
        (::ftruncate(fd, 0) != 0 || ::lseek(fd, 0, SEEK_SET) != 0 || !writeAll(fd, data))) {
        return false;
    }
    return ::fchmod(fd, 0644 & ~creationMask()) == 0 && ::fsync(fd) == 0;
}

// Names the scratch file `scratch` `target` unless `target` exists; false with
// errno EEXIST when it does.
bool nameScratch(const QByteArray& scratch, const QByteArray& target) {
    if (::link(scratch.constData(), target.constData()) == 0) {
        ::unlink(scratch.constData());
        return true;
    }
    if (errno == EEXIST) {
        return false;
    }
    // File systems without hard links (some FUSE ones): a rename that refuses
    // to replace, else, where the flag is unknown too, a look first.
    if (::renameat2(AT_FDCWD, scratch.constData(), AT_FDCWD, target.constData(),
                    RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    struct stat info {};
    if (::lstat(target.constData(), &info) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(scratch.constData(), target.constData()) == 0;
}

// The candidates for a new name, first the name itself.
QString candidate(const QString& fileName, Naming naming, int counter) {
    if (counter == 0) {
        return fileName;
    }
    return naming == Naming::Exact ? QString() : numberedFileName(fileName, counter);
}

} // namespace

QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

bool writeAll(int fd, const QByteArray& data) {
    qint64 written = 0;
    while (written < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + written, size_t(data.size() - written));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        written += n;
    }
    return true;
}

void syncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool isScratchName(const QByteArray& name) {
    return name.startsWith(kScratchPrefix);
}

// This machine's name as it goes into scratch names: letters, digits and
// full stops only, so that the name parses back.
const QByteArray& hostTag() {
    static const QByteArray tag = [] {
        char name[256] = {};
        QByteArray host = ::gethostname(name, sizeof name - 1) == 0 ? QByteArray(name) : "host";
        for (char& c : host) {
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.') {
                c = '_';
            }
        }
        return host.left(64).isEmpty() ? QByteArray("host") : host.left(64);
    }();
    return tag;
}

int createScratchFile(const QByteArray& folder, QByteArray* path) {
    *path = folder + '/' + kScratchPrefix + hostTag() + '-' + QByteArray::number(::getpid()) +
            "-XXXXXX";
    return ::mkostemp(path->data(), O_CLOEXEC);
}

std::optional<ScratchOwner> scratchOwner(const QByteArray& name) {
    if (!isScratchName(name)) {
        return std::nullopt;
    }
    // ".sleevanta-<host>-<pid>-XXXXXX", or ".sleevanta-<pid>-XXXXXX" of older runs.
    const QList<QByteArray> parts = name.mid(int(sizeof kScratchPrefix) - 1).split('-');
    if (parts.size() < 2) {
        return std::nullopt;
    }
    bool numeric = false;
    const pid_t pid = pid_t(parts[parts.size() - 2].toLong(&numeric));
    if (!numeric || pid <= 0) {
        return std::nullopt;
    }
    const QByteArray host =
        parts.size() == 2 ? hostTag() : parts.mid(0, parts.size() - 2).join('-');
    return ScratchOwner{host, pid};
}

void removeAbandonedScratchFiles(const QByteArray& folder) {
    DIR* dir = ::opendir(folder.constData());
    if (!dir) {
        return;
    }
    QList<QByteArray> abandoned;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (!isScratchName(name)) {
            continue;
        }
        // Its process on this machine is gone; another machine's run sharing
        // the library is not ours to judge.
        const auto owner = scratchOwner(name);
        if (owner && owner->host == hostTag() && owner->pid != ::getpid() &&
            ::kill(owner->pid, 0) != 0 && errno == ESRCH) {
            abandoned.append(folder + '/' + name);
        }
    }
    ::closedir(dir);
    for (const QByteArray& path : std::as_const(abandoned)) {
        struct stat info {};
        if (::lstat(path.constData(), &info) == 0 && S_ISREG(info.st_mode)) {
            ::unlink(path.constData());
        }
    }
}

QString numberedFileName(const QString& fileName, int counter) {
    const QString last = fileName.section(QLatin1Char('/'), -1);
    const QString prefix = fileName.left(fileName.size() - last.size());
    const int dot = int(last.lastIndexOf(QLatin1Char('.')));
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
    return !parts.contains(QStringLiteral("..")) && !parts.last().isEmpty();
}

WriteResult writeNewFile(const QString& folder, const QString& fileName, const QByteArray& data,
                         Naming naming, const QString& sameBytesFile) {
    return writeNewFile(QFile::encodeName(folder), fileName, data, naming, sameBytesFile);
}

WriteResult writeNewFile(const QByteArray& folder, const QString& fileName, const QByteArray& data,
                         Naming naming, const QString& sameBytesFile) {
    if (!staysInsideFolder(fileName)) {
        return failure(EINVAL, QCoreApplication::translate(
                                   "CoverFileWriter", "the file name leads out of the folder"));
    }
    const QByteArray first = folder + '/' + QFile::encodeName(fileName);
    const QByteArray target = parentOf(first);
    if (!isFolder(target)) {
        return failure(ENOENT,
                       QCoreApplication::translate("CoverFileWriter", "the folder does not exist"));
    }
    removeAbandonedScratchFiles(target);

    // Without a name while it is written, where the file system can.
    QByteArray scratch;
    int fd = ::open(target.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    const bool unnamed = fd >= 0;
    if (!unnamed) {
        fd = createScratchFile(target, &scratch);
    }
    if (fd < 0) {
        const int code = errno;
        return failure(code, code == ENOENT ? QCoreApplication::translate(
                                                  "CoverFileWriter", "the folder cannot be written")
                                            : QString());
    }
    auto giveUp = [&](int code) {
        ::close(fd);
        if (!unnamed) {
            ::unlink(scratch.constData());
        }
        return failure(code);
    };
    if (!fill(fd, data, sameBytesFile)) {
        return giveUp(errno);
    }
    const QByteArray proc = "/proc/self/fd/" + QByteArray::number(fd);
    for (int counter = 0; counter < 100000; ++counter) {
        const QString name = candidate(fileName, naming, counter);
        if (name.isEmpty()) {
            return giveUp(EEXIST);
        }
        const QByteArray path = folder + '/' + QFile::encodeName(name);
        const bool named = unnamed ? ::linkat(AT_FDCWD, proc.constData(), AT_FDCWD,
                                              path.constData(), AT_SYMLINK_FOLLOW) == 0
                                   : nameScratch(scratch, path);
        if (named) {
            ::close(fd);
            syncFolder(target);
            return {QFile::decodeName(path), {}, 0};
        }
        if (errno != EEXIST) {
            return giveUp(errno);
        }
    }
    return giveUp(EEXIST);
}

WriteResult writeReplacing(const QString& path, const QByteArray& data, bool durable) {
    const QByteArray native = QFile::encodeName(path);
    const QByteArray folder = parentOf(native);
    if (!isFolder(folder)) {
        return failure(ENOENT,
                       QCoreApplication::translate("CoverFileWriter", "the folder does not exist"));
    }
    QByteArray scratch;
    const int fd = createScratchFile(folder, &scratch);
    if (fd < 0) {
        const int code = errno;
        return failure(code, code == ENOENT ? QCoreApplication::translate(
                                                  "CoverFileWriter", "the folder cannot be written")
                                            : QString());
    }
    const bool filled = writeAll(fd, data) && ::fchmod(fd, 0644 & ~creationMask()) == 0 &&
                        (!durable || ::fsync(fd) == 0);
    const int code = errno;
    ::close(fd);
    if (!filled || ::rename(scratch.constData(), native.constData()) != 0) {
        const int failed = filled ? errno : code;
        ::unlink(scratch.constData());
        return failure(failed);
    }
    if (durable) {
        syncFolder(folder);
    }
    return {path, {}, 0};
}

} // namespace CoverFileWriter

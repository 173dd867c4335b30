#include "imaging/CheckedRewrite.h"

#include "imaging/CoverFileWriter.h"

#include <QCoreApplication>
#include <QFile>
#include <QMutex>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/statfs.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace CoverFileWriter {

namespace {

// Lease breaks arrive as this signal, carrying the descriptor whose lease
// broke. Unhandled, a lease break would end the process (SIGIO).
int leaseSignal() {
    return SIGRTMIN + 4;
}

// Descriptors above this get no lease; their rewrite is guarded by the
// comparison before the rename alone.
constexpr int kLeasedDescriptors = 4096;
std::array<std::atomic<bool>, kLeasedDescriptors> g_leaseBroken{};

void onLeaseBreak(int, siginfo_t* info, void*) {
    if (info && info->si_fd >= 0 && info->si_fd < kLeasedDescriptors) {
        g_leaseBroken[size_t(info->si_fd)].store(true);
    }
}

void installLeaseHandler() {
    static const bool installed = [] {
        struct sigaction action {};
        action.sa_sigaction = onLeaseBreak;
        action.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&action.sa_mask);
        return ::sigaction(leaseSignal(), &action, nullptr) == 0;
    }();
    Q_UNUSED(installed);
}

// File systems whose leases cannot see other machines' writers.
bool isSharedFileSystem(int fd) {
    struct statfs info {};
    if (::fstatfs(fd, &info) != 0) {
        return true;
    }
    switch (static_cast<unsigned long>(info.f_type)) {
    case NFS_SUPER_MAGIC:
    case SMB_SUPER_MAGIC:
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
    case 0x65735546UL: // FUSE
    case V9FS_MAGIC:
    case CODA_SUPER_MAGIC:
    case AFS_SUPER_MAGIC:
    case 0x00C36400UL: // Ceph
    case NCP_SUPER_MAGIC:
        return true;
    default:
        return false;
    }
}

QMutex g_faultsLock;
CheckedRewrite::Faults g_faults;
std::atomic<int> g_writes{0};

CheckedRewrite::Faults faults() {
    QMutexLocker locker(&g_faultsLock);
    return g_faults;
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

bool sameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

} // namespace

QString shownFolder(const QByteArray& folder) {
    return QFile::decodeName(folder);
}

void CheckedRewrite::setFaultsForTesting(Faults faults) {
    QMutexLocker locker(&g_faultsLock);
    g_faults = std::move(faults);
    g_writes = 0;
}

CheckedRewrite::CheckedRewrite(const QByteArray& path, const std::atomic<bool>* stop)
    : m_path(path), m_folder(folderOf(path)), m_stop(stop) {
    m_original = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (m_original < 0 || ::fstat(m_original, &m_before) != 0) {
        fail(systemError(errno));
        return;
    }
    if (!S_ISREG(m_before.st_mode)) {
        fail(QCoreApplication::translate("CheckedRewrite", "it is no file"));
        return;
    }
    if (isSharedFileSystem(m_original) || m_original >= kLeasedDescriptors) {
        return; // guarded by the comparison before the rename
    }
    installLeaseHandler();
    g_leaseBroken[size_t(m_original)].store(false);
    if (::fcntl(m_original, F_SETSIG, leaseSignal()) == 0 &&
        ::fcntl(m_original, F_SETLEASE, F_RDLCK) == 0) {
        m_leased = true;
    } else if (errno == EAGAIN) {
        fail(QCoreApplication::translate("CheckedRewrite",
                                         "it is open for writing in another program"));
    }
    // Leases switched off on this system: the comparison guards alone.
}

CheckedRewrite::~CheckedRewrite() {
    if (m_copy >= 0) {
        ::close(m_copy);
    }
    if (!m_committed && !m_scratch.isEmpty()) {
        ::unlink(m_scratch.constData());
    }
    if (m_original >= 0) {
        if (m_leased) {
            ::fcntl(m_original, F_SETLEASE, F_UNLCK);
        }
        ::close(m_original);
    }
}

bool CheckedRewrite::fail(const QString& why) {
    if (m_error.isEmpty()) {
        m_error = why;
    }
    // Given up: the other program waits for the lease until it is let go.
    if (m_leased) {
        ::fcntl(m_original, F_SETLEASE, F_UNLCK);
        m_leased = false;
    }
    return false;
}

bool CheckedRewrite::interrupted() {
    if (!ok()) {
        return true;
    }
    if (m_stop && m_stop->load()) {
        return !fail(
            QCoreApplication::translate("CheckedRewrite", "stopped; it was left as it was"));
    }
    if (m_leased && g_leaseBroken[size_t(m_original)].load()) {
        return !fail(QCoreApplication::translate(
            "CheckedRewrite", "another program opened it for writing; it was left as it was"));
    }
    return false;
}

bool CheckedRewrite::writeFailed(int code) {
    if (code == ENOSPC || code == EDQUOT) {
        return fail(
            QCoreApplication::translate("CheckedRewrite", "not enough space on the disk of %1")
                .arg(shownFolder(m_folder)));
    }
    return fail(QCoreApplication::translate("CheckedRewrite", "the copy could not be written: %1")
                    .arg(systemError(code)));
}

bool CheckedRewrite::createCopy() {
    if (interrupted()) {
        return false;
    }
    removeAbandonedScratchFiles(m_folder);
    m_copy = createScratchFile(m_folder, &m_scratch);
    if (m_copy < 0) {
        const int code = errno;
        m_scratch.clear();
        if (code == EACCES || code == EPERM || code == EROFS) {
            return fail(
                QCoreApplication::translate("CheckedRewrite", "the folder %1 cannot be written")
                    .arg(shownFolder(m_folder)));
        }
        return writeFailed(code);
    }
    return true;
}

bool CheckedRewrite::write(qint64 at, const char* data, qint64 size) {
    if (interrupted() || m_copy < 0) {
        return false;
    }
    const Faults injected = faults();
    if (injected.failingWrite > 0 && ++g_writes == injected.failingWrite) {
        return writeFailed(injected.writeError);
    }
    qint64 written = 0;
    while (written < size) {
        const ssize_t n =
            ::pwrite(m_copy, data + written, size_t(size - written), off_t(at + written));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return writeFailed(n == 0 ? ENOSPC : errno);
        }
        written += n;
    }
    return true;
}

bool CheckedRewrite::copyFromOriginal(qint64 from, qint64 size, qint64 at) {
    constexpr qint64 kChunk = 16LL << 20; // a stop is noticed between chunks
    loff_t in = from;
    loff_t out = at;
    qint64 left = size;
    while (left > 0) {
        if (interrupted()) {
            return false;
        }
        const Faults injected = faults();
        if (injected.failingWrite > 0 && ++g_writes == injected.failingWrite) {
            return writeFailed(injected.writeError);
        }
        const ssize_t n =
            ::copy_file_range(m_original, &in, m_copy, &out, size_t(std::min(left, kChunk)), 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n == 0) {
            return fail(
                QCoreApplication::translate("CheckedRewrite", "it ended before it was copied"));
        }
        if (n < 0) {
            return writeFailed(errno);
        }
        left -= n;
    }
    return true;
}

bool CheckedRewrite::truncate(qint64 size) {
    if (interrupted()) {
        return false;
    }
    return ::ftruncate(m_copy, off_t(size)) == 0 || writeFailed(errno);
}

bool CheckedRewrite::flush(qint64 size) {
    if (interrupted()) {
        return false;
    }
    if (::fsync(m_copy) != 0) {
        return writeFailed(errno);
    }
    struct stat info {};
    if (::fstat(m_copy, &info) != 0 || info.st_size != size) {
        return fail(QCoreApplication::translate("CheckedRewrite",
                                                "the copy is not as long as it should be"));
    }
    if (const qint64 back = faults().damageFromEnd; back > 0 && back <= size) {
        char byte = 0;
        if (::pread(m_copy, &byte, 1, off_t(size - back)) == 1) {
            byte = char(~byte);
            if (::pwrite(m_copy, &byte, 1, off_t(size - back)) != 1) {
                return fail(
                    QCoreApplication::translate("CheckedRewrite", "the copy could not be damaged"));
            }
        }
    }
    return true;
}

// Extended attributes (the file manager's tags and ratings) and the ACL.
// A file system without them is no error, nor are the system's own
// security and trusted attributes, which a user cannot always set.
bool CheckedRewrite::carryAttributes() {
    const ssize_t length = ::flistxattr(m_original, nullptr, 0);
    if (length <= 0) {
        return true;
    }
    QByteArray names(qsizetype(length), '\0');
    const ssize_t listed = ::flistxattr(m_original, names.data(), size_t(names.size()));
    if (listed < 0) {
        return true;
    }
    names.truncate(qsizetype(listed));
    const int injected = faults().attributeError;
    for (const QByteArray& name : names.split('\0')) {
        if (name.isEmpty()) {
            continue;
        }
        const ssize_t size = ::fgetxattr(m_original, name.constData(), nullptr, 0);
        QByteArray value(qsizetype(std::max<ssize_t>(size, 0)), '\0');
        if (size < 0 ||
            ::fgetxattr(m_original, name.constData(), value.data(), size_t(value.size())) != size) {
            continue;
        }
        const int set = injected != 0 ? (errno = injected, -1)
                                      : ::fsetxattr(m_copy, name.constData(), value.constData(),
                                                    size_t(value.size()), 0);
        if (set == 0) {
            continue;
        }
        if (errno == ENOTSUP || errno == EOPNOTSUPP) {
            return true; // the copy's file system keeps none
        }
        if (!name.startsWith("security.") && !name.startsWith("trusted.")) {
            return fail(
                QCoreApplication::translate(
                    "CheckedRewrite", "its extended attribute %1 could not be carried over: %2")
                    .arg(QString::fromUtf8(name), systemError(errno)));
        }
    }
    return true;
}

bool CheckedRewrite::unchanged() const {
    struct stat now {};
    return ::stat(m_path.constData(), &now) == 0 && now.st_dev == m_before.st_dev &&
           now.st_ino == m_before.st_ino && now.st_size == m_before.st_size &&
           sameTime(now.st_mtim, m_before.st_mtim);
}

bool CheckedRewrite::commit() {
    if (interrupted() || m_copy < 0) {
        return false;
    }
    if (::fchown(m_copy, m_before.st_uid, m_before.st_gid) != 0) {
        return fail(QCoreApplication::translate("CheckedRewrite",
                                                "the copy's owner or group cannot be set"));
    }
    // The mode first: an ACL written after it keeps its mask.
    if (::fchmod(m_copy, m_before.st_mode & 07777) != 0) {
        return fail(QCoreApplication::translate("CheckedRewrite",
                                                "the copy's permissions cannot be set: %1")
                        .arg(systemError(errno)));
    }
    if (!carryAttributes()) {
        return false;
    }
    if (::fsync(m_copy) != 0) {
        return writeFailed(errno);
    }
    if (!unchanged()) {
        return fail(QCoreApplication::translate("CheckedRewrite",
                                                "it changed while it was being rewritten"));
    }
    if (const Faults injected = faults(); injected.beforeRename) {
        injected.beforeRename();
    }
    if (interrupted()) {
        return false;
    }
    if (::rename(m_scratch.constData(), m_path.constData()) != 0) {
        return fail(systemError(errno));
    }
    m_committed = true;
    syncFolder(m_folder);
    return true;
}

} // namespace CoverFileWriter

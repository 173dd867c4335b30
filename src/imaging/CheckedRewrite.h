#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <sys/stat.h>

namespace CoverFileWriter {

// A file the user keeps, changed without ever being opened for writing: a
// copy beside it is written, flushed and checked, takes the original's mode,
// owner, extended attributes and ACL, and is renamed over it. Nobody else's
// write is lost on the way: on local file systems a read lease is held from
// the first byte copied to the rename, which Linux refuses while another
// program has the file open for writing and breaks when one opens it; the
// copy is then abandoned at once and the original left as it is. Where a
// lease cannot see other machines (NFS, SMB, FUSE), the file's inode, size
// and modification time are compared just before the rename. A stop (Ctrl+C,
// a window's Stop) abandons the copy the same way. Blocking: for workers and
// the command line.
class CheckedRewrite {
public:
    // `path` names the file itself (a symbolic link already resolved).
    CheckedRewrite(const QByteArray& path, const std::atomic<bool>* stop = nullptr);
    ~CheckedRewrite(); // an uncommitted copy is removed, the lease released
    CheckedRewrite(const CheckedRewrite&) = delete;
    CheckedRewrite& operator=(const CheckedRewrite&) = delete;

    // Why the rewrite cannot go on; empty while it can.
    const QString& error() const { return m_error; }
    bool ok() const { return m_error.isEmpty(); }
    // Records why the rewrite is given up (the first reason stays); false.
    bool fail(const QString& why);

    int originalFd() const { return m_original; }
    const struct stat& original() const { return m_before; }

    // The copy, a new scratch file beside the original.
    bool createCopy();
    int copyFd() const { return m_copy; }
    // Writes into the copy; every failure is recorded ("not enough space …").
    bool write(qint64 at, const char* data, qint64 size);
    // Copies `size` bytes of the original from `from` into the copy at `at`.
    bool copyFromOriginal(qint64 from, qint64 size, qint64 at);
    bool truncate(qint64 size);
    // Flushes the copy and checks that it holds `size` bytes.
    bool flush(qint64 size);

    // Stopped, or another program opened the original for writing: the
    // rewrite is given up (error() says which).
    bool interrupted();

    // Gives the copy the original's metadata and its place.
    bool commit();

    // Tests: faults injected instead of waited for.
    struct Faults {
        int failingWrite = 0;     // the Nth write into a copy fails (1 = the first)
        int writeError = 28;      // with this errno (ENOSPC)
        int attributeError = 0;   // setting extended attributes fails with this errno
        qint64 damageFromEnd = 0; // this byte of a flushed copy, counted from its end, is flipped
        std::function<void()> beforeRename;
    };
    static void setFaultsForTesting(Faults faults);

private:
    bool writeFailed(int code);
    bool carryAttributes();
    bool unchanged() const;

    QByteArray m_path;
    QByteArray m_folder;
    const std::atomic<bool>* m_stop;
    int m_original = -1;
    int m_copy = -1;
    QByteArray m_scratch;
    bool m_leased = false;
    bool m_committed = false;
    struct stat m_before {};
    QString m_error;
};

// The folder's name for messages.
QString shownFolder(const QByteArray& folder);

} // namespace CoverFileWriter

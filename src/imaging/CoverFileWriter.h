#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <sys/types.h>

// The one writer of files the user keeps (saved covers, a library's cover
// files, rewritten audio files). A name appears only with all its bytes behind
// it, flushed to disk with its folder, so that neither a crash nor a power cut
// leaves a partial or empty file under it. Where the file system allows, the
// file is written without a name (O_TMPFILE) and linked into place; elsewhere
// (FUSE, NFS) under a scratch name ".sleevanta-<host>-<pid>-XXXXXX", which a
// later run on the same machine removes when the process that made it is gone.
namespace CoverFileWriter {

struct WriteResult {
    QString path;  // the file written; empty on failure
    QString error; // why not: the system's words ("Permission denied", ...)
    int errorCode = 0;
    bool ok() const { return !path.isEmpty(); }
};

enum class Naming {
    Exact,           // the name itself, or nothing when it is taken (errorCode EEXIST)
    NumberedIfTaken, // else "name-1.jpg", "name-2.jpg", ...
};

// Writes `data` as a new file into `folder`: an existing file or link is never
// replaced or followed, also not one that appears while this runs. `fileName`
// may hold "/" and then addresses a sub-folder, which must exist; a name that
// would leave `folder` is refused. `sameBytesFile`, when given, is a file known
// to hold these very bytes (the disk cache's entry): it is copied inside the
// kernel instead.
WriteResult writeNewFile(const QByteArray& folder, const QString& fileName, const QByteArray& data,
                         Naming naming, const QString& sameBytesFile = {});
WriteResult writeNewFile(const QString& folder, const QString& fileName, const QByteArray& data,
                         Naming naming, const QString& sameBytesFile = {});

// Writes `data` to `path` through a scratch file and a rename, replacing what
// is there (a file the user chose to replace). `durable` flushes data and
// folder first; temporary files of our own need not be.
WriteResult writeReplacing(const QString& path, const QByteArray& data, bool durable = true);

// The name to try after `fileName` was taken: base + "-" + counter + "." +
// extension, where the extension is the text after the last full stop of the
// name (empty when it has none, which leaves the full stop at the end).
QString numberedFileName(const QString& fileName, int counter);

// True when `fileName` stays inside the folder it is joined to: relative, and
// without a ".." component.
bool staysInsideFolder(const QString& fileName);

// A scratch file of the writer: ".sleevanta-<host>-<pid>-XXXXXX".
bool isScratchName(const QByteArray& name);
struct ScratchOwner {
    QByteArray host;
    pid_t pid = 0;
};
// Which machine's process made a scratch file (none for other names).
std::optional<ScratchOwner> scratchOwner(const QByteArray& name);
// A new scratch file in `folder`, open for writing; -1 (errno set) on failure.
int createScratchFile(const QByteArray& folder, QByteArray* path);
// Removes the scratch files in `folder` whose process no longer runs.
void removeAbandonedScratchFiles(const QByteArray& folder);

// Writes all of `data` to `fd`; false (errno set) when not.
bool writeAll(int fd, const QByteArray& data);
// Flushes the folder's entries to disk (after a rename or link into it).
void syncFolder(const QByteArray& folder);

// The system's words for an errno value.
QString systemError(int code);

} // namespace CoverFileWriter

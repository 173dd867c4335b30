#pragma once

#include <QByteArray>
#include <QString>

// Writing cover files so that a reader never sees a partial file.
namespace CoverFileWriter {

struct WriteResult {
    QString path;  // the file written; empty on failure
    QString error; // why not, for the user
    bool ok() const { return !path.isEmpty(); }
};

// Writes `data` to `path` through a scratch file and a rename, replacing any
// file there.
WriteResult writeReplacing(const QString& path, const QByteArray& data);

// The name to try after `fileName` was taken: base + "-" + counter + "." +
// extension, where the extension is the text after the last full stop of the
// name (empty when it has none, which leaves the full stop at the end).
QString numberedFileName(const QString& fileName, int counter);

// True when `fileName` stays inside the folder it is joined to: relative, and
// without a ".." component.
bool staysInsideFolder(const QString& fileName);

// Writes `data` into `folder` under `fileName`, or under the first numbered
// name that is free. An existing file is never replaced, also not one that
// appears while this runs. `fileName` may hold "/" and then addresses a
// sub-folder, which must exist; a name that would leave `folder` is refused.
WriteResult writeWithFreeName(const QString& folder, const QString& fileName,
                              const QByteArray& data);
// The same, when a file is known to hold these very bytes (the disk cache's
// entry of a JPEG cover): it is copied inside the kernel, which is as fast as
// a copy can be; `data` is written when that file fails.
WriteResult writeWithFreeName(const QString& folder, const QString& fileName,
                              const QByteArray& data, const QString& sameBytesFile);

} // namespace CoverFileWriter

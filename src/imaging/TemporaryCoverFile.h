#pragma once

#include "imaging/ImageCodec.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

// The temporary cover file: the shown cover as JPEG, the one file that
// dragging, sharing and copying hand to other applications. It lives in
// <per-user temp>/TemporaryItems/<process>/<collectionId>/<cover file name>,
// where <process> is "<pid>-<start time>": each running instance has a folder
// of its own and never touches another's. The work runs on one serial worker,
// in the order asked for.
namespace TemporaryCoverFile {

// This process's folder; empty when the per-user folder is unsafe.
QString processFolder();
// "<pid>-<start time>" of a running process, empty when it does not run.
QString processFolderName(qint64 pid);

// Replaces this process's file with one for this cover; its path, or empty
// when nothing could be written (the folder is unsafe, the name leads out of
// it, the cover cannot be encoded). Blocking.
QString write(const CoverImage& cover, qint64 collectionId, const QString& fileName);
// Removes this process's folder with everything in it. Blocking.
void removeAll();
// Removes the folders of instances that no longer run, never following a link.
void removeAbandonedFolders();

// The same on the worker. `done` runs on `context`'s thread with the file's
// URL (empty when none was written), and not at all when `context` is gone.
void writeAsync(const CoverImage& cover, qint64 collectionId, const QString& fileName,
                QObject* context, std::function<void(const QUrl&)> done);
void removeAllAsync();
void removeAbandonedFoldersAsync();
// Blocks until the queued work has run.
void waitForPendingWork();

} // namespace TemporaryCoverFile

#pragma once

#include "ImageCodec.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

// The temporary cover file: the shown cover as JPEG, the one file that dragging,
// sharing and copying hand to other applications. It lives in
// <per-user temp>/TemporaryItems/<process>/<collectionId>/<cover file name>,
// where <process> is "<pid>-<start time>": each running instance has a folder
// of its own and never touches another's. Its URL is published under
// TEMPORARYFILEURL while it exists.
class ImageDataHelper {
public:
    ImageDataHelper() = delete;

    // This process's folder, "<per-user temp>/TemporaryItems/<pid>-<start time>";
    // empty when the per-user folder is unsafe.
    static QString temporaryRoot();

    // Deletes TEMPORARYFILEURL and everything inside this process's folder.
    // Quiet: stops at the first entry it cannot remove.
    static void removeTemporaryFiles();

    // Removes the folders of instances that no longer run.
    static void removeAbandonedFolders();
    // "<pid>-<start time>" of a running process, empty when it does not run.
    static QString processFolderName(qint64 pid);

    // Replaces the temporary cover file with one for this cover and publishes
    // it. Quiet: on any failure there is no file and no TEMPORARYFILEURL.
    static void createTemporaryFile(const std::optional<CoverImage>& image,
                                    const std::optional<QString>& artistName,
                                    const std::optional<qint64>& collectionId,
                                    const std::optional<QString>& collectionName);

    // The same work on a serial worker, in the order asked for, without
    // touching TEMPORARYFILEURL: the caller publishes the file (on the GUI
    // thread) only if it still belongs to the cover shown. `done` runs on
    // `context`'s thread with the file's URL (empty when none was written).
    static void createTemporaryFileAsync(const std::optional<CoverImage>& image,
                                         const std::optional<QString>& artistName,
                                         const std::optional<qint64>& collectionId,
                                         const std::optional<QString>& collectionName,
                                         QObject* context, std::function<void(QUrl)> done);
    static void removeTemporaryFilesAsync();
    static void removeAbandonedFoldersAsync();

    // Blocks until the queued temporary-file work has run.
    static void waitForPendingWork();
};

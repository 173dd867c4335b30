#pragma once

#include "ImageCodec.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

// The temporary cover file: the shown cover as JPEG, the one file that dragging,
// sharing and copying hand to other applications. It lives in
// <per-user temp>/TemporaryItems/<collectionId>/<cover file name>, and its URL
// is published under TEMPORARYFILEURL while it exists.
class ImageDataHelper {
public:
    ImageDataHelper() = delete;

    // "<per-user temp>/TemporaryItems"; empty when the per-user folder is unsafe.
    static QString temporaryRoot();

    // Deletes TEMPORARYFILEURL and everything inside the temporary root. Quiet:
    // stops at the first entry it cannot remove.
    static void removeTemporaryFiles();

    // Replaces the temporary cover file with one for this cover. Quiet: on any
    // failure there is no file and no TEMPORARYFILEURL afterwards.
    static void createTemporaryFile(const std::optional<CoverImage>& image,
                                    const std::optional<QString>& artistName,
                                    const std::optional<qint64>& collectionId,
                                    const std::optional<QString>& collectionName);

    // The same two operations on a serial worker, in the order they were asked
    // for; `done` runs on `context`'s thread afterwards, with the file's URL
    // (empty when none was written).
    static void createTemporaryFileAsync(const std::optional<CoverImage>& image,
                                         const std::optional<QString>& artistName,
                                         const std::optional<qint64>& collectionId,
                                         const std::optional<QString>& collectionName,
                                         QObject* context, std::function<void(QUrl)> done);
    static void removeTemporaryFilesAsync(QObject* context, std::function<void()> done);

    // Blocks until the queued temporary-file work has run.
    static void waitForPendingWork();
};

#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <memory>

class QMimeData;

// The clipboard as the cover actions use it.
class Clipboard {
public:
    virtual ~Clipboard() = default;

    // Replaces the clipboard's contents with one file: its URL for file
    // managers, its path as text, and its JPEG bytes for image editors and chat
    // applications (`jpegBytes` may be empty).
    virtual void writeFile(const QUrl& fileUrl, const QByteArray& jpegBytes) = 0;
    // Adds the PNG form of the file written by writeFile, when the clipboard
    // still holds that file and those bytes.
    virtual void addPng(const QUrl& fileUrl, const QByteArray& jpegBytes,
                        const QByteArray& png) = 0;
    // Replaces the clipboard's contents with plain text.
    virtual void writeText(const QString& text) = 0;

    // The session's own clipboard.
    static std::unique_ptr<Clipboard> system();

    // The MIME data that writeFile puts on the clipboard.
    static QMimeData* mimeDataForFile(const QUrl& fileUrl, const QByteArray& jpegBytes,
                                      const QByteArray& png = {});
};

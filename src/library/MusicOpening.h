#pragma once

#include "library/AlbumScanner.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <atomic>

// Music handed to the window (dropped on it, named on the command line, sent
// over D-Bus): which albums it is. Folders are scanned like a fill scans its
// library; audio files count by their folder, and only their own tags are read.
namespace MusicOpening {

struct Opened {
    // The albums, when one or two were found: one is searched, several are
    // filled (a folder holding more is not scanned to its end here).
    QList<AlbumFolder> albums;
    bool several = false;
    // What a fill of them works on: their nearest common folder, and the
    // folders below it to scan (the dropped folders, the dropped files' folders).
    QByteArray commonFolder;
    QList<QByteArray> folders;
    QStringList ignored; // "name: why", for what is neither audio nor a folder
    int images = 0;      // pictures among them (covers are found, not dropped)
};

Opened open(const QList<QByteArray>& nativePaths, const std::atomic<bool>& stop);

// Local file paths of `file:` URIs, as the file system has them (bytes that
// are no UTF-8 kept); any other URI is added to `refused`.
QList<QByteArray> localPaths(const QStringList& uris, QStringList* refused);
// A `file:` URI for a path, every byte kept.
QString fileUri(const QByteArray& nativePath);
// A short hint for what could not be opened; empty when everything was.
QString hintFor(const Opened& opened);

} // namespace MusicOpening

#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <atomic>

// Where the covers a fill or a choice replaced are kept, so that nothing is
// lost: per user under the state folder (never in the album folder, where a
// player would take a kept cover for the cover), each picture once by the
// SHA-256 of its bytes, with a manifest of where each came from and what took
// its place. Keeping is all or nothing: when a cover cannot be kept, it must
// not be replaced. Blocking: for workers and the command line.
class ReplacedCovers {
public:
    struct Entry {
        enum class Kind { File, Link, Picture };
        Kind kind = Kind::File;
        QByteArray folder;  // the album folder, absolute, as the file system names it
        QByteArray name;    // the cover's file name in it (Picture: the audio file's)
        QByteArray bytes;   // File, Picture: what it held (kept by hash, then let go)
        QByteArray hash;    // File, Picture: SHA-256 of `bytes`, hex
        QByteArray target;  // Link: where it pointed
        QByteArray written; // the name the new cover took (`name` for a Picture)
        QByteArray writtenHash;
        QDateTime when;
    };

    // "$XDG_STATE_HOME/Sleevanta/replaced"; tests give their own.
    explicit ReplacedCovers(QString root = defaultRoot());
    static QString defaultRoot();
    const QString& root() const { return m_root; }

    static QByteArray hashOf(const QByteArray& bytes);

    // Keeps every entry's picture and records them all; the reason when it
    // could not (nothing is recorded then).
    QString keep(QList<Entry> entries);

    struct Usage {
        int covers = 0;
        qint64 bytes = 0;
    };
    Usage usage() const;
    // Lets go of entries kept for covers that were not replaced after all.
    void release(const QList<Entry>& entries);

    struct Restored {
        enum class Outcome { Restored, Changed, FolderGone, Failed };
        Outcome outcome = Outcome::Failed;
        QString folder;
        QString file;
        QString reason;
    };
    // Puts back every kept cover of the album folders at and below `dir`,
    // newest first, and lets go of what was put back. A cover that changed
    // since it was written, or whose folder is gone, is left and reported.
    QList<Restored> restore(const QByteArray& dir, const std::atomic<bool>* stop = nullptr);
    // Lets go of what is kept for the album folders at and below `dir`; how many.
    int forget(const QByteArray& dir);

private:
    QString manifestPath() const;
    QString objectPath(const QByteArray& hash) const;
    bool load(QList<Entry>& entries, QString* error) const;
    bool save(const QList<Entry>& entries, QString* error) const;
    void dropUnused(const QList<Entry>& before, const QList<Entry>& after) const;
    Restored restoreOne(const Entry& entry) const;
    Restored restorePicture(const Entry& entry, Restored told) const;

    QString m_root;
};

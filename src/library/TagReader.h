#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

#include <atomic>
#include <optional>

// What one audio file's tags say, as far as filling covers needs it.
struct TrackTags {
    enum class Read {
        Whole,      // TagLib read the file's tags
        Unreadable, // no audio file TagLib knows (or none at all)
        Slow,       // the read took longer than allowed and was given up
        Stopped,    // the run was stopped during the read
    };
    Read read = Read::Unreadable;
    QString artist;
    QString albumArtist;
    QString album;
    int year = 0;
    int disc = 0;
    bool compilation = false;
    QString barcode;            // as tagged, unchecked
    qint64 collectionId = 0;    // the store's own album id (MP4 plID)
    qint64 artistId = 0;        // and artist id (MP4 atID)
    QString storefront;         // the storefront it was bought in (MP4 sfID), "US"
    QString explicitness;       // "explicit" or "cleaned" when the tags say so
    bool hasFrontCover = false; // an embedded picture of the front (or "other") kind
    QSize frontCoverSize;       // its size, when asked for (from its header)
    bool embeddable = false;    // a format covers can be embedded into
};

// Reads tags without scanning the audio, through a stream of its own: every
// read asks whether the run was stopped, and a file gives up after a read
// budget (a search for a tag through a file without one may otherwise read it
// to its end, for minutes on a large one) or a time limit (a sleeping network
// disk). Safe on any thread; one reader per thread.
class TagReader {
public:
    static constexpr qint64 kReadBudgetBytes = 16LL * 1024 * 1024;
    static constexpr int kTimeLimitMs = 30000;

    // `pictureSizes`: also tell the size of a file's front cover.
    explicit TagReader(const std::atomic<bool>& stop, int timeLimitMs = kTimeLimitMs,
                       bool pictureSizes = false);

    TrackTags tagsOf(const QByteArray& nativePath) const;
    // The bytes of the file's front cover; none when it has none.
    std::optional<QByteArray> frontCoverOf(const QByteArray& nativePath) const;

private:
    const std::atomic<bool>& m_stop;
    int m_timeLimitMs;
    bool m_pictureSizes;
};

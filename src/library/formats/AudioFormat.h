#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

class FileBytes;
struct TrackTags;
namespace CoverFileWriter {
class CheckedRewrite;
}
namespace TagLib {
class File;
class IOStream;
} // namespace TagLib

// A picture as it goes into audio files.
struct EmbeddedPicture {
    QByteArray data;
    QByteArray mime; // "image/jpeg" or "image/png"
};

// What putting a cover into one file came to, before the rename.
struct EmbedStep {
    enum class Outcome { Written, AlreadyHad, NotEmbeddable, Failed };
    Outcome outcome = Outcome::Failed;
    QString reason;
    qint64 copySize = 0; // Written: how long the copy is
};

// One family of audio files: its names, how its content announces itself,
// how TagLib reads it, and, for the families that take pictures, how a front
// cover goes into a copy of a file and how that copy is checked byte for byte
// against the original (everything outside the region meant to change is
// the same, and the audio lies where the container says).
class AudioFormat {
public:
    virtual ~AudioFormat() = default;

    virtual QString name() const = 0;                 // "MP3", "FLAC", … for messages
    virtual QList<QByteArray> extensions() const = 0; // lower case, without the dot
    // Whether `head`, the file's first bytes past any ID3v2 tag, are of this family.
    virtual bool announcedBy(const QByteArray& head) const = 0;
    // TagLib's reader of the file on `stream`, tags only; none when it does not read.
    virtual std::unique_ptr<TagLib::File> open(TagLib::IOStream* stream) const = 0;
    // What the common tags leave out: pictures, store ids.
    virtual void readExtras(TagLib::File* file, TrackTags& tags) const;

    virtual bool takesPictures() const { return false; }
    // The bytes of the file's front cover as TagLib reads them.
    virtual std::optional<QByteArray> frontCover(TagLib::File* file) const;

    struct Embedding {
        const FileBytes& original;
        CoverFileWriter::CheckedRewrite& rewrite; // its copy is written and checked
        const EmbeddedPicture& picture;
        bool replace; // replace a front cover (else a file with one is left alone)
    };
    // Writes the copy with the picture in it and checks it against the original.
    virtual EmbedStep embed(Embedding& job) const;
};

namespace AudioFormats {

// Every family Sleevanta reads, those that take pictures first.
const QList<const AudioFormat*>& all();
// The family a file's name says (by its extension); none when it names none.
const AudioFormat* byFileName(const QByteArray& fileName);
// The family the file's content announces (past leading ID3v2 tags, and, for
// MPEG audio, past junk before its first frames); none when it is unknown.
const AudioFormat* byContent(const FileBytes& file);

// The size of the ID3v2 tag whose header `bytes` start with (footer included);
// 0 when they start with none.
qint64 id3v2TagSize(const QByteArray& bytes);
// Where the first of two MPEG audio frames in a row begins in `bytes` at or
// after `from`; -1 when there is none.
qsizetype firstMpegFrames(const QByteArray& bytes, qsizetype from = 0);

} // namespace AudioFormats

#include "CoverEmbedder.h"

#include "CoverFileWriter.h"
#include "ImageCodec.h"

#include <QBuffer>
#include <QImageWriter>

#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace CoverEmbedder {

namespace {

std::atomic<bool> g_failBeforeRename{false};

// No album's track is this large; a file that is would take minutes to copy.
constexpr qint64 kLargestAudioFile = 2LL * 1024 * 1024 * 1024;

enum class Format { Mpeg, Flac, Mp4, Vorbis, Opus, Other };

Format formatOf(TagLib::File* file) {
    if (dynamic_cast<TagLib::MPEG::File*>(file)) {
        return Format::Mpeg;
    }
    if (dynamic_cast<TagLib::FLAC::File*>(file)) {
        return Format::Flac;
    }
    if (dynamic_cast<TagLib::MP4::File*>(file)) {
        return Format::Mp4;
    }
    if (dynamic_cast<TagLib::Ogg::Vorbis::File*>(file)) {
        return Format::Vorbis;
    }
    return dynamic_cast<TagLib::Ogg::Opus::File*>(file) ? Format::Opus : Format::Other;
}

// The file of `format` at `path`, opened for changing.
std::unique_ptr<TagLib::File> open(Format format, const char* path, bool properties) {
    switch (format) {
    case Format::Mpeg:
        return std::make_unique<TagLib::MPEG::File>(path, properties);
    case Format::Flac:
        return std::make_unique<TagLib::FLAC::File>(path, properties);
    case Format::Mp4:
        return std::make_unique<TagLib::MP4::File>(path, properties);
    case Format::Vorbis:
        return std::make_unique<TagLib::Ogg::Vorbis::File>(path, properties);
    case Format::Opus:
        return std::make_unique<TagLib::Ogg::Opus::File>(path, properties);
    case Format::Other:
        break;
    }
    return nullptr;
}

TagLib::ByteVector bytesOf(const QByteArray& data) {
    return TagLib::ByteVector(data.constData(), unsigned(data.size()));
}

bool isFront(int type, bool otherCounts) {
    return type == TagLib::FLAC::Picture::FrontCover ||
           (otherCounts && type == TagLib::FLAC::Picture::Other);
}

TagLib::FLAC::Picture* flacPicture(const Picture& picture) {
    auto* block = new TagLib::FLAC::Picture;
    block->setType(TagLib::FLAC::Picture::FrontCover);
    block->setMimeType(TagLib::String(picture.mime.constData()));
    block->setData(bytesOf(picture.data));
    const QSize size = ImageCodec::pictureSize(picture.data);
    block->setWidth(size.width());
    block->setHeight(size.height());
    block->setColorDepth(24);
    return block;
}

// Front pictures among `pictures`: whether there is one, removing them when
// replacing.
template <typename Owner>
bool frontPictures(Owner* owner, TagLib::List<TagLib::FLAC::Picture*> pictures, bool replace) {
    bool found = false;
    for (TagLib::FLAC::Picture* picture : pictures) {
        if (isFront(picture->type(), !replace)) {
            found = true;
            if (replace) {
                owner->removePicture(picture, true);
            }
        }
    }
    return found;
}

// Adds the picture to the file; AlreadyHad when it carries one and may keep it.
Result::Outcome put(Format format, TagLib::File* file, const Picture& picture, bool replace) {
    switch (format) {
    case Format::Mpeg: {
        auto* mp3 = static_cast<TagLib::MPEG::File*>(file);
        const bool had = mp3->hasID3v2Tag();
        // A v2.3 or v2.4 tag keeps its version; v2.2, which cannot be written, becomes v2.3.
        const unsigned version = had ? mp3->ID3v2Tag()->header()->majorVersion() : 4;
        TagLib::ID3v2::Tag* tag = mp3->ID3v2Tag(true);
        // A copy of the list: removing a frame changes the tag's own.
        const TagLib::ID3v2::FrameList pictures = tag->frameListMap()["APIC"];
        for (TagLib::ID3v2::Frame* frame : pictures) {
            auto* apic = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame);
            if (apic && isFront(apic->type(), !replace)) {
                if (!replace) {
                    return Result::Outcome::AlreadyHad;
                }
                tag->removeFrame(apic, true);
            }
        }
        auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
        frame->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
        frame->setMimeType(TagLib::String(picture.mime.constData()));
        frame->setPicture(bytesOf(picture.data));
        tag->addFrame(frame);
        // The ID3v2 tag alone: an ID3v1 or APE tag (MP3Gain's) stays as it is.
        return mp3->save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone,
                         version == 4 ? TagLib::ID3v2::v4 : TagLib::ID3v2::v3,
                         TagLib::File::DoNotDuplicate)
                   ? Result::Outcome::Embedded
                   : Result::Outcome::Failed;
    }
    case Format::Flac: {
        auto* flac = static_cast<TagLib::FLAC::File*>(file);
        if (frontPictures(flac, flac->pictureList(), replace) && !replace) {
            return Result::Outcome::AlreadyHad;
        }
        flac->addPicture(flacPicture(picture));
        break;
    }
    case Format::Mp4: {
        TagLib::MP4::Tag* tag = static_cast<TagLib::MP4::File*>(file)->tag();
        if (!tag) {
            return Result::Outcome::Failed;
        }
        if (tag->contains("covr") && !tag->item("covr").toCoverArtList().isEmpty() && !replace) {
            return Result::Outcome::AlreadyHad;
        }
        TagLib::MP4::CoverArtList covers;
        covers.append(TagLib::MP4::CoverArt(
            picture.mime == "image/png" ? TagLib::MP4::CoverArt::PNG : TagLib::MP4::CoverArt::JPEG,
            bytesOf(picture.data)));
        tag->setItem("covr", covers);
        break;
    }
    case Format::Vorbis:
    case Format::Opus: {
        TagLib::Ogg::XiphComment* comment =
            format == Format::Vorbis ? static_cast<TagLib::Ogg::Vorbis::File*>(file)->tag()
                                     : static_cast<TagLib::Ogg::Opus::File*>(file)->tag();
        if (!comment) {
            return Result::Outcome::Failed;
        }
        if (frontPictures(comment, comment->pictureList(), replace) && !replace) {
            return Result::Outcome::AlreadyHad;
        }
        comment->addPicture(flacPicture(picture));
        break;
    }
    case Format::Other:
        return Result::Outcome::NotEmbeddable;
    }
    return file->save() ? Result::Outcome::Embedded : Result::Outcome::Failed;
}

// The format a file's first bytes announce (past an ID3v2 tag, which some
// programs put before anything); Other when they announce none known. Its
// name's extension is what chooses the reader, so a file may lie.
Format announcedFormat(const char* path) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return Format::Other;
    }
    unsigned char head[12] = {};
    off_t at = 0;
    ssize_t got = ::pread(fd, head, sizeof head, at);
    if (got == ssize_t(sizeof head) && std::memcmp(head, "ID3", 3) == 0) {
        at = 10 +
             ((head[6] & 0x7F) << 21 | (head[7] & 0x7F) << 14 | (head[8] & 0x7F) << 7 |
              (head[9] & 0x7F)) +
             ((head[5] & 0x10) ? 10 : 0);
        got = ::pread(fd, head, sizeof head, at);
    }
    ::close(fd);
    if (got < ssize_t(sizeof head)) {
        return Format::Other;
    }
    if (std::memcmp(head, "fLaC", 4) == 0) {
        return Format::Flac;
    }
    if (std::memcmp(head, "OggS", 4) == 0) {
        return Format::Vorbis; // or Opus: the same container
    }
    if (std::memcmp(head + 4, "ftyp", 4) == 0) {
        return Format::Mp4;
    }
    return head[0] == 0xFF && (head[1] & 0xE0) == 0xE0 ? Format::Mpeg : Format::Other;
}

bool copyInto(int out, const char* source) {
    const int in = ::open(source, O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return false;
    }
    bool ok = true;
    for (;;) {
        const ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
        if (copied == 0) {
            break;
        }
        if (copied < 0) {
            ok = false;
            break;
        }
    }
    ::close(in);
    return ok;
}

bool sameAudio(TagLib::AudioProperties* a, TagLib::AudioProperties* b) {
    return a && b && a->lengthInMilliseconds() == b->lengthInMilliseconds() &&
           a->sampleRate() == b->sampleRate() && a->channels() == b->channels() &&
           a->bitrate() == b->bitrate();
}

Result failed(const QString& why) {
    return Result{Result::Outcome::Failed, why};
}

// Why a file is not rewritten at all, from what the file system says of it.
std::optional<Result> refusal(const QByteArray& target, struct stat* before) {
    if (::stat(target.constData(), before) != 0 || !S_ISREG(before->st_mode)) {
        return failed(QStringLiteral("it is no file"));
    }
    if (before->st_nlink > 1) {
        return failed(QStringLiteral("it has several hard links, which a rewrite would split"));
    }
    if (before->st_uid != ::geteuid()) {
        return failed(QStringLiteral("it belongs to another user"));
    }
    if (!(before->st_mode & S_IWUSR)) {
        return failed(QStringLiteral("it is read-only"));
    }
    if (before->st_size > kLargestAudioFile) {
        return Result{Result::Outcome::NotEmbeddable,
                      QStringLiteral("it is larger than any track")};
    }
    return std::nullopt;
}

} // namespace

void setFailBeforeRenameForTesting(bool fail) {
    g_failBeforeRename = fail;
}

std::optional<Picture> prepare(const QByteArray& cover, int maxSide) {
    const ImageCodec::PictureInfo info = ImageCodec::pictureInfo(cover);
    if (!info.size.isValid()) {
        return std::nullopt;
    }
    const bool small = std::max(info.size.width(), info.size.height()) <= maxSide;
    if (small && info.format == "jpeg") {
        const auto jpeg = ImageCodec::jpegImage(cover);
        return jpeg ? std::optional<Picture>(Picture{*jpeg, "image/jpeg"}) : std::nullopt;
    }
    if (small && info.format == "png") {
        return Picture{cover, "image/png"};
    }
    const QImage image = ImageCodec::decode(cover, QSize(maxSide, maxSide));
    if (image.isNull()) {
        return std::nullopt;
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(92);
    if (!writer.write(image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_RGB32)
                                              : image)) {
        return std::nullopt;
    }
    return Picture{jpeg, "image/jpeg"};
}

Result embed(const QByteArray& nativePath, const Picture& picture, bool replace) {
    // A link's target is the file to change, in the target's own folder.
    char resolved[PATH_MAX];
    if (!::realpath(nativePath.constData(), resolved)) {
        return failed(CoverFileWriter::systemError(errno));
    }
    const QByteArray target(resolved);
    struct stat before {};
    if (const auto refused = refusal(target, &before)) {
        return *refused;
    }
    Format format = Format::Other;
    {
        TagLib::FileRef ref(target.constData(), true, TagLib::AudioProperties::Fast);
        format = ref.isNull() ? Format::Other : formatOf(ref.file());
    }
    if (format == Format::Other) {
        return Result{Result::Outcome::NotEmbeddable,
                      QStringLiteral("covers cannot be embedded in it")};
    }
    const std::unique_ptr<TagLib::File> source = open(format, target.constData(), true);
    // A FLAC file named .mp3 would get a tag it cannot carry.
    const Format announced = announcedFormat(target.constData());
    const Format container = format == Format::Opus ? Format::Vorbis : format; // both Ogg
    if (announced != Format::Other && announced != container) {
        return Result{Result::Outcome::NotEmbeddable,
                      QStringLiteral("its contents are not what its name says")};
    }
    const TagLib::AudioProperties* audio = source ? source->audioProperties() : nullptr;
    if (!audio || audio->sampleRate() <= 0) {
        return Result{Result::Outcome::NotEmbeddable, QStringLiteral("it holds no audio")};
    }
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash <= 0 ? QByteArray("/") : target.left(slash);
    QByteArray scratch;
    const int fd = CoverFileWriter::createScratchFile(folder, &scratch);
    if (fd < 0) {
        return failed(CoverFileWriter::systemError(errno));
    }
    auto giveUp = [&](const QString& why) {
        ::close(fd);
        ::unlink(scratch.constData());
        return failed(why);
    };
    if (!copyInto(fd, target.constData()) || ::fchmod(fd, before.st_mode & 07777) != 0 ||
        ::fchown(fd, before.st_uid, before.st_gid) != 0) {
        return giveUp(CoverFileWriter::systemError(errno));
    }
    Result::Outcome outcome = Result::Outcome::Failed;
    {
        const std::unique_ptr<TagLib::File> copy = open(format, scratch.constData(), false);
        outcome = copy && copy->isValid() ? put(format, copy.get(), picture, replace)
                                          : Result::Outcome::Failed;
    }
    if (outcome == Result::Outcome::AlreadyHad) {
        ::close(fd);
        ::unlink(scratch.constData());
        return Result{outcome, {}};
    }
    if (outcome != Result::Outcome::Embedded) {
        return giveUp(QStringLiteral("the tags could not be written"));
    }
    // Flushed, then checked: the copy opens and its audio reads as the original's.
    if (::fsync(fd) != 0) {
        return giveUp(CoverFileWriter::systemError(errno));
    }
    const std::unique_ptr<TagLib::File> check = open(format, scratch.constData(), true);
    if (!check || !check->isValid() || !source ||
        !sameAudio(source->audioProperties(), check->audioProperties())) {
        return giveUp(QStringLiteral("the rewritten file did not read as the original"));
    }
    struct stat now {};
    if (::stat(target.constData(), &now) != 0 || now.st_ino != before.st_ino ||
        now.st_mtim.tv_sec != before.st_mtim.tv_sec ||
        now.st_mtim.tv_nsec != before.st_mtim.tv_nsec || now.st_size != before.st_size) {
        return giveUp(QStringLiteral("it changed while it was being rewritten"));
    }
    if (g_failBeforeRename.load()) {
        return giveUp(QStringLiteral("stopped before the rename"));
    }
    ::close(fd);
    if (::rename(scratch.constData(), target.constData()) != 0) {
        const int error = errno;
        ::unlink(scratch.constData());
        return failed(CoverFileWriter::systemError(error));
    }
    CoverFileWriter::syncFolder(folder);
    return Result{Result::Outcome::Embedded, {}};
}

} // namespace CoverEmbedder

// MPEG audio (MP3) with ID3v2 tags: the picture frame is spliced into the
// tag's bytes where the tag lies; everything before and after it is copied.
#include "imaging/CheckedRewrite.h"
#include "library/TagReader.h"
#include "library/formats/Families.h"
#include "library/formats/FdStream.h"
#include "library/formats/FileBytes.h"
#include "library/formats/Id3v2Splice.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <QCoreApplication>

namespace {

using TagLib::ID3v2::AttachedPictureFrame;

// The frames of the file's tag as TagLib reads them, front covers apart
// when `withoutFront`.
QList<QByteArray> frameIds(TagLib::MPEG::File& file, bool withoutFront) {
    QList<QByteArray> ids;
    if (!file.hasID3v2Tag()) {
        return ids;
    }
    for (const TagLib::ID3v2::Frame* frame : file.ID3v2Tag()->frameList()) {
        const auto* picture = dynamic_cast<const AttachedPictureFrame*>(frame);
        if (withoutFront && picture && picture->type() == AttachedPictureFrame::FrontCover) {
            continue;
        }
        const TagLib::ByteVector id = frame->frameID();
        ids.append(QByteArray(id.data(), qsizetype(id.size())));
    }
    return ids;
}

struct TagPlace {
    qint64 start = 0;
    qint64 size = 0; // 0: the file has none
};

// Where readers find the tag: at the start, or, as TagLib looks for it,
// after junk and before the first audio frames.
TagPlace findTag(const FileBytes& file) {
    if (const qint64 size = AudioFormats::id3v2TagSize(file.read(0, 10)); size > 0) {
        return {0, size};
    }
    const QByteArray head = file.read(0, 64 * 1024);
    const qsizetype frames = AudioFormats::firstMpegFrames(head);
    for (qsizetype at = head.indexOf("ID3"); at >= 0 && (frames < 0 || at < frames);
         at = head.indexOf("ID3", at + 1)) {
        if (const qint64 size = AudioFormats::id3v2TagSize(head.mid(at, 10)); size > 0) {
            return {at, size};
        }
    }
    return {};
}

class MpegFormat : public AudioFormat {
public:
    QString name() const override { return QStringLiteral("MP3"); }
    QList<QByteArray> extensions() const override { return {"mp3"}; }
    bool announcedBy(const QByteArray& head) const override {
        return AudioFormats::firstMpegFrames(head) >= 0;
    }
    std::unique_ptr<TagLib::File> open(TagLib::IOStream* stream) const override {
        return std::make_unique<TagLib::MPEG::File>(stream, TagLib::ID3v2::FrameFactory::instance(),
                                                    false);
    }
    bool takesPictures() const override { return true; }

    void readExtras(TagLib::File* file, TrackTags& tags) const override {
        auto* mpeg = static_cast<TagLib::MPEG::File*>(file);
        if (!mpeg->hasID3v2Tag()) {
            return;
        }
        for (const TagLib::ID3v2::Frame* frame : mpeg->ID3v2Tag()->frameListMap()["APIC"]) {
            const auto* picture = dynamic_cast<const AttachedPictureFrame*>(frame);
            tags.hasFrontCover |= picture && FormatChecks::isCoverType(picture->type(), false);
        }
    }

    std::optional<QByteArray> frontCover(TagLib::File* file) const override {
        auto* mpeg = static_cast<TagLib::MPEG::File*>(file);
        if (mpeg->hasID3v2Tag()) {
            for (const TagLib::ID3v2::Frame* frame : mpeg->ID3v2Tag()->frameListMap()["APIC"]) {
                const auto* picture = dynamic_cast<const AttachedPictureFrame*>(frame);
                if (picture && picture->type() == AttachedPictureFrame::FrontCover) {
                    const TagLib::ByteVector bytes = picture->picture();
                    return QByteArray(bytes.data(), qsizetype(bytes.size()));
                }
            }
        }
        return std::nullopt;
    }

    EmbedStep embed(Embedding& job) const override {
        const FileBytes& original = job.original;
        const TagPlace place = findTag(original);
        QByteArray tag;
        if (place.size > 0) {
            const QByteArray old = original.read(place.start, place.size);
            if (old.size() != place.size) {
                return FormatChecks::notEmbeddable(
                    QCoreApplication::translate("AudioFormats", "its ID3v2 tag is damaged"));
            }
            const Id3v2Splice::Layout layout = Id3v2Splice::parse(old);
            if (!layout.unsupported.isEmpty()) {
                return FormatChecks::notEmbeddable(layout.unsupported);
            }
            const bool covered =
                std::any_of(layout.frames.begin(), layout.frames.end(), [](const auto& f) {
                    return FormatChecks::isCoverType(f.pictureType, false);
                });
            if (covered && !job.replace) {
                return {EmbedStep::Outcome::AlreadyHad, {}, 0};
            }
            tag = Id3v2Splice::splice(
                layout, old, Id3v2Splice::pictureFrame(layout.version, job.picture), job.replace);
        } else {
            tag = Id3v2Splice::newTag(Id3v2Splice::pictureFrame(4, job.picture));
        }
        if (tag.size() >= (1 << 28)) {
            return FormatChecks::notEmbeddable(
                QCoreApplication::translate("AudioFormats", "the picture is too large for it"));
        }
        const qint64 after = place.start + place.size;
        const qint64 copySize = original.size() - place.size + tag.size();
        CoverFileWriter::CheckedRewrite& rewrite = job.rewrite;
        if (!rewrite.createCopy() || !rewrite.copyFromOriginal(0, place.start, 0) ||
            !rewrite.write(place.start, tag.constData(), tag.size()) ||
            !rewrite.copyFromOriginal(after, original.size() - after, place.start + tag.size()) ||
            !rewrite.flush(copySize)) {
            return FormatChecks::failed(rewrite, {});
        }
        const FileBytes copy(rewrite.copyFd());
        const bool same =
            copy.sameAs(0, original, 0, place.start) && copy.read(place.start, tag.size()) == tag &&
            AudioFormats::id3v2TagSize(copy.read(place.start, 10)) == tag.size() &&
            copy.sameAs(place.start + tag.size(), original, after, original.size() - after);
        if (!same) {
            return FormatChecks::failed(
                rewrite, QCoreApplication::translate("AudioFormats", "the copy's audio differs"));
        }
        FdStream originalStream(original.fd(), "original.mp3");
        FdStream copyStream(copy.fd(), "copy.mp3");
        TagLib::MPEG::File before(&originalStream, TagLib::ID3v2::FrameFactory::instance(), false);
        TagLib::MPEG::File now(&copyStream, TagLib::ID3v2::FrameFactory::instance(), false);
        if (frameIds(now, false) != frameIds(before, job.replace) + QList<QByteArray>{"APIC"}) {
            return FormatChecks::failed(
                rewrite, QCoreApplication::translate("AudioFormats", "the copy's tag lost frames"));
        }
        return {EmbedStep::Outcome::Written, {}, copySize};
    }
};

} // namespace

const AudioFormat& mpegFormat() {
    static const MpegFormat format;
    return format;
}

// FLAC: a PICTURE block goes in among the metadata blocks, which keep their
// bytes (TagLib would render its Vorbis comment anew, and the ID3v2 and ID3v1
// tags some files carry); the padding gives way where it can, and the audio
// frames are copied.
#include "imaging/CheckedRewrite.h"
#include "imaging/ImageCodec.h"
#include "library/TagReader.h"
#include "library/formats/Families.h"
#include "library/formats/FileBytes.h"

#include <QCoreApplication>
#include <QtEndian>

#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>

namespace {

constexpr int kStreamInfo = 0;
constexpr int kPadding = 1;
constexpr int kPicture = 6;
constexpr qint64 kNewPadding = 8192;
constexpr qint64 kLargestBlock = 0xFFFFFF;

struct Block {
    int type = 0;
    qint64 offset = 0;
    qint64 size = 0; // with its header
    int pictureType = -1;
};

struct Metadata {
    qint64 start = 0; // of "fLaC"
    qint64 end = 0;   // of the last block: the first audio frame
    QList<Block> blocks;
    QString problem;
};

Metadata readMetadata(const FileBytes& file) {
    Metadata metadata;
    for (int tags = 0; tags < 4; ++tags) {
        const qint64 size = AudioFormats::id3v2TagSize(file.read(metadata.start, 10));
        if (size == 0) {
            break;
        }
        metadata.start += size;
    }
    if (file.read(metadata.start, 4) != "fLaC") {
        metadata.problem = QCoreApplication::translate("AudioFormats", "it holds no FLAC audio");
        return metadata;
    }
    qint64 at = metadata.start + 4;
    for (bool last = false; !last;) {
        const QByteArray header = file.read(at, 4);
        if (header.size() < 4 || metadata.blocks.size() > 4096) {
            metadata.problem =
                QCoreApplication::translate("AudioFormats", "its FLAC metadata is damaged");
            return metadata;
        }
        Block block;
        block.type = quint8(header[0]) & 0x7F;
        last = quint8(header[0]) & 0x80;
        block.offset = at;
        block.size = 4 + (qint64(quint8(header[1])) << 16 | qint64(quint8(header[2])) << 8 |
                          quint8(header[3]));
        if (block.type == 127 || (metadata.blocks.isEmpty() && block.type != kStreamInfo) ||
            at + block.size > file.size()) {
            metadata.problem =
                QCoreApplication::translate("AudioFormats", "its FLAC metadata is damaged");
            return metadata;
        }
        if (block.type == kPicture) {
            const QByteArray type = file.read(at + 4, 4);
            block.pictureType =
                type.size() == 4
                    ? int(std::min<quint32>(qFromBigEndian<quint32>(type.constData()), 0xFFFF))
                    : -1;
        }
        metadata.blocks.append(block);
        at += block.size;
    }
    metadata.end = at;
    // Where the container says the audio is, a frame must begin.
    const QByteArray sync = file.read(metadata.end, 2);
    if (sync.size() < 2 || quint8(sync[0]) != 0xFF || (quint8(sync[1]) & 0xFE) != 0xF8) {
        metadata.problem =
            QCoreApplication::translate("AudioFormats", "it holds no audio after its metadata");
    }
    return metadata;
}

QByteArray blockHeader(int type, qint64 size, bool last) {
    QByteArray header(4, '\0');
    header[0] = char(type | (last ? 0x80 : 0));
    header[1] = char(size >> 16);
    header[2] = char(size >> 8);
    header[3] = char(size);
    return header;
}

QByteArray pictureBlock(const EmbeddedPicture& picture) {
    TagLib::FLAC::Picture block;
    block.setType(TagLib::FLAC::Picture::FrontCover);
    block.setMimeType(TagLib::String(picture.mime.constData()));
    block.setData(TagLib::ByteVector(picture.data.constData(), unsigned(picture.data.size())));
    const QSize size = ImageCodec::pictureSize(picture.data);
    block.setWidth(size.width());
    block.setHeight(size.height());
    block.setColorDepth(24);
    const TagLib::ByteVector rendered = block.render();
    return QByteArray(rendered.data(), qsizetype(rendered.size()));
}

bool hasFrontPicture(const TagLib::List<TagLib::FLAC::Picture*>& pictures, bool frontOnly) {
    return std::any_of(pictures.begin(), pictures.end(), [frontOnly](const auto* picture) {
        return FormatChecks::isCoverType(picture->type(), frontOnly);
    });
}

class FlacFormat : public AudioFormat {
public:
    QString name() const override { return QStringLiteral("FLAC"); }
    QList<QByteArray> extensions() const override { return {"flac"}; }
    bool announcedBy(const QByteArray& head) const override { return head.startsWith("fLaC"); }
    std::unique_ptr<TagLib::File> open(TagLib::IOStream* stream) const override {
        return std::make_unique<TagLib::FLAC::File>(stream, TagLib::ID3v2::FrameFactory::instance(),
                                                    false);
    }
    bool takesPictures() const override { return true; }

    void readExtras(TagLib::File* file, TrackTags& tags) const override {
        tags.hasFrontCover =
            hasFrontPicture(static_cast<TagLib::FLAC::File*>(file)->pictureList(), false);
    }

    std::optional<QByteArray> frontCover(TagLib::File* file) const override {
        for (const auto* picture : static_cast<TagLib::FLAC::File*>(file)->pictureList()) {
            if (picture->type() == TagLib::FLAC::Picture::FrontCover) {
                return QByteArray(picture->data().data(), qsizetype(picture->data().size()));
            }
        }
        return std::nullopt;
    }

    EmbedStep embed(Embedding& job) const override {
        const FileBytes& original = job.original;
        const Metadata metadata = readMetadata(original);
        if (!metadata.problem.isEmpty()) {
            return FormatChecks::notEmbeddable(metadata.problem);
        }
        const bool covered =
            std::any_of(metadata.blocks.begin(), metadata.blocks.end(), [](const Block& b) {
                return FormatChecks::isCoverType(b.pictureType, false);
            });
        if (covered && !job.replace) {
            return {EmbedStep::Outcome::AlreadyHad, {}, 0};
        }
        const QByteArray picture = pictureBlock(job.picture);
        if (picture.size() > kLargestBlock) {
            return FormatChecks::notEmbeddable(
                QCoreApplication::translate("AudioFormats", "the picture is too large for it"));
        }
        QByteArray blocks;
        for (const Block& block : metadata.blocks) {
            if (block.type == kPadding || (job.replace && block.pictureType == 3)) {
                continue;
            }
            QByteArray bytes = original.read(block.offset, block.size);
            bytes[0] = char(quint8(bytes[0]) & 0x7F); // the padding comes last
            blocks += bytes;
        }
        blocks += blockHeader(kPicture, picture.size(), false) + picture;
        // The same length as before when the old padding has room.
        const qint64 oldLength = metadata.end - metadata.start - 4;
        const qint64 room = oldLength - blocks.size() - 4;
        const qint64 padding = room >= 0 ? room : kNewPadding;
        blocks += blockHeader(kPadding, padding, true) + QByteArray(qsizetype(padding), '\0');

        const qint64 head = metadata.start + 4;
        const qint64 audio = original.size() - metadata.end;
        const qint64 copySize = head + blocks.size() + audio;
        CoverFileWriter::CheckedRewrite& rewrite = job.rewrite;
        if (!rewrite.createCopy() || !rewrite.copyFromOriginal(0, head, 0) ||
            !rewrite.write(head, blocks.constData(), blocks.size()) ||
            !rewrite.copyFromOriginal(metadata.end, audio, head + blocks.size()) ||
            !rewrite.flush(copySize)) {
            return FormatChecks::failed(rewrite, {});
        }
        const FileBytes copy(rewrite.copyFd());
        const Metadata rewritten = readMetadata(copy);
        const bool same = rewritten.problem.isEmpty() && copy.sameAs(0, original, 0, head) &&
                          copy.read(head, blocks.size()) == blocks &&
                          rewritten.end == head + blocks.size() &&
                          copy.sameAs(rewritten.end, original, metadata.end, audio);
        if (!same) {
            return FormatChecks::failed(
                rewrite, QCoreApplication::translate("AudioFormats", "the copy's audio differs"));
        }
        return {EmbedStep::Outcome::Written, {}, copySize};
    }
};

} // namespace

const AudioFormat& flacFormat() {
    static const FlacFormat format;
    return format;
}

// Ogg (Vorbis, Opus; Speex and FLAC in Ogg are read only): TagLib writes the
// comment header into the copy and pages it anew; the check reads both
// files' pages. Every packet but each stream's comment header (the setup
// header included) must be the same, on pages with the same granule
// positions and serial numbers, and every page of the copy must carry a
// right checksum. Files with streams side by side (Skeleton, multiplexed)
// are left alone: TagLib 1.13's Ogg reader does not tell streams apart.
#include "imaging/CheckedRewrite.h"
#include "library/TagReader.h"
#include "library/formats/Families.h"
#include "library/formats/FdStream.h"
#include "library/formats/FileBytes.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QHash>

#include <taglib/oggflacfile.h>
#include <taglib/opusfile.h>
#include <taglib/speexfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <array>

namespace {

enum class Codec { Vorbis, Opus, Speex, Flac, Other };

Codec codecOf(const QByteArray& firstPacket) {
    if (firstPacket.startsWith("\x01vorbis")) {
        return Codec::Vorbis;
    }
    if (firstPacket.startsWith("OpusHead")) {
        return Codec::Opus;
    }
    if (firstPacket.startsWith("Speex   ")) {
        return Codec::Speex;
    }
    return firstPacket.startsWith("\x7F"
                                  "FLAC")
               ? Codec::Flac
               : Codec::Other;
}

quint32 crcOf(const QByteArray& page) {
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 r = i << 24;
            for (int j = 0; j < 8; ++j) {
                r = (r & 0x80000000U) ? (r << 1) ^ 0x04C11DB7U : r << 1;
            }
            t[i] = r;
        }
        return t;
    }();
    quint32 crc = 0;
    for (qsizetype i = 0; i < page.size(); ++i) {
        const quint8 byte = (i >= 22 && i < 26) ? 0 : quint8(page[i]);
        crc = (crc << 8) ^ table[((crc >> 24) ^ byte) & 0xFF];
    }
    return crc;
}

quint64 littleEndian(const QByteArray& bytes, qsizetype at, int count) {
    quint64 value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | quint8(bytes[at + i]);
    }
    return value;
}

// One packet as the check sees it: its stream, its place in the stream, a
// digest of its bytes, and the granule position of the page it ends on when
// it is the last packet to end there.
struct Packet {
    quint32 serial = 0;
    int index = 0;
    QByteArray digest;
    qint64 granule = -1;
    bool operator==(const Packet&) const = default;
};

struct Stream {
    QList<Packet> packets;
    QByteArray firstPacket;
    QString problem;
    bool wrongChecksums = false; // a player drops such pages
};

Stream readStream(const FileBytes& file) {
    Stream stream;
    QHash<quint32, QByteArray> pending; // packets begun on an earlier page
    QHash<quint32, int> counts;
    QList<quint32> open; // streams begun and not yet ended
    for (qint64 at = 0; at < file.size();) {
        const QByteArray header = file.read(at, 27);
        if (header.size() < 27 || !header.startsWith("OggS") || header[4] != 0) {
            stream.problem =
                QCoreApplication::translate("AudioFormats", "its Ogg pages are damaged");
            return stream;
        }
        const quint8 flags = quint8(header[5]);
        const auto granule = qint64(littleEndian(header, 6, 8));
        const auto serial = quint32(littleEndian(header, 14, 4));
        const int segments = quint8(header[26]);
        const QByteArray lacing = file.read(at + 27, segments);
        qint64 bodySize = 0;
        for (const char l : lacing) {
            bodySize += quint8(l);
        }
        const QByteArray page = file.read(at, 27 + segments + bodySize);
        if (lacing.size() != segments || page.size() != 27 + segments + bodySize) {
            stream.problem =
                QCoreApplication::translate("AudioFormats", "its Ogg pages are damaged");
            return stream;
        }
        stream.wrongChecksums |= crcOf(page) != quint32(littleEndian(page, 22, 4));
        if (flags & 0x02) { // the first page of a stream
            if (!open.isEmpty()) {
                stream.problem = QCoreApplication::translate(
                    "AudioFormats", "it holds several streams side by side");
                return stream;
            }
            open.append(serial);
        } else if (!open.contains(serial)) {
            stream.problem =
                QCoreApplication::translate("AudioFormats", "its Ogg pages are damaged");
            return stream;
        }
        qsizetype data = 27 + segments;
        const qsizetype firstOnPage = stream.packets.size();
        for (const char l : lacing) {
            const int length = quint8(l);
            pending[serial] += page.mid(data, length);
            data += length;
            if (length < 255) {
                const QByteArray packet = pending.take(serial);
                if (stream.firstPacket.isEmpty()) {
                    stream.firstPacket = packet.left(16);
                }
                stream.packets.append(
                    Packet{serial, counts[serial]++,
                           QCryptographicHash::hash(packet, QCryptographicHash::Sha1), -1});
            }
        }
        if (stream.packets.size() > firstOnPage) {
            stream.packets.last().granule = granule;
        }
        if (flags & 0x04) { // the last page of a stream
            open.removeAll(serial);
        }
        at += page.size();
    }
    return stream;
}

QList<Packet> withoutComments(QList<Packet> packets) {
    packets.removeIf([](const Packet& p) { return p.index == 1; });
    return packets;
}

TagLib::Ogg::XiphComment* commentOf(TagLib::File* file) {
    if (auto* vorbis = dynamic_cast<TagLib::Ogg::Vorbis::File*>(file)) {
        return vorbis->tag();
    }
    if (auto* opus = dynamic_cast<TagLib::Ogg::Opus::File*>(file)) {
        return opus->tag();
    }
    if (auto* speex = dynamic_cast<TagLib::Ogg::Speex::File*>(file)) {
        return speex->tag();
    }
    auto* flac = dynamic_cast<TagLib::Ogg::FLAC::File*>(file);
    return flac ? flac->tag() : nullptr;
}

// A Vorbis or Opus file on `stream`; none for the other codecs.
std::unique_ptr<TagLib::File> embeddable(Codec codec, TagLib::IOStream* stream) {
    if (codec == Codec::Vorbis) {
        return std::make_unique<TagLib::Ogg::Vorbis::File>(stream, false);
    }
    if (codec == Codec::Opus) {
        return std::make_unique<TagLib::Ogg::Opus::File>(stream, false);
    }
    return nullptr;
}

bool hasCover(TagLib::Ogg::XiphComment* comment, bool frontOnly) {
    if (!comment) {
        return false;
    }
    const auto pictures = comment->pictureList();
    return std::any_of(pictures.begin(), pictures.end(), [frontOnly](const auto* picture) {
        return FormatChecks::isCoverType(picture->type(), frontOnly);
    });
}

// Removes the front covers, keeping the other pictures. TagLib's picture list
// is shared by its copies: removing from it while a copy lives frees the
// pictures under both, so the others are rendered, all removed, and put back.
void replaceFrontPictures(TagLib::Ogg::XiphComment* comment) {
    QList<TagLib::ByteVector> others;
    {
        const auto pictures = comment->pictureList();
        for (const TagLib::FLAC::Picture* picture : pictures) {
            if (picture->type() != TagLib::FLAC::Picture::FrontCover) {
                others.append(picture->render());
            }
        }
    }
    comment->removeAllPictures();
    for (const TagLib::ByteVector& data : std::as_const(others)) {
        comment->addPicture(new TagLib::FLAC::Picture(data));
    }
}

class OggFormat : public AudioFormat {
public:
    QString name() const override { return QStringLiteral("Ogg"); }
    QList<QByteArray> extensions() const override { return {"ogg", "oga", "opus", "spx"}; }
    bool announcedBy(const QByteArray& head) const override { return head.startsWith("OggS"); }

    std::unique_ptr<TagLib::File> open(TagLib::IOStream* stream) const override {
        // The codec is told by the first packet, not by the name.
        stream->seek(0);
        const TagLib::ByteVector header = stream->readBlock(27);
        stream->seek(27 + (header.size() == 27 ? quint8(header[26]) : 0));
        const TagLib::ByteVector first = stream->readBlock(16);
        stream->seek(0);
        switch (codecOf(QByteArray(first.data(), qsizetype(first.size())))) {
        case Codec::Vorbis:
            return std::make_unique<TagLib::Ogg::Vorbis::File>(stream, false);
        case Codec::Opus:
            return std::make_unique<TagLib::Ogg::Opus::File>(stream, false);
        case Codec::Speex:
            return std::make_unique<TagLib::Ogg::Speex::File>(stream, false);
        case Codec::Flac:
            return std::make_unique<TagLib::Ogg::FLAC::File>(stream, false);
        case Codec::Other:
            break;
        }
        return nullptr;
    }
    bool takesPictures() const override { return true; }

    void readExtras(TagLib::File* file, TrackTags& tags) const override {
        tags.hasFrontCover = hasCover(commentOf(file), false);
    }

    std::optional<QByteArray> frontCover(TagLib::File* file) const override {
        if (TagLib::Ogg::XiphComment* comment = commentOf(file)) {
            for (const auto* picture : comment->pictureList()) {
                if (picture->type() == TagLib::FLAC::Picture::FrontCover) {
                    return QByteArray(picture->data().data(), qsizetype(picture->data().size()));
                }
            }
        }
        return std::nullopt;
    }

    EmbedStep embed(Embedding& job) const override {
        const FileBytes& original = job.original;
        const Stream before = readStream(original);
        if (!before.problem.isEmpty()) {
            return FormatChecks::notEmbeddable(before.problem);
        }
        const Codec codec = codecOf(before.firstPacket);
        if (codec != Codec::Vorbis && codec != Codec::Opus) {
            return FormatChecks::notEmbeddable(QCoreApplication::translate(
                "AudioFormats", "covers are put into Ogg Vorbis and Opus files only"));
        }
        {
            FdStream stream(original.fd(), "original.ogg");
            const auto file = embeddable(codec, &stream);
            if (!file->isValid() || !commentOf(file.get())) {
                return FormatChecks::notEmbeddable(
                    QCoreApplication::translate("AudioFormats", "TagLib cannot read its tags"));
            }
            if (hasCover(commentOf(file.get()), false) && !job.replace) {
                return {EmbedStep::Outcome::AlreadyHad, {}, 0};
            }
        }
        CoverFileWriter::CheckedRewrite& rewrite = job.rewrite;
        if (!rewrite.createCopy() || !rewrite.copyFromOriginal(0, original.size(), 0)) {
            return FormatChecks::failed(rewrite, {});
        }
        {
            FdStream stream(rewrite.copyFd(), "copy.ogg", &rewrite);
            const auto file = embeddable(codec, &stream);
            TagLib::Ogg::XiphComment* comment = commentOf(file.get());
            if (!file->isValid() || !comment) {
                return FormatChecks::failed(
                    rewrite,
                    QCoreApplication::translate("AudioFormats", "the copy could not be read"));
            }
            if (job.replace) {
                replaceFrontPictures(comment);
            }
            auto* block = new TagLib::FLAC::Picture;
            block->setType(TagLib::FLAC::Picture::FrontCover);
            block->setMimeType(TagLib::String(job.picture.mime.constData()));
            block->setData(TagLib::ByteVector(job.picture.data.constData(),
                                              unsigned(job.picture.data.size())));
            comment->addPicture(block);
            if (!file->save()) {
                return FormatChecks::failed(
                    rewrite,
                    QCoreApplication::translate("AudioFormats", "the tags could not be written"));
            }
        }
        const FileBytes copy(rewrite.copyFd());
        if (!rewrite.flush(copy.size())) {
            return FormatChecks::failed(rewrite, {});
        }
        const Stream after = readStream(copy);
        if (!after.problem.isEmpty()) {
            return FormatChecks::failed(rewrite, after.problem);
        }
        if (withoutComments(after.packets) != withoutComments(before.packets)) {
            return FormatChecks::failed(
                rewrite, QCoreApplication::translate("AudioFormats", "the copy's audio differs"));
        }
        if (after.wrongChecksums) {
            return FormatChecks::failed(
                rewrite, QCoreApplication::translate("AudioFormats",
                                                     "the copy's Ogg pages have wrong checksums"));
        }
        return {EmbedStep::Outcome::Written, {}, copy.size()};
    }
};

} // namespace

const AudioFormat& oggFormat() {
    static const OggFormat format;
    return format;
}

#include "library/formats/Id3v2Splice.h"

#include <taglib/attachedpictureframe.h>

#include <QCoreApplication>

namespace Id3v2Splice {

namespace {

// TagLib renders the frame; its header says the tag's version.
struct VersionedPictureFrame : TagLib::ID3v2::AttachedPictureFrame {
    explicit VersionedPictureFrame(unsigned version) { header()->setVersion(version); }
};

// Room left in a tag that grows, so that the next change fits in place.
constexpr qsizetype kPadding = 2048;

quint8 byteAt(const QByteArray& bytes, qsizetype at) {
    return quint8(bytes.at(at));
}

qint64 syncsafe(const QByteArray& bytes, qsizetype at) {
    return qint64(byteAt(bytes, at) & 0x7F) << 21 | qint64(byteAt(bytes, at + 1) & 0x7F) << 14 |
           qint64(byteAt(bytes, at + 2) & 0x7F) << 7 | (byteAt(bytes, at + 3) & 0x7F);
}

qint64 bigEndian(const QByteArray& bytes, qsizetype at, int count) {
    qint64 value = 0;
    for (int i = 0; i < count; ++i) {
        value = value << 8 | byteAt(bytes, at + i);
    }
    return value;
}

QByteArray syncsafeBytes(qint64 value) {
    QByteArray bytes(4, '\0');
    for (int i = 3; i >= 0; --i) {
        bytes[i] = char(value & 0x7F);
        value >>= 7;
    }
    return bytes;
}

bool isFrameId(const QByteArray& id) {
    return std::all_of(id.begin(), id.end(),
                       [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

// The picture type of an APIC frame's body (after the encoding and the MIME
// type), or of a PIC frame's (after the encoding and the image format).
int pictureTypeOf(const QByteArray& body, int version) {
    if (version == 2) {
        return body.size() > 4 ? byteAt(body, 4) : -1;
    }
    const qsizetype end = body.indexOf('\0', 1);
    return end > 0 && end + 1 < body.size() ? byteAt(body, end + 1) : -1;
}

// Why frames with these flags are not kept as they are: their contents
// cannot be read (compressed, encrypted) or are encoded (unsynchronised).
QString frameFlagProblem(int version, quint8 formatFlags) {
    const bool compressed = version == 3 ? formatFlags & 0x80 : formatFlags & 0x08;
    const bool encrypted = version == 3 ? formatFlags & 0x40 : formatFlags & 0x04;
    if (compressed || encrypted) {
        return QCoreApplication::translate("AudioFormats",
                                           "its ID3v2 tag has compressed or encrypted frames");
    }
    if (version == 4 && (formatFlags & 0x02)) {
        return QCoreApplication::translate("AudioFormats", "its ID3v2 tag is unsynchronised");
    }
    return {};
}

// The tag's header: its version, flags and where its frames start; the
// tag's end, or none when the tag is one a splice cannot keep intact.
std::optional<qsizetype> readHeader(const QByteArray& tag, Layout& layout) {
    if (tag.size() < 10) {
        layout.unsupported =
            QCoreApplication::translate("AudioFormats", "its ID3v2 tag is damaged");
        return std::nullopt;
    }
    layout.version = byteAt(tag, 3);
    const quint8 flags = byteAt(tag, 5);
    layout.hasFooter = layout.version == 4 && (flags & 0x10);
    const qsizetype end = qsizetype(10 + syncsafe(tag, 6));
    if (end > tag.size()) {
        layout.unsupported =
            QCoreApplication::translate("AudioFormats", "its ID3v2 tag is damaged");
        return std::nullopt;
    }
    if (flags & 0x80) {
        layout.unsupported =
            QCoreApplication::translate("AudioFormats", "its ID3v2 tag is unsynchronised");
        return std::nullopt;
    }
    layout.framesStart = 10;
    if (layout.version == 2 && (flags & 0x40)) {
        layout.unsupported =
            QCoreApplication::translate("AudioFormats", "its ID3v2.2 tag is compressed");
        return std::nullopt;
    }
    if (layout.version == 3 && (flags & 0x40)) {
        // Its extended header counts the padding, which a splice changes.
        layout.unsupported =
            QCoreApplication::translate("AudioFormats", "its ID3v2.3 tag has an extended header");
        return std::nullopt;
    }
    if (layout.version == 4 && (flags & 0x40)) {
        const qsizetype extended = qsizetype(syncsafe(tag, 10));
        if (extended < 6 || 10 + extended > end || (byteAt(tag, 15) & 0x20)) {
            // A checksum over the frames would no longer hold.
            layout.unsupported =
                QCoreApplication::translate("AudioFormats", "its ID3v2 tag carries a checksum");
            return std::nullopt;
        }
        layout.framesStart = 10 + extended;
    }
    return end;
}

// The frames from framesStart to `end`, up to the padding or to bytes no
// reader takes for a frame.
void readFrames(const QByteArray& tag, qsizetype end, Layout& layout) {
    const int headerSize = layout.version == 2 ? 6 : 10;
    const int idSize = layout.version == 2 ? 3 : 4;
    qsizetype at = layout.framesStart;
    while (at + headerSize <= end && byteAt(tag, at) != 0) {
        Frame frame;
        frame.id = tag.mid(at, idSize);
        if (!isFrameId(frame.id)) {
            break; // bytes no reader takes for a frame: kept after ours
        }
        if (layout.version == 4 && (bigEndian(tag, at + 4, 4) & 0x80808080)) {
            // Written unsynchsafe by some programs: readers disagree on its length.
            layout.unsupported = QCoreApplication::translate(
                "AudioFormats", "its ID3v2.4 tag has frame sizes that readers disagree on");
            return;
        }
        const qint64 size = layout.version == 2   ? bigEndian(tag, at + 3, 3)
                            : layout.version == 3 ? bigEndian(tag, at + 4, 4)
                                                  : syncsafe(tag, at + 4);
        if (at + headerSize + size > end) {
            layout.unsupported =
                QCoreApplication::translate("AudioFormats", "its ID3v2 tag is damaged");
            return;
        }
        if (layout.version > 2) {
            if (const QString problem = frameFlagProblem(layout.version, byteAt(tag, at + 9));
                !problem.isEmpty()) {
                layout.unsupported = problem;
                return;
            }
        }
        frame.offset = at;
        frame.size = qsizetype(headerSize + size);
        if (frame.id == "APIC" || frame.id == "PIC") {
            frame.pictureType =
                pictureTypeOf(tag.mid(at + headerSize, qsizetype(size)), layout.version);
        }
        layout.frames.append(frame);
        at += frame.size;
    }
    layout.framesEnd = at;
}

} // namespace

Layout parse(const QByteArray& tag) {
    Layout layout;
    if (const auto end = readHeader(tag, layout)) {
        readFrames(tag, *end, layout);
    }
    return layout;
}

QByteArray pictureFrame(int version, const EmbeddedPicture& picture) {
    if (version == 2) {
        // PIC: encoding, image format, picture type, empty description.
        const QByteArray body = QByteArray(1, '\0') +
                                (picture.mime == "image/png" ? "PNG" : "JPG") + char(3) +
                                QByteArray(1, '\0') + picture.data;
        const qint64 size = body.size();
        QByteArray header("PIC");
        header.append(char(size >> 16)).append(char(size >> 8)).append(char(size));
        return header + body;
    }
    VersionedPictureFrame frame{unsigned(version)};
    frame.setTextEncoding(TagLib::String::Latin1);
    frame.setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
    frame.setMimeType(TagLib::String(picture.mime.constData()));
    frame.setPicture(TagLib::ByteVector(picture.data.constData(), unsigned(picture.data.size())));
    const TagLib::ByteVector rendered = frame.render();
    return QByteArray(rendered.data(), qsizetype(rendered.size()));
}

QByteArray splice(const Layout& layout, const QByteArray& tag, const QByteArray& frame,
                  bool replaceFront) {
    const qsizetype bodyEnd = qsizetype(10 + syncsafe(tag, 6));
    QByteArray body = tag.mid(10, layout.framesStart - 10);
    for (const Frame& kept : layout.frames) {
        if (!(replaceFront && kept.pictureType == 3)) {
            body += tag.mid(kept.offset, kept.size);
        }
    }
    body += frame;
    // What follows the frames is padding, or bytes that are kept as they were.
    const QByteArray rest = tag.mid(layout.framesEnd, bodyEnd - layout.framesEnd);
    const bool padding = std::all_of(rest.begin(), rest.end(), [](char c) { return c == 0; });
    if (!padding) {
        body += rest;
    }
    const qsizetype oldBody = bodyEnd - 10;
    if (!layout.hasFooter) {
        body += QByteArray(body.size() <= oldBody ? oldBody - body.size() : kPadding, '\0');
    }
    const QByteArray sizeBytes = syncsafeBytes(body.size());
    QByteArray spliced = tag.left(6) + sizeBytes + body;
    if (layout.hasFooter) {
        spliced += "3DI" + tag.mid(3, 3) + sizeBytes;
    }
    return spliced;
}

QByteArray newTag(const QByteArray& frame) {
    const QByteArray body = frame + QByteArray(kPadding, '\0');
    return QByteArray("ID3\x04\x00\x00", 6) + syncsafeBytes(body.size()) + body;
}

} // namespace Id3v2Splice

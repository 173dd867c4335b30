#pragma once

// Short audio files for the library tests, tagged with TagLib: MP3 frames
// written here, FLAC, Ogg Vorbis and Opus encoded by their reference tools
// from a generated tone, and an MP4 container assembled here.
#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QtEndian>

#include <taglib/fileref.h>
#include <taglib/tpropertymap.h>

#include <cmath>

namespace AudioFiles {

inline const QByteArray kMp3Frames = [] {
    QByteArray frames;
    for (int i = 0; i < 3; ++i) {
        frames += QByteArray::fromHex("fffb9064") + QByteArray(413, '\0');
    }
    return frames;
}();

inline QByteArray be32(quint32 v) {
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}
inline QByteArray be16(quint16 v) {
    QByteArray b(2, '\0');
    qToBigEndian(v, b.data());
    return b;
}
inline QByteArray box(const char* type, const QByteArray& payload) {
    return be32(quint32(8 + payload.size())) + type + payload;
}
inline QByteArray fullBox(const char* type, quint32 flags, const QByteArray& payload) {
    return box(type, be32(flags) + payload);
}

inline const QByteArray kMp4Audio("AUDIO-FRAME-BYTES-THAT-STAY-AS-THEY-ARE", 39);

// An MP4 with one track of one second whose audio bytes are kMp4Audio, in a
// sample entry of `codec` ("mp4a", "alac", "ac-3", "fLaC", …), its "moov"
// before or after its "mdat".
inline QByteArray mp4(const char* codec = "mp4a", bool moovLast = false) {
    const QByteArray matrix = be32(0x10000) + QByteArray(12, '\0') + be32(0x10000) +
                              QByteArray(12, '\0') + be32(0x40000000);
    const QByteArray esds = fullBox(
        "esds", 0, QByteArray::fromHex("0319000100041140150000000001f4000001f40005021210060102"));
    const QByteArray mp4a =
        box(codec, QByteArray(6, '\0') + be16(1) + QByteArray(8, '\0') + be16(2) + be16(16) +
                       QByteArray(4, '\0') + be32(44100u << 16) + esds);
    const auto stbl = [&](quint32 offset) {
        return box("stbl",
                   fullBox("stsd", 0, be32(1) + mp4a) +
                       fullBox("stts", 0, be32(1) + be32(1) + be32(1024)) +
                       fullBox("stsc", 0, be32(1) + be32(1) + be32(1) + be32(1)) +
                       fullBox("stsz", 0, be32(0) + be32(1) + be32(quint32(kMp4Audio.size()))) +
                       fullBox("stco", 0, be32(1) + be32(offset)));
    };
    const auto moov = [&](quint32 offset) {
        const QByteArray minf =
            box("minf", fullBox("smhd", 0, be32(0)) +
                            box("dinf", fullBox("dref", 0, be32(1) + fullBox("url ", 1, {}))) +
                            stbl(offset));
        const QByteArray mdia =
            box("mdia",
                fullBox("mdhd", 0,
                        be32(0) + be32(0) + be32(44100) + be32(44100) + be16(0x55c4) + be16(0)) +
                    fullBox("hdlr", 0, be32(0) + "soun" + QByteArray(13, '\0')) + minf);
        const QByteArray tkhd =
            fullBox("tkhd", 7,
                    be32(0) + be32(0) + be32(1) + be32(0) + be32(44100) + QByteArray(8, '\0') +
                        be16(0) + be16(0) + be16(0x100) + be16(0) + matrix + be32(0) + be32(0));
        const QByteArray mvhd =
            fullBox("mvhd", 0,
                    be32(0) + be32(0) + be32(44100) + be32(44100) + be32(0x10000) + be16(0x100) +
                        QByteArray(10, '\0') + matrix + QByteArray(24, '\0') + be32(2));
        return box("moov", mvhd + box("trak", tkhd + mdia));
    };
    const QByteArray ftyp = box("ftyp", QByteArray("M4A ") + be32(0) + "M4A mp42isom");
    if (moovLast) {
        return ftyp + box("mdat", kMp4Audio) + moov(quint32(ftyp.size() + 8));
    }
    const quint32 offset = quint32(ftyp.size() + moov(0).size() + 8);
    return ftyp + moov(offset) + box("mdat", kMp4Audio);
}

// An ID3v2 tag of `version` (2, 3 or 4) holding `frames` (id, body), with
// header flags `flags` and `padding` bytes of room.
inline QByteArray id3Tag(int version, const QList<std::pair<QByteArray, QByteArray>>& frames,
                         quint8 flags = 0, int padding = 0) {
    QByteArray body;
    for (const auto& [id, content] : frames) {
        const quint32 size = quint32(content.size());
        body += id;
        if (version == 2) {
            body.append(char(size >> 16)).append(char(size >> 8)).append(char(size));
        } else {
            body += version == 3 ? be32(size)
                                 : be32((size & 0x7F) | (size & 0x3F80) << 1 |
                                        (size & 0x1FC000) << 2 | (size & 0xFE00000) << 3);
            body += QByteArray(2, '\0');
        }
        body += content;
    }
    body += QByteArray(padding, '\0');
    const quint32 n = quint32(body.size());
    QByteArray size(4, '\0');
    for (int i = 0; i < 4; ++i) {
        size[i] = char((n >> (7 * (3 - i))) & 0x7F);
    }
    return "ID3" + QByteArray(1, char(version)) + QByteArray(1, '\0') + char(flags) + size + body;
}

// Seconds of a 440 Hz tone as a WAV file.
inline QByteArray wav(int seconds = 1) {
    QByteArray pcm;
    for (int i = 0; i < 44100 * seconds; ++i) {
        const auto sample = qint16(8000 * std::sin(2 * M_PI * 440 * i / 44100.0));
        pcm.append(char(sample & 0xFF)).append(char((sample >> 8) & 0xFF));
    }
    const auto le32 = [](quint32 v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); };
    const auto le16 = [](quint16 v) { return QByteArray(reinterpret_cast<const char*>(&v), 2); };
    return "RIFF" + le32(36 + quint32(pcm.size())) + "WAVEfmt " + le32(16) + le16(1) + le16(1) +
           le32(44100) + le32(88200) + le16(2) + le16(16) + "data" + le32(quint32(pcm.size())) +
           pcm;
}

// Writes a track of `format` (mp3, flac, ogg, opus, m4a, or any other
// extension as a few bytes of nothing) at `path`, the encoded ones `seconds`
// long; false when its encoder is missing or failed.
inline bool write(const QString& path, const QString& format, int seconds = 1) {
    const QStringList tools{QStringLiteral("flac"), QStringLiteral("ogg"), QStringLiteral("opus")};
    if (!tools.contains(format)) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) &&
               file.write(format == QLatin1String("mp3")   ? kMp3Frames
                          : format == QLatin1String("m4a") ? mp4()
                                                           : QByteArray(1000, '\0')) > 0;
    }
    const QString source = path + QStringLiteral(".wav");
    QFile tone(source);
    if (!tone.open(QIODevice::WriteOnly) || tone.write(wav(seconds)) <= 0) {
        return false;
    }
    tone.close();
    const QString program = format == QLatin1String("flac")  ? QStringLiteral("flac")
                            : format == QLatin1String("ogg") ? QStringLiteral("oggenc")
                                                             : QStringLiteral("opusenc");
    const QStringList arguments = format == QLatin1String("opus")
                                      ? QStringList{"--quiet", source, path}
                                      : QStringList{"--silent", "-o", path, source};
    const int status = QProcess::execute(program, format == QLatin1String("ogg")
                                                      ? QStringList{"-Q", "-o", path, source}
                                                      : arguments);
    QFile::remove(source);
    return status == 0;
}

struct Tags {
    QString artist = {};
    QString album = {};
    QString albumArtist = {};
    QString barcode = {};
};

inline void tag(const QString& path, const Tags& tags) {
    TagLib::FileRef ref(QFile::encodeName(path).constData(), false);
    if (ref.isNull()) {
        return;
    }
    const auto text = [](const QString& s) {
        return TagLib::String(s.toStdString(), TagLib::String::UTF8);
    };
    TagLib::PropertyMap properties = ref.file()->properties();
    const std::pair<const char*, QString> values[] = {{"ARTIST", tags.artist},
                                                      {"ALBUM", tags.album},
                                                      {"ALBUMARTIST", tags.albumArtist},
                                                      {"BARCODE", tags.barcode}};
    for (const auto& [key, value] : values) {
        if (!value.isEmpty()) {
            properties[key] = TagLib::StringList(text(value));
        }
    }
    ref.file()->setProperties(properties);
    ref.save();
}

// What a player hears: decoded samples for Ogg, the audio bytes otherwise.
inline QByteArray audioOf(const QString& path, const QString& format) {
    if (format == QLatin1String("ogg") || format == QLatin1String("opus")) {
        QProcess decoder;
        decoder.start(format == QLatin1String("ogg") ? QStringLiteral("oggdec")
                                                     : QStringLiteral("opusdec"),
                      format == QLatin1String("ogg") ? QStringList{"-Q", "-R", "-o", "-", path}
                                                     : QStringList{"--quiet", path, "-"});
        decoder.waitForFinished(20000);
        return decoder.readAllStandardOutput();
    }
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    if (format == QLatin1String("flac")) {
        // The frames after the metadata blocks, and the stream's MD5 signature.
        qsizetype at = 4;
        bool last = false;
        while (!last && at + 4 <= bytes.size()) {
            last = quint8(bytes[at]) & 0x80;
            at += 4 + ((quint8(bytes[at + 1]) << 16) | (quint8(bytes[at + 2]) << 8) |
                       quint8(bytes[at + 3]));
        }
        return bytes.mid(8 + 18, 16) + bytes.mid(at);
    }
    if (format == QLatin1String("m4a")) {
        return bytes.contains(kMp4Audio) ? kMp4Audio : QByteArray();
    }
    return bytes.contains(kMp3Frames) ? kMp3Frames : QByteArray();
}

} // namespace AudioFiles

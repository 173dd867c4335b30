#include "library/formats/AudioFormat.h"

#include "imaging/CheckedRewrite.h"
#include "library/TagReader.h"
#include "library/formats/Families.h"
#include "library/formats/FileBytes.h"

#include <taglib/aifffile.h>
#include <taglib/apefile.h>
#include <taglib/asffile.h>
#include <taglib/mpcfile.h>
#include <taglib/trueaudiofile.h>
#include <taglib/wavfile.h>
#include <taglib/wavpackfile.h>

#include <cstring>

#include <QCoreApplication>

void AudioFormat::readExtras(TagLib::File*, TrackTags&) const {}

std::optional<QByteArray> AudioFormat::frontCover(TagLib::File*) const {
    return std::nullopt;
}

EmbedStep AudioFormat::embed(Embedding&) const {
    return {EmbedStep::Outcome::NotEmbeddable,
            QCoreApplication::translate("AudioFormats", "covers are not embedded into %1 files")
                .arg(name()),
            0};
}

namespace FormatChecks {

bool isCoverType(int type, bool frontOnly) {
    return type == 3 || (!frontOnly && type == 0);
}

EmbedStep failed(CoverFileWriter::CheckedRewrite& rewrite, const QString& why) {
    rewrite.fail(why.isEmpty()
                     ? QCoreApplication::translate("AudioFormats", "the tags could not be written")
                     : why);
    return {EmbedStep::Outcome::Failed, rewrite.error(), 0};
}

EmbedStep notEmbeddable(const QString& why) {
    return {EmbedStep::Outcome::NotEmbeddable, why, 0};
}

} // namespace FormatChecks

namespace {

// A family Sleevanta reads tags of but puts no pictures into.
template <typename TagLibFile> class ReadOnlyFormat : public AudioFormat {
public:
    ReadOnlyFormat(QString name, QList<QByteArray> extensions, bool (*announced)(const QByteArray&))
        : m_name(std::move(name)), m_extensions(std::move(extensions)), m_announced(announced) {}

    QString name() const override { return m_name; }
    QList<QByteArray> extensions() const override { return m_extensions; }
    bool announcedBy(const QByteArray& head) const override { return m_announced(head); }
    std::unique_ptr<TagLib::File> open(TagLib::IOStream* stream) const override {
        if constexpr (std::is_void_v<TagLibFile>) {
            Q_UNUSED(stream);
            return nullptr;
        } else {
            return std::make_unique<TagLibFile>(stream, false);
        }
    }

private:
    QString m_name;
    QList<QByteArray> m_extensions;
    bool (*m_announced)(const QByteArray&);
};

bool startsWith(const QByteArray& head, const char* magic, qsizetype at = 0) {
    return head.size() >= at + qsizetype(std::strlen(magic)) &&
           std::memcmp(head.constData() + at, magic, std::strlen(magic)) == 0;
}

const ReadOnlyFormat<TagLib::RIFF::WAV::File>
    kWav(QStringLiteral("WAV"), {"wav"},
         [](const QByteArray& h) { return startsWith(h, "RIFF") && startsWith(h, "WAVE", 8); });
const ReadOnlyFormat<TagLib::RIFF::AIFF::File>
    kAiff(QStringLiteral("AIFF"), {"aiff", "aif"}, [](const QByteArray& h) {
        return startsWith(h, "FORM") && (startsWith(h, "AIFF", 8) || startsWith(h, "AIFC", 8));
    });
const ReadOnlyFormat<TagLib::WavPack::File> kWavPack(QStringLiteral("WavPack"), {"wv"},
                                                     [](const QByteArray& h) {
                                                         return startsWith(h, "wvpk");
                                                     });
const ReadOnlyFormat<TagLib::APE::File> kMonkeys(QStringLiteral("Monkey's Audio"), {"ape"},
                                                 [](const QByteArray& h) {
                                                     return startsWith(h, "MAC ");
                                                 });
const ReadOnlyFormat<TagLib::MPC::File>
    kMusepack(QStringLiteral("Musepack"), {"mpc"},
              [](const QByteArray& h) { return startsWith(h, "MP+") || startsWith(h, "MPCK"); });
const ReadOnlyFormat<TagLib::TrueAudio::File> kTrueAudio(QStringLiteral("TrueAudio"), {"tta"},
                                                         [](const QByteArray& h) {
                                                             return startsWith(h, "TTA1");
                                                         });
const ReadOnlyFormat<TagLib::ASF::File>
    kAsf(QStringLiteral("ASF (WMA)"), {"wma", "asf"}, [](const QByteArray& h) {
        static const QByteArray guid = QByteArray::fromHex("3026b2758e66cf11a6d900aa0062ce6c");
        return h.startsWith(guid);
    });
// DSD audio: known by its content only (TagLib 1.13 reads no DSF).
const ReadOnlyFormat<void> kDsf(QStringLiteral("DSF"), {},
                                [](const QByteArray& h) { return startsWith(h, "DSD "); });

// Bit rates of MPEG audio in kbit/s: [MPEG-1?][layer 1..3][index].
constexpr int kBitrates[2][3][16] = {
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}},
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}}};
constexpr int kSampleRates[4][3] = {
    {11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};

// The length of the MPEG audio frame whose header starts at `p`, and a key
// that frames of one stream share; 0 when no valid header starts there.
int mpegFrameLength(const unsigned char* p, quint32* key) {
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) {
        return 0;
    }
    const int version = (p[1] >> 3) & 3;     // 0: 2.5, 1: reserved, 2: 2, 3: 1
    const int layer = 4 - ((p[1] >> 1) & 3); // 4: reserved
    const int bitrateIndex = p[2] >> 4;
    const int rateIndex = (p[2] >> 2) & 3;
    if (version == 1 || layer == 4 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) {
        return 0;
    }
    const bool mpeg1 = version == 3;
    const int bitrate = kBitrates[mpeg1][layer - 1][bitrateIndex] * 1000;
    const int rate = kSampleRates[version][rateIndex];
    const int padding = (p[2] >> 1) & 1;
    *key = quint32(p[1] & 0xFE) << 8 | quint32(p[2] & 0x0C);
    if (layer == 1) {
        return (12 * bitrate / rate + padding) * 4;
    }
    return (layer == 3 && !mpeg1 ? 72 : 144) * bitrate / rate + padding;
}

} // namespace

namespace AudioFormats {

qint64 id3v2TagSize(const QByteArray& bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
    if (bytes.size() < 10 || std::memcmp(b, "ID3", 3) != 0 || b[3] < 2 || b[3] > 4 ||
        b[4] == 0xFF || ((b[6] | b[7] | b[8] | b[9]) & 0x80)) {
        return 0;
    }
    const qint64 body = qint64(b[6]) << 21 | qint64(b[7]) << 14 | qint64(b[8]) << 7 | b[9];
    const bool footer = b[3] == 4 && (b[5] & 0x10);
    return 10 + body + (footer ? 10 : 0);
}

qsizetype firstMpegFrames(const QByteArray& bytes, qsizetype from) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype at = std::max<qsizetype>(from, 0); at + 4 <= size; ++at) {
        quint32 key = 0;
        int length = mpegFrameLength(b + at, &key);
        if (length < 4) {
            continue;
        }
        // Frames that follow one another, all of one stream: three, or two
        // that the bytes end after (a false sync in other data is rarely
        // followed by even one more).
        int frames = 1;
        qsizetype next = at + length;
        while (frames < 3 && next + 4 <= size) {
            quint32 nextKey = 0;
            length = mpegFrameLength(b + next, &nextKey);
            if (length < 4 || nextKey != key) {
                break;
            }
            ++frames;
            next += length;
        }
        if (frames >= 3 || (frames >= 2 && next + 4 > size)) {
            return at;
        }
    }
    return -1;
}

const QList<const AudioFormat*>& all() {
    static const QList<const AudioFormat*> formats{
        &mpegFormat(), &flacFormat(), &mp4Format(), &oggFormat(), &kWavPack, &kMonkeys,
        &kMusepack,    &kTrueAudio,   &kWav,        &kAiff,       &kAsf,     &kDsf};
    return formats;
}

const AudioFormat* byFileName(const QByteArray& fileName) {
    const qsizetype dot = fileName.lastIndexOf('.');
    if (dot <= 0) {
        return nullptr;
    }
    const QByteArray extension = fileName.mid(dot + 1).toLower();
    for (const AudioFormat* format : all()) {
        if (format->extensions().contains(extension)) {
            return format;
        }
    }
    return nullptr;
}

const AudioFormat* byContent(const FileBytes& file) {
    // Past the ID3v2 tags some programs put in front of anything.
    qint64 at = 0;
    for (int tags = 0; tags < 4; ++tags) {
        const qint64 size = id3v2TagSize(file.read(at, 10));
        if (size == 0) {
            break;
        }
        at += size;
    }
    const QByteArray head = file.read(at, 64 * 1024);
    for (const AudioFormat* format : all()) {
        if (format != &mpegFormat() && format->announcedBy(head)) {
            return format;
        }
    }
    return mpegFormat().announcedBy(head) ? &mpegFormat() : nullptr;
}

} // namespace AudioFormats

// Covers embedded into audio files: every format as players read it back, the
// audio and the other tags as they were, and files that are left alone.
#include "AudioFiles.h"
#include "TestSupport.h"
#include "imaging/CheckedRewrite.h"
#include "imaging/ImageCodec.h"
#include "library/CoverEmbedder.h"

#include <taglib/apetag.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

using Outcome = CoverEmbedder::Result::Outcome;
using Picture = CoverEmbedder::Picture;
using Pictures = QList<std::pair<int, QByteArray>>;

namespace {

constexpr int kFront = 3;
constexpr int kBack = 4;

QByteArray qBytes(const TagLib::ByteVector& v) {
    return QByteArray(v.data(), int(v.size()));
}

// The pictures a player finds in the file: type and bytes.
Pictures picturesOf(const QString& path) {
    Pictures found;
    TagLib::FileRef ref(QFile::encodeName(path).constData(), false);
    TagLib::File* file = ref.file();
    TagLib::List<TagLib::FLAC::Picture*> blocks;
    if (auto* mp3 = dynamic_cast<TagLib::MPEG::File*>(file); mp3 && mp3->hasID3v2Tag()) {
        for (TagLib::ID3v2::Frame* frame : mp3->ID3v2Tag()->frameListMap()["APIC"]) {
            auto* apic = static_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame);
            found.append({int(apic->type()), qBytes(apic->picture())});
        }
    } else if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file)) {
        blocks = flac->pictureList();
    } else if (auto* vorbis = dynamic_cast<TagLib::Ogg::Vorbis::File*>(file)) {
        blocks = vorbis->tag()->pictureList();
    } else if (auto* opus = dynamic_cast<TagLib::Ogg::Opus::File*>(file)) {
        blocks = opus->tag()->pictureList();
    } else if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(file); mp4 && mp4->tag()) {
        for (const TagLib::MP4::CoverArt& art : mp4->tag()->item("covr").toCoverArtList()) {
            found.append({kFront, qBytes(art.data())});
        }
    }
    for (TagLib::FLAC::Picture* block : blocks) {
        found.append({int(block->type()), qBytes(block->data())});
    }
    return found;
}

QString artistOf(const QString& path) {
    TagLib::FileRef ref(QFile::encodeName(path).constData(), false);
    return ref.isNull() ? QString() : QString::fromStdString(ref.tag()->artist().to8Bit(true));
}

// An MP3's ID3v1 and APE titles, which an embedding leaves as they are.
QStringList otherTagsOf(const QString& path) {
    if (!path.endsWith(QLatin1String(".mp3"))) {
        return {};
    }
    TagLib::MPEG::File mp3(QFile::encodeName(path).constData(), false);
    QStringList tags;
    for (TagLib::Tag* tag :
         {static_cast<TagLib::Tag*>(mp3.ID3v1Tag()), static_cast<TagLib::Tag*>(mp3.APETag())}) {
        tags << (tag ? QString::fromStdString(tag->title().to8Bit(true)) : QStringLiteral("-"));
    }
    return tags;
}

// An ID3v2.2 tag (which TagLib reads but cannot write) holding a title.
QByteArray id3v22Tag() {
    const QByteArray text = QByteArray(1, '\0') + "Old Title"; // Latin-1
    const QByteArray frame = "TT2" + QByteArray(2, '\0') + char(text.size()) + text;
    // Version 2.0, no flags, the size in four 7-bit bytes.
    return "ID3" + QByteArray::fromHex("020000000000") + char(frame.size()) + frame;
}

// The file as it comes from another program: older tags, other pictures.
void prepareTrack(const QString& path, const QString& setup) {
    const QByteArray native = QFile::encodeName(path);
    if (setup == QLatin1String("v2.2")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(id3v22Tag() + AudioFiles::kMp3Frames);
        return;
    }
    AudioFiles::tag(path, {QStringLiteral("Artist")});
    if (setup == QLatin1String("v2.3+v1+ape")) {
        TagLib::MPEG::File mp3(native.constData(), false);
        mp3.ID3v1Tag(true)->setTitle("Version One");
        mp3.APETag(true)->setTitle("Gain");
        QVERIFY(mp3.save(TagLib::MPEG::File::AllTags, TagLib::File::StripNone, TagLib::ID3v2::v3));
    } else if (setup == QLatin1String("back")) {
        TagLib::FileRef ref(native.constData(), false);
        if (auto* mp3 = dynamic_cast<TagLib::MPEG::File*>(ref.file())) {
            auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
            frame->setType(TagLib::ID3v2::AttachedPictureFrame::BackCover);
            frame->setPicture("back");
            mp3->ID3v2Tag(true)->addFrame(frame);
        } else if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(ref.file())) {
            auto* block = new TagLib::FLAC::Picture;
            block->setType(TagLib::FLAC::Picture::BackCover);
            block->setData("back");
            flac->addPicture(block);
        }
        QVERIFY(ref.save());
    }
}

// A noisy picture of a cover's weight, so that tags and comment headers grow.
Picture noisyPicture() {
    QImage image(500, 500, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, random.generate());
        }
    }
    return *CoverEmbedder::prepare(TestSupport::encoded(image, "jpeg"));
}

QByteArray encoded(const QString& folder, const QString& format, int seconds) {
    const QString path = folder + "/encoded." + format;
    const QByteArray bytes =
        AudioFiles::write(path, format, seconds) ? TestSupport::readFile(path) : QByteArray();
    QFile::remove(path);
    return bytes;
}

// An Ogg file's pages.
QList<QByteArray> pagesOf(const QByteArray& ogg) {
    QList<QByteArray> pages;
    for (qsizetype at = 0; at + 27 <= ogg.size();) {
        const int segments = quint8(ogg[at + 26]);
        qsizetype size = 27 + segments;
        for (int i = 0; i < segments; ++i) {
            size += quint8(ogg[at + 27 + i]);
        }
        pages.append(ogg.mid(at, size));
        at += size;
    }
    return pages;
}

// Files that break embedders: their bytes, and bytes that must survive.
struct OddFile {
    QByteArray bytes;
    QByteArray kept;
};

OddFile oddFile(const QString& kind, const QString& folder) {
    const QByteArray frames = AudioFiles::kMp3Frames;
    const QByteArray title = QByteArray(1, '\0') + "Title";
    if (kind == QLatin1String("junk")) {
        const QByteArray junk(2047, 'J');
        return {junk + AudioFiles::id3Tag(3, {{"TIT2", title}}) + frames, junk};
    }
    if (kind == QLatin1String("second tag")) {
        const QByteArray second =
            AudioFiles::id3Tag(4, {{"TXXX", QByteArray(1, '\0') + "x\0y"}}) + QByteArray(3000, 0);
        return {AudioFiles::id3Tag(3, {{"TIT2", title}}) + second + frames, second};
    }
    if (kind == QLatin1String("v2.3 frames")) {
        const QByteArray tag =
            AudioFiles::id3Tag(3, {{"TIT2", title},
                                   {"TRDA", QByteArray(1, 0) + "May 1"},
                                   {"TSIZ", QByteArray(1, 0) + "9"},
                                   {"EQUA", "\x10\x80\x00\x01"},
                                   {"RVAD", "\x03\x10\x01\x00\x01\x00"},
                                   {"TDRL", QByteArray(1, 0) + "2001"},
                                   {"RVA2", QByteArray("a\0\x01\x00\x00\x00", 6)}});
        return {tag + frames, tag.mid(10)};
    }
    if (kind == QLatin1String("v2.2 frames")) {
        const QByteArray tag = AudioFiles::id3Tag(2, {{"TT2", title},
                                                      {"TDA", QByteArray(1, 0) + "0105"},
                                                      {"TIM", QByteArray(1, 0) + "1200"},
                                                      {"CRM", QByteArray("x\0info", 6)}});
        return {tag + frames, tag.mid(10)};
    }
    if (kind == QLatin1String("unsynchronised")) {
        return {AudioFiles::id3Tag(3, {{"TIT2", title}}, 0x80) + frames, {}};
    }
    if (kind == QLatin1String("WAV")) {
        QByteArray wav = AudioFiles::wav();
        wav.replace(1000, frames.size(), frames); // a false frame sync among the samples
        return {wav, {}};
    }
    if (kind == QLatin1String("AIFF")) {
        return {"FORM" + AudioFiles::be32(1000) + "AIFFCOMM" + QByteArray(200, 0) + frames, {}};
    }
    if (kind == QLatin1String("WavPack")) {
        return {"wvpk" + QByteArray(60, 0) + frames, {}};
    }
    if (kind == QLatin1String("ASF")) {
        return {QByteArray::fromHex("3026b2758e66cf11a6d900aa0062ce6c") + QByteArray(60, 0) +
                    frames,
                {}};
    }
    if (kind == QLatin1String("long ogg") || kind == QLatin1String("long opus")) {
        return {encoded(folder, kind.mid(5), 60), {}};
    }
    const QByteArray first = encoded(folder, QStringLiteral("ogg"), 1);
    const QByteArray second = encoded(folder, QStringLiteral("ogg"), 1);
    if (kind == QLatin1String("chained")) {
        return {first + second, second};
    }
    if (kind == QLatin1String("multiplexed")) {
        const QList<QByteArray> a = pagesOf(first);
        const QList<QByteArray> b = pagesOf(second);
        return {a[0] + b[0] + a.mid(1).join() + b.mid(1).join(), {}};
    }
    if (kind == QLatin1String("freeform")) {
        const QString path = folder + "/tagged.m4a";
        AudioFiles::write(path, QStringLiteral("m4a"));
        AudioFiles::tag(path, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                               QStringLiteral("0602567713449")});
        const QByteArray bytes = TestSupport::readFile(path);
        QFile::remove(path);
        const qsizetype atom = bytes.indexOf("----") - 4;
        return {bytes, bytes.mid(atom, qFromBigEndian<quint32>(bytes.constData() + atom))};
    }
    if (kind == QLatin1String("long table")) { // TagLib would write this many offsets
        QByteArray bytes = AudioFiles::mp4("mp4a", false);
        bytes.replace(bytes.indexOf("stco") + 8, 4, AudioFiles::be32(0x7fffffff));
        return {bytes, {}};
    }
    const QList<QByteArray> codec = kind.toLatin1().split(' '); // "alac in MP4", "moov last"
    return {AudioFiles::mp4(codec[0] == "moov" ? "mp4a" : codec[0].constData(), codec[0] == "moov"),
            AudioFiles::kMp4Audio};
}

Picture coverPicture(QColor color) {
    return *CoverEmbedder::prepare(
        TestSupport::encoded(TestSupport::filled(QSize(64, 64), color), "jpeg"));
}

} // namespace

class TestEmbedding : public QObject {
    Q_OBJECT
private:
    QString m_folder;
    const Picture m_noisy = noisyPicture();

private Q_SLOTS:
    void init() {
        TestSupport::resetHome();
        m_folder = TestSupport::homeFolder().filePath(QStringLiteral("Album"));
        QDir().mkpath(m_folder);
    }
    void cleanup() {
        CoverFileWriter::CheckedRewrite::setFaultsForTesting({});
        // Nothing half-written is ever left beside the tracks.
        for (const QString& name : TestSupport::entries(m_folder)) {
            QVERIFY2(!name.startsWith(QLatin1String(".sleevanta")), qPrintable(name));
        }
    }

    // What goes into the files: small JPEGs and PNGs as they are, the rest
    // as JPEGs of the largest embedded size.
    void prepare_data() {
        TestSupport::columns<QSize, QByteArray, QByteArray, bool>("size", "format", "mime",
                                                                  "asItIs");
        TestSupport::row("small JPEG", QSize(800, 800), QByteArray("jpeg"),
                         QByteArray("image/jpeg"), true);
        TestSupport::row("large JPEG", QSize(3000, 2000), QByteArray("jpeg"),
                         QByteArray("image/jpeg"), false);
        TestSupport::row("small PNG", QSize(500, 500), QByteArray("png"), QByteArray("image/png"),
                         true);
        TestSupport::row("large PNG", QSize(1600, 1600), QByteArray("png"),
                         QByteArray("image/jpeg"), false);
        TestSupport::row("WebP", QSize(600, 600), QByteArray("webp"), QByteArray("image/jpeg"),
                         false);
        TestSupport::row("no picture", QSize(), QByteArray(), QByteArray(), false);
    }
    void prepare() {
        QFETCH(QSize, size);
        QFETCH(QByteArray, format);
        QFETCH(QByteArray, mime);
        QFETCH(bool, asItIs);
        const QByteArray cover =
            size.isValid()
                ? TestSupport::encoded(TestSupport::filled(size, Qt::red), format.constData())
                : QByteArray("<html>not found</html>");
        const auto picture = CoverEmbedder::prepare(cover, 1500);
        QCOMPARE(picture.has_value(), !mime.isEmpty());
        if (!picture) {
            return;
        }
        QCOMPARE(picture->mime, mime);
        QCOMPARE(picture->data == cover, asItIs);
        const QSize embedded = ImageCodec::pictureSize(picture->data);
        QCOMPARE(embedded, size.scaled(QSize(1500, 1500), Qt::KeepAspectRatio).boundedTo(size));
    }

    // Each format gets a front cover that reads back byte for byte; the audio,
    // the other tags and other pictures stay; a second cover goes in only on
    // request, replacing the first.
    void formats_data() {
        TestSupport::columns<QString, QString, int>("format", "setup", "id3Version");
        TestSupport::row("MP3 ID3v2.4, a back cover", QStringLiteral("mp3"), QStringLiteral("back"),
                         4);
        TestSupport::row("MP3 ID3v2.3 with ID3v1 and APE", QStringLiteral("mp3"),
                         QStringLiteral("v2.3+v1+ape"), 3);
        TestSupport::row("MP3 ID3v2.2", QStringLiteral("mp3"), QStringLiteral("v2.2"), 2);
        TestSupport::row("FLAC, a back cover", QStringLiteral("flac"), QStringLiteral("back"), 0);
        TestSupport::row("Ogg Vorbis", QStringLiteral("ogg"), QString(), 0);
        TestSupport::row("Opus", QStringLiteral("opus"), QString(), 0);
        TestSupport::row("MP4", QStringLiteral("m4a"), QString(), 0);
    }
    void formats() {
        QFETCH(QString, format);
        QFETCH(QString, setup);
        QFETCH(int, id3Version);
        const QString path = m_folder + "/01." + format;
        QVERIFY2(AudioFiles::write(path, format), "the encoder is missing");
        prepareTrack(path, setup);
        const QByteArray audio = AudioFiles::audioOf(path, format);
        QVERIFY(!audio.isEmpty());
        const QString artist = artistOf(path);
        const QStringList otherTags = otherTagsOf(path);
        const auto others = picturesOf(path);

        const Picture first = coverPicture(Qt::red);
        const auto firstResult = CoverEmbedder::embed(QFile::encodeName(path), first);
        QVERIFY2(firstResult.outcome == Outcome::Embedded, qPrintable(firstResult.error));
        QCOMPARE(picturesOf(path), others + Pictures({{kFront, first.data}}));
        QCOMPARE(AudioFiles::audioOf(path, format), audio);
        QCOMPARE(artistOf(path), artist);
        QCOMPARE(otherTagsOf(path), otherTags);
        if (id3Version > 0) {
            TagLib::MPEG::File mp3(QFile::encodeName(path).constData(), false);
            QCOMPARE(int(mp3.ID3v2Tag()->header()->majorVersion()), id3Version);
            if (setup == QLatin1String("v2.2")) {
                QCOMPARE(QString::fromStdString(mp3.tag()->title().to8Bit(true)),
                         QStringLiteral("Old Title"));
            }
        }

        const Picture second = coverPicture(Qt::blue);
        const QByteArray before = TestSupport::readFile(path);
        QCOMPARE(CoverEmbedder::embed(QFile::encodeName(path), second).outcome,
                 Outcome::AlreadyHad);
        QCOMPARE(TestSupport::readFile(path), before);
        QCOMPARE(CoverEmbedder::embed(QFile::encodeName(path), second, true).outcome,
                 Outcome::Embedded);
        QCOMPARE(picturesOf(path), others + Pictures({{kFront, second.data}}));
        QCOMPARE(AudioFiles::audioOf(path, format), audio);
    }

    // Files that are not rewritten, each as it was, with the reason.
    void leftAlone_data() {
        TestSupport::columns<QString, int, QString>("kind", "outcome", "reason");
        TestSupport::row("hard link", QStringLiteral("hardlink"), int(Outcome::Failed),
                         QStringLiteral("it has 2 links"));
        TestSupport::row("read-only", QStringLiteral("readonly"), int(Outcome::Failed),
                         QStringLiteral("read-only"));
        TestSupport::row("empty", QStringLiteral("empty"), int(Outcome::NotEmbeddable),
                         QStringLiteral("it holds no MP3 audio"));
        TestSupport::row("FLAC named .mp3", QStringLiteral("liar"), int(Outcome::NotEmbeddable),
                         QStringLiteral("its content is FLAC, not MP3"));
        TestSupport::row("not a sound file", QStringLiteral("text"), int(Outcome::NotEmbeddable),
                         QStringLiteral("cannot be embedded"));
        TestSupport::row("stopped before the rename", QStringLiteral("stopped"),
                         int(Outcome::Stopped), QStringLiteral("left as it was"));
    }
    void leftAlone() {
        QFETCH(QString, kind);
        QFETCH(int, outcome);
        QFETCH(QString, reason);
        const QString path = m_folder + (kind == QLatin1String("text") ? "/notes.txt" : "/01.mp3");
        if (kind == QLatin1String("liar")) {
            QVERIFY(AudioFiles::write(m_folder + "/real.flac", QStringLiteral("flac")));
            QVERIFY(QFile::rename(m_folder + "/real.flac", path));
        } else if (kind == QLatin1String("empty")) {
            QFile(path).open(QIODevice::WriteOnly);
        } else {
            QVERIFY(AudioFiles::write(path, kind == QLatin1String("text") ? "txt" : "mp3"));
        }
        if (kind == QLatin1String("hardlink")) {
            QCOMPARE(::link(QFile::encodeName(path).constData(),
                            QFile::encodeName(m_folder + "/02.mp3").constData()),
                     0);
        }
        if (kind == QLatin1String("readonly")) {
            QFile(path).setPermissions(QFileDevice::ReadOwner);
        }
        std::atomic<bool> stop{false};
        CoverFileWriter::CheckedRewrite::Faults faults;
        if (kind == QLatin1String("stopped")) {
            faults.beforeRename = [&stop] { stop = true; };
        }
        CoverFileWriter::CheckedRewrite::setFaultsForTesting(faults);
        const QByteArray before = TestSupport::readFile(path);
        const CoverEmbedder::Result result =
            CoverEmbedder::embed(QFile::encodeName(path), coverPicture(Qt::red), false, &stop);
        QCOMPARE(int(result.outcome), outcome);
        QVERIFY2(result.error.contains(reason), qPrintable(result.error));
        QCOMPARE(TestSupport::readFile(path), before);
    }

    // Files that break other embedders: each embedded and read back with its
    // audio and the bytes it must keep, or left alone with the reason.
    void oddFiles_data() {
        TestSupport::columns<QString, QString, int, QString>("kind", "name", "outcome", "reason");
        using TestSupport::row;
        const int embedded = int(Outcome::Embedded);
        const int refused = int(Outcome::NotEmbeddable);
        row("junk before the tag", QStringLiteral("junk"), QStringLiteral("mp3"), embedded,
            QString());
        row("a second tag and padding before the frames", QStringLiteral("second tag"),
            QStringLiteral("mp3"), embedded, QString());
        row("ID3v2.3 frames TagLib drops", QStringLiteral("v2.3 frames"), QStringLiteral("mp3"),
            embedded, QString());
        row("ID3v2.2 frames TagLib drops", QStringLiteral("v2.2 frames"), QStringLiteral("mp3"),
            embedded, QString());
        row("an unsynchronised tag", QStringLiteral("unsynchronised"), QStringLiteral("mp3"),
            refused, QStringLiteral("unsynchronised"));
        row("WAV with a false frame sync named .mp3", QStringLiteral("WAV"), QStringLiteral("mp3"),
            refused, QStringLiteral("its content is WAV, not MP3"));
        row("AIFF named .mp3", QStringLiteral("AIFF"), QStringLiteral("mp3"), refused,
            QStringLiteral("its content is AIFF, not MP3"));
        row("WavPack named .mp3", QStringLiteral("WavPack"), QStringLiteral("mp3"), refused,
            QStringLiteral("its content is WavPack, not MP3"));
        row("WMA named .mp3", QStringLiteral("ASF"), QStringLiteral("mp3"), refused,
            QStringLiteral("its content is ASF (WMA), not MP3"));
        row("one-minute Vorbis", QStringLiteral("long ogg"), QStringLiteral("ogg"), embedded,
            QString());
        row("one-minute Opus", QStringLiteral("long opus"), QStringLiteral("opus"), embedded,
            QString());
        row("chained Ogg", QStringLiteral("chained"), QStringLiteral("ogg"), embedded, QString());
        row("multiplexed Ogg", QStringLiteral("multiplexed"), QStringLiteral("ogg"), refused,
            QStringLiteral("several streams side by side"));
        row("ALAC in MP4", QStringLiteral("alac"), QStringLiteral("m4a"), embedded, QString());
        row("AC-3 in MP4", QStringLiteral("ac-3"), QStringLiteral("m4a"), embedded, QString());
        row("FLAC in MP4", QStringLiteral("fLaC"), QStringLiteral("m4a"), embedded, QString());
        row("MP4 with its moov last", QStringLiteral("moov last"), QStringLiteral("m4a"), embedded,
            QString());
        row("MP4 offset table longer than its box", QStringLiteral("long table"),
            QStringLiteral("m4a"), refused, QStringLiteral("claims more entries"));
        row("MP4 freeform atoms", QStringLiteral("freeform"), QStringLiteral("m4a"), embedded,
            QString());
    }
    void oddFiles() {
        QFETCH(QString, kind);
        QFETCH(QString, name);
        QFETCH(int, outcome);
        QFETCH(QString, reason);
        const OddFile odd = oddFile(kind, m_folder);
        QVERIFY(!odd.bytes.isEmpty());
        const QString path = m_folder + "/01." + name;
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(odd.bytes) == odd.bytes.size());
        file.close();
        const QByteArray audio =
            outcome == int(Outcome::Embedded) ? AudioFiles::audioOf(path, name) : QByteArray();
        const auto result = CoverEmbedder::embed(QFile::encodeName(path), m_noisy);
        QVERIFY2(int(result.outcome) == outcome, qPrintable(result.error));
        QVERIFY2(result.error.contains(reason), qPrintable(result.error));
        const QByteArray now = TestSupport::readFile(path);
        if (outcome != int(Outcome::Embedded)) {
            QCOMPARE(now, odd.bytes);
            return;
        }
        QVERIFY(!audio.isEmpty());
        QCOMPARE(AudioFiles::audioOf(path, name), audio);
        QVERIFY(now.contains(odd.kept));
        QVERIFY(picturesOf(path).contains({kFront, m_noisy.data}));
    }

    // Failures injected where they would lose audio or someone else's write:
    // the file stays as it was (and takes the other program's write), with
    // the reason.
    void faults_data() {
        TestSupport::columns<QString, QString, QString>("format", "fault", "reason");
        using TestSupport::row;
        const QString full = QStringLiteral("not enough space on the disk of");
        row("full disk while an MP3's audio is copied", QStringLiteral("mp3"), QStringLiteral("2"),
            full);
        row("full disk while FLAC frames are copied", QStringLiteral("flac"), QStringLiteral("3"),
            full);
        row("full disk while TagLib writes an MP4", QStringLiteral("m4a"), QStringLiteral("2"),
            full);
        row("full disk while TagLib writes an Ogg file", QStringLiteral("ogg"), QStringLiteral("2"),
            full);
        const QString differs = QStringLiteral("the copy's audio differs");
        row("a copy damaged in an MP3's last frame", QStringLiteral("mp3"),
            QStringLiteral("damage"), differs);
        row("a copy damaged in FLAC frames", QStringLiteral("flac"), QStringLiteral("damage"),
            differs);
        row("a copy damaged in MP4 media data", QStringLiteral("m4a"), QStringLiteral("damage"),
            differs);
        row("a copy damaged in an Ogg packet", QStringLiteral("opus"), QStringLiteral("damage"),
            differs);
        row("a copy with a wrong Ogg checksum", QStringLiteral("ogg"), QStringLiteral("checksum"),
            QStringLiteral("the copy's Ogg pages have wrong checksums"));
        row("an attribute that cannot be set", QStringLiteral("flac"), QStringLiteral("attribute"),
            QStringLiteral("its extended attribute user.xdg.tags could not be carried over"));
        row("open for writing in another program", QStringLiteral("mp3"), QStringLiteral("open"),
            QStringLiteral("it is open for writing in another program"));
        row("opened for writing during the rewrite", QStringLiteral("opus"),
            QStringLiteral("break"),
            QStringLiteral("another program opened it for writing; it was left as it was"));
    }
    void faults() {
        QFETCH(QString, format);
        QFETCH(QString, fault);
        QFETCH(QString, reason);
        const QString path = m_folder + "/01." + format;
        QVERIFY(AudioFiles::write(path, format));
        const QByteArray native = QFile::encodeName(path);
        QCOMPARE(::setxattr(native.constData(), "user.xdg.tags", "live", 4, 0), 0);
        const QByteArray before = TestSupport::readFile(path);
        CoverFileWriter::CheckedRewrite::Faults faults;
        faults.failingWrite = fault.toInt();
        faults.attributeError = fault == QLatin1String("attribute") ? EIO : 0;
        faults.damageFromEnd = fault == QLatin1String("damage") ? 3 : 0;
        if (fault == QLatin1String("checksum")) { // the last page's, which the rewrite keeps
            faults.damageFromEnd = pagesOf(before).last().size() - 22;
        }
        std::thread writer;
        if (fault == QLatin1String("break")) {
            faults.beforeRename = [&] {
                // Breaks the lease at once; the writer's open waits for its release.
                QCOMPARE(::open(native.constData(), O_WRONLY | O_NONBLOCK), -1);
                writer = std::thread([native] {
                    const int fd = ::open(native.constData(), O_WRONLY | O_APPEND);
                    QCOMPARE(::write(fd, "APPENDED", 8), 8);
                    ::close(fd);
                });
            };
        }
        CoverFileWriter::CheckedRewrite::setFaultsForTesting(faults);
        const int holder =
            fault == QLatin1String("open") ? ::open(native.constData(), O_WRONLY) : -1;
        const auto result = CoverEmbedder::embed(native, coverPicture(Qt::red));
        if (writer.joinable()) {
            writer.join();
        }
        ::close(holder);
        QCOMPARE(result.outcome, Outcome::Failed);
        QVERIFY2(result.error.startsWith(reason), qPrintable(result.error));
        QCOMPARE(TestSupport::readFile(path),
                 before + (fault == QLatin1String("break") ? "APPENDED" : ""));
    }

    // Extended attributes and the ACL go with the file, where the file
    // system keeps them; one that keeps none is no failure.
    void attributes_data() {
        TestSupport::columns<int>("error");
        TestSupport::row("a file system that keeps them", 0);
        TestSupport::row("a file system that keeps none", int(ENOTSUP));
    }
    void attributes() {
        QFETCH(int, error);
        const QString path = m_folder + "/01.flac";
        QVERIFY(AudioFiles::write(path, QStringLiteral("flac")));
        const QByteArray native = QFile::encodeName(path);
        // user::rw-, user nobody r--, group::r--, mask::r--, other::r--
        const QByteArray acl =
            QByteArray::fromHex("02000000") + QByteArray::fromHex("01000600ffffffff") +
            QByteArray::fromHex("02000400feff0000") + QByteArray::fromHex("04000400ffffffff") +
            QByteArray::fromHex("10000400ffffffff") + QByteArray::fromHex("20000400ffffffff");
        const QList<std::pair<QByteArray, QByteArray>> attributes{{"user.xdg.tags", "cover,live"},
                                                                  {"user.baloo.rating", "8"},
                                                                  {"system.posix_acl_access", acl}};
        for (const auto& [name, value] : attributes) {
            if (::setxattr(native.constData(), name.constData(), value.constData(),
                           size_t(value.size()), 0) != 0) {
                QSKIP("This file system keeps no extended attributes or ACLs.");
            }
        }
        CoverFileWriter::CheckedRewrite::Faults faults;
        faults.attributeError = error;
        CoverFileWriter::CheckedRewrite::setFaultsForTesting(faults);
        QCOMPARE(CoverEmbedder::embed(native, coverPicture(Qt::red)).outcome, Outcome::Embedded);
        for (const auto& [name, value] : attributes) {
            QByteArray now(256, '\0');
            const ssize_t size =
                ::getxattr(native.constData(), name.constData(), now.data(), size_t(now.size()));
            QCOMPARE(size >= 0 ? now.left(size) : QByteArray(), error ? QByteArray() : value);
        }
    }

    // A link's target is the file changed; the link stays a link.
    void throughASymbolicLink() {
        const QString target = m_folder + "/01.flac";
        QVERIFY(AudioFiles::write(target, QStringLiteral("flac")));
        const QString link = TestSupport::homeFolder().filePath(QStringLiteral("link.flac"));
        QVERIFY(QFile::link(target, link));
        const Picture cover = coverPicture(Qt::green);
        QCOMPARE(CoverEmbedder::embed(QFile::encodeName(link), cover).outcome, Outcome::Embedded);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(picturesOf(target), Pictures({{kFront, cover.data}}));
    }
};

SLEEVANTA_TEST_MAIN(TestEmbedding, QGuiApplication)
#include "tst_embedding.moc"

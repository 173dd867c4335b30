// Covers embedded into audio files: every format as players read it back, the
// audio and the other tags as they were, and files that are left alone.
#include "AudioFiles.h"
#include "CheckedRewrite.h"
#include "CoverEmbedder.h"
#include "ImageCodec.h"
#include "TestSupport.h"

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

Picture coverPicture(QColor color) {
    return *CoverEmbedder::prepare(
        TestSupport::encoded(TestSupport::filled(QSize(64, 64), color), "jpeg"));
}

} // namespace

class TestEmbedding : public QObject {
    Q_OBJECT
private:
    QString m_folder;

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

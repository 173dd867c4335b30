#include "TagReader.h"

#include <QElapsedTimer>

#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tfilestream.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

namespace {

// A file stream that ends early: when the run stops, when the budget of bytes
// is spent, or when the time is up. TagLib takes an empty read for the end of
// the file and gives up its search.
class BoundedStream : public TagLib::FileStream {
public:
    BoundedStream(const char* path, const std::atomic<bool>& stop, int timeLimitMs)
        : TagLib::FileStream(path, true), m_stop(stop), m_timeLimitMs(timeLimitMs) {
        m_clock.start();
    }

    TagLib::ByteVector readBlock(unsigned long length) override {
        if (m_stop.load()) {
            m_ended = TrackTags::Read::Stopped;
        } else if (m_clock.elapsed() > m_timeLimitMs) {
            m_ended = TrackTags::Read::Slow;
        }
        if (m_ended != TrackTags::Read::Whole || m_read >= TagReader::kReadBudgetBytes) {
            return {};
        }
        m_read += qint64(length);
        return TagLib::FileStream::readBlock(length);
    }

    TrackTags::Read ended() const { return m_ended; }

private:
    const std::atomic<bool>& m_stop;
    int m_timeLimitMs;
    QElapsedTimer m_clock;
    qint64 m_read = 0;
    TrackTags::Read m_ended = TrackTags::Read::Whole;
};

QString text(const TagLib::String& value) {
    return QString::fromStdString(value.to8Bit(true)).trimmed();
}

QString property(const TagLib::PropertyMap& properties, const char* key) {
    return text(properties[key].toString());
}

bool isFrontOrOther(int type) {
    return type == TagLib::FLAC::Picture::FrontCover || type == TagLib::FLAC::Picture::Other;
}

bool hasFrontPicture(TagLib::List<TagLib::FLAC::Picture*> pictures) {
    for (const TagLib::FLAC::Picture* picture : pictures) {
        if (isFrontOrOther(picture->type())) {
            return true;
        }
    }
    return false;
}

// Whether the file carries its cover, and whether one could be put there.
void readPictures(TagLib::File* file, TrackTags& tags) {
    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file)) {
        tags.embeddable = true;
        if (mpeg->hasID3v2Tag()) {
            for (const TagLib::ID3v2::Frame* frame : mpeg->ID3v2Tag()->frameListMap()["APIC"]) {
                const auto* picture =
                    dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frame);
                tags.hasFrontCover |= picture && isFrontOrOther(picture->type());
            }
        }
    } else if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file)) {
        tags.embeddable = true;
        tags.hasFrontCover = hasFrontPicture(flac->pictureList());
    } else if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(file)) {
        tags.embeddable = true;
        const TagLib::MP4::Tag* tag = mp4->tag();
        tags.hasFrontCover =
            tag && tag->contains("covr") && !tag->item("covr").toCoverArtList().isEmpty();
        if (tag) {
            tags.collectionId = tag->contains("plID") ? tag->item("plID").toLongLong() : 0;
            tags.artistId = tag->contains("atID") ? tag->item("atID").toUInt() : 0;
            const int rating = tag->contains("rtng") ? tag->item("rtng").toByte() : 0;
            tags.explicitness = rating == 1 || rating == 4 ? QStringLiteral("explicit")
                                : rating == 2              ? QStringLiteral("cleaned")
                                                           : QString();
        }
    } else if (auto* vorbis = dynamic_cast<TagLib::Ogg::Vorbis::File*>(file)) {
        tags.embeddable = true;
        tags.hasFrontCover = vorbis->tag() && hasFrontPicture(vorbis->tag()->pictureList());
    } else if (auto* opus = dynamic_cast<TagLib::Ogg::Opus::File*>(file)) {
        tags.embeddable = true;
        tags.hasFrontCover = opus->tag() && hasFrontPicture(opus->tag()->pictureList());
    }
}

} // namespace

TagReader::TagReader(const std::atomic<bool>& stop, int timeLimitMs)
    : m_stop(stop), m_timeLimitMs(timeLimitMs) {}

TrackTags TagReader::read(const QByteArray& nativePath) const {
    TrackTags tags;
    BoundedStream stream(nativePath.constData(), m_stop, m_timeLimitMs);
    if (!stream.isOpen()) {
        return tags;
    }
    const TagLib::FileRef ref(&stream, false);
    if (stream.ended() != TrackTags::Read::Whole) {
        tags.read = stream.ended();
        return tags;
    }
    if (ref.isNull() || !ref.tag()) {
        return tags;
    }
    tags.read = TrackTags::Read::Whole;
    const TagLib::Tag* tag = ref.tag();
    tags.artist = text(tag->artist());
    tags.album = text(tag->album());
    tags.year = int(tag->year());
    const TagLib::PropertyMap properties = ref.file()->properties();
    tags.albumArtist = property(properties, "ALBUMARTIST");
    tags.disc = property(properties, "DISCNUMBER").section(QLatin1Char('/'), 0, 0).toInt();
    tags.compilation = property(properties, "COMPILATION") == QLatin1String("1");
    tags.barcode = property(properties, "BARCODE");
    const QString advisory = property(properties, "ITUNESADVISORY");
    tags.explicitness = advisory == QLatin1String("1")   ? QStringLiteral("explicit")
                        : advisory == QLatin1String("2") ? QStringLiteral("cleaned")
                                                         : QString();
    readPictures(ref.file(), tags);
    return tags;
}

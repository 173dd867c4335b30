#include "library/TagReader.h"

#include "imaging/ImageCodec.h"
#include "library/formats/AudioFormat.h"
#include "library/formats/FdStream.h"

#include <QElapsedTimer>

#include <taglib/tag.h>
#include <taglib/tfile.h>
#include <taglib/tpropertymap.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

// A file stream that ends early: when the run stops, when the budget of bytes
// is spent, or when the time is up. TagLib takes an empty read for the end of
// the file and gives up its search.
class BoundedStream : public FdStream {
public:
    BoundedStream(int fd, const QByteArray& path, const std::atomic<bool>& stop, int timeLimitMs)
        : FdStream(fd, path), m_stop(stop), m_timeLimitMs(timeLimitMs) {
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
        return FdStream::readBlock(length);
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

QString propertyText(const TagLib::PropertyMap& properties, const char* key) {
    return text(properties[key].toString());
}

// Closes the file when the read is over, however it ends.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

} // namespace

TagReader::TagReader(const std::atomic<bool>& stop, int timeLimitMs, bool pictureSizes)
    : m_stop(stop), m_timeLimitMs(timeLimitMs), m_pictureSizes(pictureSizes) {}

std::optional<QByteArray> TagReader::frontCoverOf(const QByteArray& nativePath) const {
    const AudioFormat* format =
        AudioFormats::byFileName(nativePath.mid(nativePath.lastIndexOf('/') + 1));
    const Descriptor file{format ? ::open(nativePath.constData(), O_RDONLY | O_CLOEXEC) : -1};
    if (file.fd < 0) {
        return std::nullopt;
    }
    BoundedStream stream(file.fd, nativePath, m_stop, m_timeLimitMs);
    const std::unique_ptr<TagLib::File> opened = format->open(&stream);
    if (stream.ended() != TrackTags::Read::Whole || !opened || !opened->isValid()) {
        return std::nullopt;
    }
    return format->frontCover(opened.get());
}

TrackTags TagReader::tagsOf(const QByteArray& nativePath) const {
    TrackTags tags;
    const AudioFormat* format =
        AudioFormats::byFileName(nativePath.mid(nativePath.lastIndexOf('/') + 1));
    const Descriptor file{format ? ::open(nativePath.constData(), O_RDONLY | O_CLOEXEC) : -1};
    if (file.fd < 0) {
        return tags;
    }
    BoundedStream stream(file.fd, nativePath, m_stop, m_timeLimitMs);
    const std::unique_ptr<TagLib::File> opened = format->open(&stream);
    if (stream.ended() != TrackTags::Read::Whole) {
        tags.read = stream.ended();
        return tags;
    }
    if (!opened || !opened->isValid() || !opened->tag()) {
        return tags;
    }
    tags.read = TrackTags::Read::Whole;
    const TagLib::Tag* tag = opened->tag();
    tags.artist = text(tag->artist());
    tags.album = text(tag->album());
    tags.year = int(tag->year());
    const TagLib::PropertyMap properties = opened->properties();
    tags.albumArtist = propertyText(properties, "ALBUMARTIST");
    tags.disc = propertyText(properties, "DISCNUMBER").section(QLatin1Char('/'), 0, 0).toInt();
    tags.compilation = propertyText(properties, "COMPILATION") == QLatin1String("1");
    tags.barcode = propertyText(properties, "BARCODE");
    const QString advisory = propertyText(properties, "ITUNESADVISORY");
    tags.explicitness = advisory == QLatin1String("1")   ? QStringLiteral("explicit")
                        : advisory == QLatin1String("2") ? QStringLiteral("cleaned")
                                                         : QString();
    tags.embeddable = format->takesPictures();
    format->readExtras(opened.get(), tags);
    if (m_pictureSizes && tags.hasFrontCover) {
        // Already in memory with the tags: only its header is read.
        tags.frontCoverSize =
            ImageCodec::pictureSize(format->frontCover(opened.get()).value_or(QByteArray()));
    }
    return tags;
}

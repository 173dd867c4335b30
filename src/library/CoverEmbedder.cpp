#include "library/CoverEmbedder.h"

#include "imaging/CheckedRewrite.h"
#include "imaging/CoverFileWriter.h"
#include "imaging/ImageCodec.h"
#include "library/formats/FdStream.h"
#include "library/formats/FileBytes.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageWriter>

#include <taglib/tfile.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace CoverEmbedder {

namespace {

// No album's track is this large; a file that is would take minutes to copy.
constexpr qint64 kLargestAudioFile = 2LL * 1024 * 1024 * 1024;

Result failed(const QString& why) {
    return Result{Result::Outcome::Failed, why};
}

Result notEmbeddable(const QString& why) {
    return Result{Result::Outcome::NotEmbeddable, why};
}

// Why a file is not rewritten at all, from what the file system says of it.
std::optional<Result> refusal(const QByteArray& target) {
    struct stat info {};
    if (::stat(target.constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return failed(QCoreApplication::translate("CoverEmbedder", "it is no file"));
    }
    if (info.st_nlink > 1) {
        return failed(QCoreApplication::translate(
            "CoverEmbedder",
            "it has %Ln links; embedding would split them — embed through one name after "
            "breaking the links, or leave it",
            nullptr, int(info.st_nlink)));
    }
    if (info.st_uid != ::geteuid()) {
        return failed(QCoreApplication::translate("CoverEmbedder", "it belongs to another user"));
    }
    if (!(info.st_mode & S_IWUSR)) {
        return failed(QCoreApplication::translate("CoverEmbedder", "it is read-only"));
    }
    if (info.st_size > kLargestAudioFile) {
        return notEmbeddable(
            QCoreApplication::translate("CoverEmbedder", "it is larger than any track"));
    }
    return std::nullopt;
}

// The copy's front cover as TagLib reads it back: the picture itself.
bool readsBack(const AudioFormat& format, int copyFd, const Picture& picture) {
    FdStream stream(copyFd, "copy");
    const std::unique_ptr<TagLib::File> file = format.open(&stream);
    return file && file->isValid() && format.frontCover(file.get()) == picture.data;
}

} // namespace

std::optional<Picture> prepare(const QByteArray& cover, int maxSide) {
    const ImageCodec::PictureInfo info = ImageCodec::pictureInfo(cover);
    if (!info.size.isValid()) {
        return std::nullopt;
    }
    const bool small = std::max(info.size.width(), info.size.height()) <= maxSide;
    if (small && info.format == "jpeg") {
        const auto jpeg = ImageCodec::jpegImage(cover);
        return jpeg ? std::optional<Picture>(Picture{*jpeg, "image/jpeg"}) : std::nullopt;
    }
    if (small && info.format == "png") {
        return Picture{cover, "image/png"};
    }
    const QImage image = ImageCodec::decode(cover, QSize(maxSide, maxSide));
    if (image.isNull()) {
        return std::nullopt;
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(92);
    if (!writer.write(image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_RGB32)
                                              : image)) {
        return std::nullopt;
    }
    return Picture{jpeg, "image/jpeg"};
}

Result embed(const QByteArray& nativePath, const Picture& picture, bool replace,
             const std::atomic<bool>* stop) {
    // A link's target is the file to change, in the target's own folder.
    char resolved[PATH_MAX];
    if (!::realpath(nativePath.constData(), resolved)) {
        return failed(CoverFileWriter::systemError(errno));
    }
    const QByteArray target(resolved);
    if (const auto refused = refusal(target)) {
        return *refused;
    }
    const AudioFormat* format = AudioFormats::byFileName(target.mid(target.lastIndexOf('/') + 1));
    if (!format) {
        return notEmbeddable(
            QCoreApplication::translate("CoverEmbedder", "covers cannot be embedded in it"));
    }
    if (!format->takesPictures()) {
        return notEmbeddable(
            QCoreApplication::translate("CoverEmbedder", "covers are not embedded into %1 files")
                .arg(format->name()));
    }
    CoverFileWriter::CheckedRewrite rewrite(target, stop);
    if (!rewrite.ok()) {
        return failed(rewrite.error());
    }
    const FileBytes original(rewrite.originalFd());
    const AudioFormat* content = AudioFormats::byContent(original);
    if (!content) {
        return notEmbeddable(QCoreApplication::translate("CoverEmbedder", "it holds no %1 audio")
                                 .arg(format->name()));
    }
    if (content != format) {
        return notEmbeddable(
            QCoreApplication::translate("CoverEmbedder", "its content is %1, not %2")
                .arg(content->name(), format->name()));
    }
    AudioFormat::Embedding job{original, rewrite, picture, replace};
    const EmbedStep step = format->embed(job);
    const bool stopped = stop && stop->load();
    switch (step.outcome) {
    case EmbedStep::Outcome::AlreadyHad:
        return Result{Result::Outcome::AlreadyHad, {}};
    case EmbedStep::Outcome::NotEmbeddable:
        return notEmbeddable(step.reason);
    case EmbedStep::Outcome::Failed:
        return stopped ? Result{Result::Outcome::Stopped, step.reason} : failed(step.reason);
    case EmbedStep::Outcome::Written:
        break;
    }
    if (!readsBack(*format, rewrite.copyFd(), picture)) {
        return failed(
            QCoreApplication::translate("CoverEmbedder", "the copy's picture does not read back"));
    }
    if (!rewrite.commit()) {
        return stop && stop->load() ? Result{Result::Outcome::Stopped, rewrite.error()}
                                    : failed(rewrite.error());
    }
    return Result{Result::Outcome::Embedded, {}};
}

} // namespace CoverEmbedder

// MP4 (M4A): TagLib puts the "covr" item into the copy and moves what must
// move; the check walks both files' boxes. The media data must be the same
// byte for byte, every chunk offset must point where it pointed (moved by as
// much as its media data moved), every other box must be the same, and every
// item of the tags but the cover must keep its bytes.
#include "catalogue/MediaTables.h"
#include "imaging/CheckedRewrite.h"
#include "library/TagReader.h"
#include "library/formats/Families.h"
#include "library/formats/FdStream.h"
#include "library/formats/FileBytes.h"
#include "library/formats/Mp4Boxes.h"

#include <taglib/mp4file.h>

#include <algorithm>

#include <QCoreApplication>

namespace {

using namespace Mp4Boxes;

// What the check leaves to the rewrite: the tags and their handler, the
// padding, and the containers, whose sizes change.
bool mayChange(const Box& box) {
    return box.container || box.type == "free" || box.type == "skip" ||
           box.path.startsWith("moov/udta/meta/ilst/") || box.path == "moov/udta/meta/hdlr" ||
           isOffsetTable(box) || box.type == "mdat";
}

// Why the media data or the offsets do not hold; empty when the original's
// offsets all point into its top-level boxes.
QString offsetProblem(const FileBytes& file, const Boxes& boxes) {
    const QList<Box> top = topLevel(boxes);
    for (const Box& box : boxes.all) {
        if (!isOffsetTable(box)) {
            continue;
        }
        for (const quint64 offset : offsetsIn(file, box)) {
            const bool inside = std::any_of(top.begin(), top.end(), [offset](const Box& b) {
                return offset >= quint64(b.offset) && offset < quint64(b.offset + b.size);
            });
            if (!inside) {
                return QCoreApplication::translate(
                    "AudioFormats", "its chunk offsets point outside the file's boxes");
            }
        }
    }
    return {};
}

QList<QByteArray> typesOf(const QList<Box>& top) {
    QList<QByteArray> types;
    for (const Box& b : top) {
        if (b.type != "free" && b.type != "skip") {
            types.append(b.type);
        }
    }
    return types;
}

// Where a top-level box went in the copy, padding aside: the same type, the
// same rank among boxes of that type.
const Box* counterpart(const QList<Box>& oldTop, const QList<Box>& newTop, const Box& old) {
    const auto rank = std::count_if(oldTop.begin(), oldTop.end(), [&](const Box& b) {
        return b.type == old.type && b.offset < old.offset;
    });
    int seen = 0;
    for (const Box& b : newTop) {
        if (b.type == old.type && seen++ == rank) {
            return &b;
        }
    }
    return nullptr;
}

// Every leaf that may not change is byte for byte where it was.
QString compareLeaves(const FileBytes& original, const Boxes& before, const FileBytes& copy,
                      const Boxes& after) {
    auto keptLeaves = [](const Boxes& boxes) {
        QList<const Box*> leaves;
        for (const Box& b : boxes.all) {
            if (!isOffsetTable(b) && !mayChange(b)) {
                leaves.append(&b);
            }
        }
        return leaves;
    };
    const QList<const Box*> oldLeaves = keptLeaves(before);
    const QList<const Box*> newLeaves = keptLeaves(after);
    if (oldLeaves.size() != newLeaves.size()) {
        return QCoreApplication::translate("AudioFormats", "the copy's boxes differ");
    }
    for (qsizetype i = 0; i < oldLeaves.size(); ++i) {
        const Box& a = *oldLeaves[i];
        const Box& b = *newLeaves[i];
        if (a.path != b.path || a.size != b.size ||
            !copy.sameAs(b.offset, original, a.offset, a.size)) {
            return QCoreApplication::translate("AudioFormats", "the copy's %1 box differs")
                .arg(QString::fromLatin1(a.path));
        }
    }
    return {};
}

// Every chunk offset moved exactly as far as the box it points into.
QString compareOffsets(const FileBytes& original, const Boxes& before, const FileBytes& copy,
                       const Boxes& after) {
    auto tables = [](const Boxes& boxes) {
        QList<const Box*> found;
        for (const Box& b : boxes.all) {
            if (isOffsetTable(b)) {
                found.append(&b);
            }
        }
        return found;
    };
    const QList<const Box*> oldTables = tables(before);
    const QList<const Box*> newTables = tables(after);
    if (oldTables.size() != newTables.size()) {
        return QCoreApplication::translate("AudioFormats", "the copy's chunk offsets differ");
    }
    const QList<Box> oldTop = topLevel(before);
    const QList<Box> newTop = topLevel(after);
    for (qsizetype t = 0; t < oldTables.size(); ++t) {
        const QList<quint64> oldOffsets = offsetsIn(original, *oldTables[t]);
        const QList<quint64> newOffsets = offsetsIn(copy, *newTables[t]);
        if (oldOffsets.size() != newOffsets.size()) {
            return QCoreApplication::translate("AudioFormats", "the copy's chunk offsets differ");
        }
        for (qsizetype i = 0; i < oldOffsets.size(); ++i) {
            const quint64 offset = oldOffsets[i];
            const auto home = std::find_if(oldTop.begin(), oldTop.end(), [offset](const Box& b) {
                return offset >= quint64(b.offset) && offset < quint64(b.offset + b.size);
            });
            const Box* moved = home == oldTop.end() ? nullptr : counterpart(oldTop, newTop, *home);
            if (!moved || newOffsets[i] != offset + quint64(moved->offset - home->offset)) {
                return QCoreApplication::translate(
                    "AudioFormats", "the copy's chunk offsets no longer point at its audio");
            }
        }
    }
    return {};
}

QString compare(const FileBytes& original, const Boxes& before, const FileBytes& copy,
                const Boxes& after) {
    const QList<Box> oldTop = topLevel(before);
    const QList<Box> newTop = topLevel(after);
    if (typesOf(oldTop) != typesOf(newTop)) {
        return QCoreApplication::translate("AudioFormats", "the copy's boxes differ");
    }
    for (const Box& old : oldTop) {
        const Box* now = counterpart(oldTop, newTop, old);
        if (old.type == "mdat" && (!now || now->size != old.size ||
                                   !copy.sameAs(now->offset, original, old.offset, old.size))) {
            return QCoreApplication::translate("AudioFormats", "the copy's audio differs");
        }
    }
    if (QString problem = compareLeaves(original, before, copy, after); !problem.isEmpty()) {
        return problem;
    }
    return compareOffsets(original, before, copy, after);
}

// The tags' items but the cover, as bytes, in order of their bytes.
QList<QByteArray> itemsBesidesCover(const FileBytes& file, const Boxes& boxes) {
    QList<QByteArray> items;
    for (const Box& box : boxes.all) {
        if (box.path.startsWith("moov/udta/meta/ilst/") && box.type != "covr") {
            items.append(file.read(box.offset, box.size));
        }
    }
    std::sort(items.begin(), items.end());
    return items;
}

bool hasCover(TagLib::MP4::File& file) {
    const TagLib::MP4::Tag* tag = file.tag();
    return tag && tag->contains("covr") && !tag->item("covr").toCoverArtList().isEmpty();
}

class Mp4Format : public AudioFormat {
public:
    QString name() const override { return QStringLiteral("MP4"); }
    QList<QByteArray> extensions() const override { return {"m4a", "mp4", "m4b"}; }
    bool announcedBy(const QByteArray& head) const override { return head.mid(4, 4) == "ftyp"; }
    std::unique_ptr<TagLib::File> open(TagLib::IOStream* stream) const override {
        return std::make_unique<TagLib::MP4::File>(stream, false);
    }
    bool takesPictures() const override { return true; }

    void readExtras(TagLib::File* file, TrackTags& tags) const override {
        auto* mp4 = static_cast<TagLib::MP4::File*>(file);
        const TagLib::MP4::Tag* tag = mp4->tag();
        tags.hasFrontCover = hasCover(*mp4);
        if (!tag) {
            return;
        }
        tags.collectionId = tag->contains("plID") ? tag->item("plID").toLongLong() : 0;
        tags.artistId = tag->contains("atID") ? tag->item("atID").toUInt() : 0;
        if (tag->contains("sfID")) {
            tags.storefront = MediaTables::countryOfStorefrontId(tag->item("sfID").toUInt());
        }
        const int rating = tag->contains("rtng") ? tag->item("rtng").toByte() : 0;
        tags.explicitness = rating == 1 || rating == 4 ? QStringLiteral("explicit")
                            : rating == 2              ? QStringLiteral("cleaned")
                                                       : QString();
    }

    std::optional<QByteArray> frontCover(TagLib::File* file) const override {
        auto* mp4 = static_cast<TagLib::MP4::File*>(file);
        if (!hasCover(*mp4)) {
            return std::nullopt;
        }
        const TagLib::ByteVector bytes = mp4->tag()->item("covr").toCoverArtList().front().data();
        return QByteArray(bytes.data(), qsizetype(bytes.size()));
    }

    EmbedStep embed(Embedding& job) const override {
        const FileBytes& original = job.original;
        const Boxes before = boxesOf(original);
        const QList<Box> top = topLevel(before);
        const auto has = [&top](const char* type) {
            return std::any_of(top.begin(), top.end(),
                               [type](const Box& b) { return b.type == type; });
        };
        if (!before.problem.isEmpty()) {
            return FormatChecks::notEmbeddable(before.problem);
        }
        if (!has("moov") || !has("mdat")) {
            return FormatChecks::notEmbeddable(
                QCoreApplication::translate("AudioFormats", "it holds no MP4 audio"));
        }
        if (const QString problem = offsetProblem(original, before); !problem.isEmpty()) {
            return FormatChecks::notEmbeddable(problem);
        }
        if (const QString problem = tableProblem(original); !problem.isEmpty()) {
            return FormatChecks::notEmbeddable(problem);
        }
        {
            FdStream stream(original.fd(), "original.m4a");
            TagLib::MP4::File file(&stream, false);
            if (!file.isValid() || !file.tag()) {
                return FormatChecks::notEmbeddable(
                    QCoreApplication::translate("AudioFormats", "TagLib cannot read its tags"));
            }
            if (hasCover(file) && !job.replace) {
                return {EmbedStep::Outcome::AlreadyHad, {}, 0};
            }
        }
        CoverFileWriter::CheckedRewrite& rewrite = job.rewrite;
        if (!rewrite.createCopy() || !rewrite.copyFromOriginal(0, original.size(), 0)) {
            return FormatChecks::failed(rewrite, {});
        }
        {
            FdStream stream(rewrite.copyFd(), "copy.m4a", &rewrite);
            TagLib::MP4::File file(&stream, false);
            TagLib::MP4::CoverArtList covers;
            covers.append(
                TagLib::MP4::CoverArt(job.picture.mime == "image/png" ? TagLib::MP4::CoverArt::PNG
                                                                      : TagLib::MP4::CoverArt::JPEG,
                                      TagLib::ByteVector(job.picture.data.constData(),
                                                         unsigned(job.picture.data.size()))));
            if (!file.isValid() || !file.tag()) {
                return FormatChecks::failed(
                    rewrite,
                    QCoreApplication::translate("AudioFormats", "the copy could not be read"));
            }
            file.tag()->setItem("covr", covers);
            if (!file.save()) {
                return FormatChecks::failed(
                    rewrite,
                    QCoreApplication::translate("AudioFormats", "the tags could not be written"));
            }
        }
        const FileBytes copy(rewrite.copyFd());
        if (!rewrite.flush(copy.size())) {
            return FormatChecks::failed(rewrite, {});
        }
        const Boxes after = boxesOf(copy);
        QString problem =
            after.problem.isEmpty() ? compare(original, before, copy, after) : after.problem;
        if (problem.isEmpty() &&
            itemsBesidesCover(original, before) != itemsBesidesCover(copy, after)) {
            problem = QCoreApplication::translate(
                "AudioFormats", "TagLib would not keep its other tags as they are");
        }
        if (!problem.isEmpty()) {
            return FormatChecks::failed(rewrite, problem);
        }
        return {EmbedStep::Outcome::Written, {}, copy.size()};
    }
};

} // namespace

const AudioFormat& mp4Format() {
    static const Mp4Format format;
    return format;
}

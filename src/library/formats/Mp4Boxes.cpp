#include "library/formats/Mp4Boxes.h"

#include "library/formats/FileBytes.h"

#include <algorithm>

#include <QCoreApplication>

namespace Mp4Boxes {

namespace {

bool isContainer(const QByteArray& type) {
    static const QList<QByteArray> containers{"moov", "trak", "mdia", "minf", "stbl",
                                              "udta", "edts", "dinf", "mvex", "moof",
                                              "traf", "meta", "ilst"};
    return containers.contains(type);
}

quint64 bigEndian(const QByteArray& bytes, qsizetype at, int count) {
    quint64 value = 0;
    for (int i = 0; i < count && at + i < bytes.size(); ++i) {
        value = value << 8 | quint8(bytes[at + i]);
    }
    return value;
}

void walk(const FileBytes& file, qint64 begin, qint64 end, const QByteArray& parent, int depth,
          Boxes& boxes) {
    for (qint64 at = begin; at + 8 <= end && boxes.problem.isEmpty();) {
        const QByteArray head = file.read(at, 16);
        Box box;
        box.type = head.mid(4, 4);
        box.path = parent.isEmpty() ? box.type : parent + '/' + box.type;
        box.offset = at;
        box.size = qint64(bigEndian(head, 0, 4));
        if (box.size == 1) {
            box.header = 16;
            box.size = qint64(bigEndian(head, 8, 8));
        } else if (box.size == 0) {
            box.size = end - at;
        }
        if (box.size < box.header || at + box.size > end || boxes.all.size() > 100000) {
            boxes.problem =
                QCoreApplication::translate("AudioFormats", "its MP4 structure is damaged");
            return;
        }
        // The items of the tags are compared whole; the rest is walked into.
        box.container = depth < 12 && isContainer(box.type) && !parent.endsWith("ilst");
        boxes.all.append(box);
        if (box.container) {
            qint64 children = at + box.header;
            // A full box in files of the ISO family, a plain one in QuickTime's.
            if (box.type == "meta" && file.read(children + 4, 4) != "hdlr") {
                children += 4;
            }
            walk(file, children, at + box.size, box.path, depth + 1, boxes);
        }
        at += box.size;
    }
}

// TagLib rewrites every chunk offset table under moov trusting the table's
// own count: a count larger than its box has it write billions of entries.
// Its tree is walked here as TagLib walks it, into more kinds of boxes than
// the check descends into.
QString tablesUnder(const FileBytes& file, qint64 begin, qint64 end, int depth) {
    static const QList<QByteArray> taglibContainers{"moov", "udta", "mdia", "meta", "ilst", "stbl",
                                                    "minf", "moof", "traf", "trak", "stsd"};
    for (qint64 at = begin; at < end;) {
        const QByteArray head = file.read(at, 16);
        qint64 header = 8;
        qint64 size = qint64(bigEndian(head, 0, 4));
        if (size == 1) {
            header = 16;
            size = qint64(std::min<quint64>(bigEndian(head, 8, 8), quint64(file.size())));
        } else if (size == 0) {
            size = file.size() - at;
        }
        if (head.size() < 8 || size < 8) {
            return {}; // TagLib stops reading here
        }
        const QByteArray type = head.mid(4, 4);
        if (type == "stco" || type == "co64") {
            const qint64 count = qint64(bigEndian(file.read(at + 12, 4), 0, 4));
            if (16 + count * (type == "co64" ? 8 : 4) > size) {
                return QCoreApplication::translate(
                    "AudioFormats", "its chunk offset table claims more entries than it holds");
            }
        }
        if (taglibContainers.contains(type)) {
            qint64 children = at + header;
            if (type == "stsd") {
                children += 8;
            } else if (type == "meta") {
                static const QList<QByteArray> plain{"hdlr", "ilst", "mhdr", "ctry", "lang"};
                children += plain.contains(file.read(children + 4, 4)) ? 0 : 4;
            }
            if (depth > 64) {
                return QCoreApplication::translate("AudioFormats", "its MP4 structure is damaged");
            }
            if (QString problem = tablesUnder(file, children, at + size, depth + 1);
                !problem.isEmpty()) {
                return problem;
            }
        }
        at += size;
    }
    return {};
}

} // namespace

Boxes boxesOf(const FileBytes& file) {
    Boxes boxes;
    walk(file, 0, file.size(), {}, 0, boxes);
    return boxes;
}

QList<Box> topLevel(const Boxes& boxes) {
    QList<Box> top;
    std::copy_if(boxes.all.begin(), boxes.all.end(), std::back_inserter(top),
                 [](const Box& b) { return !b.path.contains('/'); });
    return top;
}

QList<quint64> offsetsIn(const FileBytes& file, const Box& box) {
    const QByteArray body = file.read(box.offset + box.header, box.size - box.header);
    QList<quint64> offsets;
    if (box.type == "tfhd") {
        if (bigEndian(body, 1, 3) & 1) { // base-data-offset-present
            offsets.append(bigEndian(body, 8, 8));
        }
        return offsets;
    }
    const int width = box.type == "co64" ? 8 : 4;
    const quint64 count = bigEndian(body, 4, 4);
    for (quint64 i = 0; i < count && 8 + qsizetype(i + 1) * width <= body.size(); ++i) {
        offsets.append(bigEndian(body, 8 + qsizetype(i) * width, width));
    }
    return offsets;
}

bool isOffsetTable(const Box& box) {
    return box.type == "stco" || box.type == "co64" || box.type == "tfhd";
}

QString tableProblem(const FileBytes& file) {
    return tablesUnder(file, 0, file.size(), 0);
}

} // namespace Mp4Boxes

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class FileBytes;

// The boxes of an MP4 file as the embedding check sees them, and what TagLib
// would do with its chunk offset tables.
namespace Mp4Boxes {

struct Box {
    QByteArray path; // "moov/trak/mdia", its own type last
    QByteArray type;
    qint64 offset = 0;
    qint64 header = 8;
    qint64 size = 0;
    bool container = false;
};

struct Boxes {
    QList<Box> all;
    QString problem;
};

Boxes boxesOf(const FileBytes& file);
QList<Box> topLevel(const Boxes& boxes);

// The chunk offsets of a table (stco, co64) or a fragment's base (tfhd).
QList<quint64> offsetsIn(const FileBytes& file, const Box& box);
bool isOffsetTable(const Box& box);

// Why TagLib must not be given the file to rewrite; empty when it may.
QString tableProblem(const FileBytes& file);

} // namespace Mp4Boxes

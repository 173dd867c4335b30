// libFuzzer target: the cover file-name builder with any format, names and
// options. The input is: one byte of option bits (the high five bits a year),
// then format, artist, collection and media kind separated by NUL bytes.
#include "settings/CoverFileName.h"

#include <QByteArray>
#include <QList>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const uint8_t options = data[0];
    const QList<QByteArray> parts =
        QByteArray(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1)).split('\0');
    const QString format = QString::fromUtf8(parts.value(0));
    const QString artist = QString::fromUtf8(parts.value(1));
    const QString collection = QString::fromUtf8(parts.value(2));
    const QString mediaKind = QString::fromUtf8(parts.value(3));
    const bool spaces = options & 1;
    const bool characters = options & 2;
    const bool lower = options & 4;
    const CoverFileName::NameFields fields{artist, collection, 1990 + (options >> 3), mediaKind};
    const QString name = CoverFileName::build(format, fields, spaces, characters, lower);
    // No path separator survives the characters option, nor comes from a
    // name into a format that was accepted.
    const bool accepted = !CoverFileName::formatProblem(format);
    if ((characters || accepted) && name.contains(QLatin1Char('/'))) {
        __builtin_trap();
    }
    if (spaces && name.contains(QLatin1Char(' '))) {
        __builtin_trap();
    }
    return 0;
}

// libFuzzer target: the cover file-name builder with any format, names and
// options. The input is: one byte of option bits, then format, artist and
// collection separated by NUL bytes.
#include "CoverFileName.h"

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
    const bool spaces = options & 1;
    const bool characters = options & 2;
    const bool lower = options & 4;
    const QString name =
        CoverFileName::build(format, artist, collection, spaces, characters, lower);
    // With the characters option on, no path separator survives.
    if (characters && name.contains(QLatin1Char('/'))) {
        __builtin_trap();
    }
    if (spaces && name.contains(QLatin1Char(' '))) {
        __builtin_trap();
    }
    return 0;
}

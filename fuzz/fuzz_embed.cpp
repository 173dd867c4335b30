// libFuzzer target: any bytes as an audio file of each family that takes
// pictures, through the content check, the format's own parsing, the copy
// and its byte-for-byte check. A file that is embedded must have changed and
// hold the picture; one that is not must be left as it was.
#include "library/CoverEmbedder.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QTemporaryDir folder;
    static const CoverEmbedder::Picture picture{QByteArray(64, 'P'), "image/jpeg"};
    if (size < 1) {
        return 0;
    }
    static const char* const names[] = {"a.mp3", "a.flac", "a.m4a", "a.ogg", "a.opus"};
    const QString path = QDir(folder.path()).filePath(QString::fromLatin1(names[data[0] % 5]));
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        return 0;
    }
    file.close();
    const auto result = CoverEmbedder::embed(QFile::encodeName(path), picture, data[0] & 0x80);
    QFile written(path);
    written.open(QIODevice::ReadOnly);
    const QByteArray now = written.readAll();
    const bool embedded = result.outcome == CoverEmbedder::Result::Outcome::Embedded;
    // Ogg comments carry the picture in base64; the other formats as it is.
    const bool plain =
        !path.endsWith(QLatin1String(".ogg")) && !path.endsWith(QLatin1String(".opus"));
    if (embedded == (now == bytes) || (embedded && plain && !now.contains(picture.data))) {
        __builtin_trap();
    }
    QFile::remove(path);
    return 0;
}

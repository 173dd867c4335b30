#include "imaging/ScreenCopies.h"

#include "imaging/ImageCodec.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>

ScreenCopies::ScreenCopies(QString folder) : m_folder(std::move(folder)) {}

QString ScreenCopies::pathOf(const QString& entryName) const {
    return m_folder + QLatin1Char('/') + entryName;
}

bool ScreenCopies::worthACopy(const QSize& size, const QSize& box) {
    return std::max(size.width(), size.height()) > kSide && !box.isEmpty() &&
           box.width() <= kSide && box.height() <= kSide;
}

std::optional<QImage> ScreenCopies::decode(const QString& entryName, const QSize& box) const {
    if (box.isEmpty() || box.width() > kSide || box.height() > kSide) {
        return std::nullopt;
    }
    QFile file(pathOf(entryName));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    // Its long side is kSide: it fills any box up to that.
    QImage image = ImageCodec::decode(file.readAll(), box);
    if (image.isNull()) {
        file.remove();
        return std::nullopt;
    }
    ::utimensat(AT_FDCWD, QFile::encodeName(file.fileName()).constData(), nullptr, 0);
    return image;
}

void ScreenCopies::make(const QString& entryName, const QByteArray& bytes) const {
    const QSize size = ImageCodec::pictureSize(bytes);
    if (std::max(size.width(), size.height()) <= kSide || !QDir().mkpath(m_folder)) {
        return;
    }
    const QImage image = ImageCodec::decode(bytes, QSize(kSide, kSide));
    if (image.isNull()) {
        return;
    }
    QSaveFile file(pathOf(entryName));
    if (!file.open(QIODevice::WriteOnly)) {
        return;
    }
    QImageWriter writer(&file, "jpeg");
    writer.setQuality(92);
    if (!writer.write(image) || !file.commit()) {
        file.cancelWriting();
    }
}

void ScreenCopies::remove(const QString& entryName) const {
    QFile::remove(pathOf(entryName));
}

void ScreenCopies::trim() const {
    QFileInfoList copies = QDir(m_folder).entryInfoList(QDir::Files, QDir::Time);
    // Newest first: the ones past the count go.
    for (qsizetype i = kMaxCount; i < copies.size(); ++i) {
        QFile::remove(copies[i].filePath());
    }
}

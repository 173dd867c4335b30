#include "ui/cover/CoverClipboard.h"

#include "imaging/ImageCodec.h"
#include "platform/Clipboard.h"

#include <QFile>
#include <QFutureWatcher>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

namespace CoverClipboard {

void copyImageFile(const QUrl& file, QObject* context, std::function<void()> copied) {
    auto* reading = new QFutureWatcher<QByteArray>(context);
    QObject::connect(
        reading, &QFutureWatcher<QByteArray>::finished, context, [context, reading, file, copied] {
            reading->deleteLater();
            const QByteArray jpeg = reading->result();
            Clipboard::general().writeFile(file, jpeg);
            copied();
            auto* encoding = new QFutureWatcher<QByteArray>(context);
            QObject::connect(encoding, &QFutureWatcher<QByteArray>::finished, context,
                             [encoding, file, jpeg] {
                                 encoding->deleteLater();
                                 Clipboard::general().addPng(file, jpeg, encoding->result());
                             });
            encoding->setFuture(QtConcurrent::run([jpeg] { return ImageCodec::pngData(jpeg); }));
        });
    reading->setFuture(QtConcurrent::run([path = file.toLocalFile()] {
        QFile jpeg(path);
        return jpeg.open(QIODevice::ReadOnly) ? jpeg.read(jpeg.size()) : QByteArray();
    }));
}

} // namespace CoverClipboard

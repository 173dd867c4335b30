#include "ui/cover/CoverClipboard.h"

#include "imaging/ImageCodec.h"
#include "platform/Clipboard.h"

#include <QFile>
#include <QFutureWatcher>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

namespace CoverClipboard {

void copyImageFile(Clipboard& clipboard, const QUrl& file, QObject* context,
                   std::function<void()> copied) {
    auto* reading = new QFutureWatcher<QByteArray>(context);
    QObject::connect(reading, &QFutureWatcher<QByteArray>::finished, context,
                     [&clipboard, context, reading, file, copied] {
                         reading->deleteLater();
                         const QByteArray jpeg = reading->result();
                         clipboard.writeFile(file, jpeg);
                         copied();
                         auto* encoding = new QFutureWatcher<QByteArray>(context);
                         QObject::connect(encoding, &QFutureWatcher<QByteArray>::finished, context,
                                          [&clipboard, encoding, file, jpeg] {
                                              encoding->deleteLater();
                                              clipboard.addPng(file, jpeg, encoding->result());
                                          });
                         encoding->setFuture(
                             QtConcurrent::run([jpeg] { return ImageCodec::pngData(jpeg); }));
                     });
    reading->setFuture(QtConcurrent::run([path = file.toLocalFile()] {
        QFile jpeg(path);
        return jpeg.open(QIODevice::ReadOnly) ? jpeg.read(jpeg.size()) : QByteArray();
    }));
}

} // namespace CoverClipboard

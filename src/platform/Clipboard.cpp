#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

class SystemClipboard : public Clipboard {
public:
    void writeFile(const QUrl& fileUrl, const QByteArray& jpegBytes) override {
        QGuiApplication::clipboard()->setMimeData(mimeDataForFile(fileUrl, jpegBytes));
    }
    void addPng(const QUrl& fileUrl, const QByteArray& jpegBytes, const QByteArray& png) override {
        const QMimeData* current = QGuiApplication::clipboard()->mimeData();
        if (png.isEmpty() || !current || current->urls() != QList<QUrl>{fileUrl} ||
            current->data(QStringLiteral("image/jpeg")) != jpegBytes) {
            return; // something else was copied meanwhile
        }
        QGuiApplication::clipboard()->setMimeData(mimeDataForFile(fileUrl, jpegBytes, png));
    }
    void writeText(const QString& text) override { QGuiApplication::clipboard()->setText(text); }
};

} // namespace

std::unique_ptr<Clipboard> Clipboard::system() {
    return std::make_unique<SystemClipboard>();
}

QMimeData* Clipboard::mimeDataForFile(const QUrl& fileUrl, const QByteArray& jpegBytes,
                                      const QByteArray& png) {
    auto* data = new QMimeData();
    data->setUrls({fileUrl});
    // GNOME's file managers paste files from this form.
    data->setData(QStringLiteral("x-special/gnome-copied-files"), "copy\n" + fileUrl.toEncoded());
    data->setText(fileUrl.toLocalFile());
    if (!jpegBytes.isEmpty()) {
        data->setData(QStringLiteral("image/jpeg"), jpegBytes);
    }
    // GIMP, LibreOffice and chat applications paste PNG.
    if (!png.isEmpty()) {
        data->setData(QStringLiteral("image/png"), png);
    }
    return data;
}

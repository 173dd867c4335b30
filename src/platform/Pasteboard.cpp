#include "Pasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

class SystemPasteboard : public Pasteboard {
public:
    void writeFile(const QUrl& fileUrl, const QByteArray& jpegBytes) override {
        QGuiApplication::clipboard()->setMimeData(mimeDataForFile(fileUrl, jpegBytes));
    }
    void writeText(const QString& text) override { QGuiApplication::clipboard()->setText(text); }
};

Pasteboard* g_override = nullptr;

} // namespace

Pasteboard& Pasteboard::general() {
    static SystemPasteboard system;
    return g_override ? *g_override : system;
}

void Pasteboard::setGeneralForTesting(Pasteboard* pasteboard) {
    g_override = pasteboard;
}

QMimeData* Pasteboard::mimeDataForFile(const QUrl& fileUrl, const QByteArray& jpegBytes) {
    auto* data = new QMimeData();
    data->setUrls({fileUrl});
    // GNOME's file managers paste files from this form.
    data->setData(QStringLiteral("x-special/gnome-copied-files"), "copy\n" + fileUrl.toEncoded());
    data->setText(fileUrl.toLocalFile());
    if (!jpegBytes.isEmpty()) {
        data->setData(QStringLiteral("image/jpeg"), jpegBytes);
    }
    return data;
}

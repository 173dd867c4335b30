#include "ui/common/AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace AppIcon {

QImage image(int size) {
    QImage out(size, size, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);

    // Background tile (matches data/icons/org.sleevanta.Sleevanta.svg).
    QLinearGradient tile(0, 16, 0, 240);
    tile.setColorAt(0, QColor(0x3B, 0x4A, 0x72));
    tile.setColorAt(1, QColor(0x1F, 0x27, 0x40));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(16, 16, 224, 224), 44, 44);

    // The record.
    p.setBrush(QColor(0x12, 0x12, 0x16));
    p.drawEllipse(QPointF(150, 128), 76, 76);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x3A, 0x3A, 0x44), 3));
    for (int r : {62, 50, 38}) {
        p.drawEllipse(QPointF(150, 128), r, r);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF2, 0x8C, 0x28));
    p.drawEllipse(QPointF(150, 128), 22, 22);
    p.setBrush(QColor(0x12, 0x12, 0x16));
    p.drawEllipse(QPointF(150, 128), 5, 5);

    // The sleeve in front of it.
    QLinearGradient sleeve(48, 60, 148, 196);
    sleeve.setColorAt(0, QColor(0xFF, 0xB3, 0x47));
    sleeve.setColorAt(1, QColor(0xE0, 0x5A, 0x2B));
    p.setBrush(sleeve);
    p.drawRoundedRect(QRectF(44, 60, 136, 136), 10, 10);
    p.setBrush(QColor(255, 255, 255, 70));
    p.drawRoundedRect(QRectF(64, 80, 60, 60), 6, 6);
    p.end();
    return out;
}

QIcon icon() {
    QIcon result;
    for (int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
        result.addPixmap(QPixmap::fromImage(image(size)));
    }
    return result;
}

QIcon drawnIcon(const std::function<void(QPainter&)>& draw) {
    QIcon result;
    for (int size : {16, 32}) {
        QImage out(size, size, QImage::Format_ARGB32_Premultiplied);
        out.fill(Qt::transparent);
        QPainter p(&out);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        draw(p);
        p.end();
        result.addPixmap(QPixmap::fromImage(out));
    }
    return result;
}

QIcon clearIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x80, 0x80, 0x80));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
        p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
    });
}

} // namespace AppIcon

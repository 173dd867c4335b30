#include "ImageView.h"

#include <QApplication>
#include <QPainter>
#include <QtTest>

namespace {

// Alternating black and white columns one pixel wide: any filtering greys them.
QImage stripes(const QSize& size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            line[x] = (x % 2) ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
        }
    }
    return image;
}

QImage halves(const QSize& size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter painter(&image);
    painter.fillRect(QRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height()),
                     Qt::blue);
    return image;
}

QImage grabbed(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestImageView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void drawsCentredWithoutEnlarging() {
        ImageView view;
        view.resize(300, 300);
        view.setImage(CoverImage{halves({100, 80}), {}});
        QCOMPARE(view.displayedImageRect(), QRect(100, 110, 100, 80));
        const QImage shot = grabbed(view);
        const qreal ratio = shot.devicePixelRatio();
        auto at = [&](int x, int y) { return shot.pixelColor(QPoint(x, y) * ratio); };
        QCOMPARE(at(120, 150), QColor(Qt::red));
        QCOMPARE(at(180, 150), QColor(Qt::blue));
        QVERIFY(at(50, 150) != QColor(Qt::red)); // outside the image: background
    }

    void largeImageIsScaledDownAndStaysSharp() {
        ImageView view;
        view.resize(300, 300);
        const qreal ratio = view.devicePixelRatioF();
        QCOMPARE(ratio, 2.0);
        // Exactly the view's size in device pixels: drawn one to one.
        const QImage source = stripes({600, 600});
        view.setImage(CoverImage{source, {}});
        const QImage shot = grabbed(view);
        QCOMPARE(shot.size(), QSize(600, 600));
        for (int x = 100; x < 108; ++x) {
            QCOMPARE(shot.pixel(x, 300), source.pixel(x, 300));
        }
    }

    void hugeImageIsScaledOffTheGuiThread() {
        ImageView view;
        view.resize(300, 300);
        view.show();
        view.setImage(CoverImage{halves({4000, 2000}), {}});
        QCOMPARE(view.displayedImageRect(), QRect(0, 75, 300, 150));
        // The first paint uses the original; the scaled copy follows.
        QImage shot = grabbed(view);
        QTest::qWait(50);
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                shot = grabbed(view);
                return shot.pixelColor(200, 300) == QColor(Qt::red) &&
                       shot.pixelColor(400, 300) == QColor(Qt::blue);
            }(),
            5000);
        QCOMPARE(shot.pixelColor(300, 100), view.palette().color(QPalette::Window));
    }
};

int main(int argc, char* argv[]) {
    // Covers must stay sharp on screens with two device pixels per point.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestImageView test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_imageview.moc"

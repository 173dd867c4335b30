// Decoding for the view and the JPEG bytes a cover is written as.
#include "ImageCodec.h"
#include "TestSupport.h"

using Fault = FixtureServer::Fault;

class TestImageCodec : public QObject {
    Q_OBJECT
private:
private Q_SLOTS:
    // Decoded for the view: never smaller than the pixels shown, never larger
    // than the picture.
    void decodedForTheView_data() {
        TestSupport::columns<QSize, QSize, QSize>("picture", "box", "decoded");
        TestSupport::row("large into a wide box", QSize(3000, 3000), QSize(800, 600),
                         QSize(600, 600));
        TestSupport::row("poster", QSize(600, 900), QSize(400, 400), QSize(267, 400));
        TestSupport::row("small picture", QSize(500, 500), QSize(800, 800), QSize(500, 500));
        TestSupport::row("no box", QSize(700, 300), QSize(), QSize(700, 300));
    }

    void decodedForTheView() {
        QFETCH(QSize, picture);
        QFETCH(QSize, box);
        QFETCH(QSize, decoded);
        QCOMPARE(ImageCodec::decodeSize(picture, box), decoded);
        const QByteArray jpeg =
            TestSupport::encoded(TestSupport::filled(picture, Qt::darkGreen), "jpeg");
        const CoverImage cover = ImageCodec::decodeCover(jpeg, box);
        QCOMPARE(cover.image.size(), decoded);
        QCOMPARE(cover.pictureSize(), picture);
        QCOMPARE(cover.encodedData, jpeg);
    }

    void coversAreWrittenAsJpeg_data() {
        TestSupport::columns<QByteArray, QColor>("format", "centre");
        TestSupport::row("JPEG bytes as they came", QByteArray("jpeg"), QColor(30, 160, 60));
        TestSupport::row("PNG", QByteArray("png"), QColor(30, 160, 60));
        TestSupport::row("alpha flattened onto white", QByteArray("png-alpha"), QColor(Qt::white));
    }

    void coversAreWrittenAsJpeg() {
        QFETCH(QByteArray, format);
        QFETCH(QColor, centre);
        const bool alpha = format.endsWith("alpha");
        const QImage image =
            TestSupport::filled({90, 60}, alpha ? QColor(Qt::transparent) : QColor(30, 160, 60),
                                alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        const QByteArray bytes = TestSupport::encoded(image, alpha ? "png" : format.constData());
        const auto jpeg = ImageCodec::jpegData(CoverImage{ImageCodec::decode(bytes), bytes});
        QVERIFY(jpeg && ImageCodec::isJpeg(*jpeg));
        if (format == "jpeg") {
            QCOMPARE(*jpeg, bytes);
        }
        const QColor written = ImageCodec::decode(*jpeg).pixelColor(45, 30);
        QVERIFY2(qAbs(written.red() - centre.red()) < 4 &&
                     qAbs(written.green() - centre.green()) < 4,
                 qPrintable(written.name()));
        QVERIFY(!ImageCodec::jpegData(CoverImage{QImage(), "not an image"}));
    }
};

SLEEVANTA_TEST_MAIN(TestImageCodec, QGuiApplication)
#include "tst_imagecodec.moc"

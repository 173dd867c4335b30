// Decoding for the view, pictures refused on their header's word, and the
// JPEG bytes a cover is written as.
#include "TestSupport.h"
#include "imaging/ImageCodec.h"
#include "imaging/PictureFacts.h"

#include <QPainter>

#include <sys/resource.h>

namespace {

QByteArray plainJpeg() {
    return TestSupport::encoded(TestSupport::filled({64, 48}, QColor(30, 160, 60)), "jpeg");
}

// A JPEG whose EXIF segment carries a thumbnail JPEG of its own, EOI and all.
QByteArray withThumbnail() {
    const QByteArray thumbnail = TestSupport::encoded(TestSupport::filled({8, 8}, Qt::red), "jpeg");
    const QByteArray payload = QByteArray("Exif\0\0", 6) + thumbnail;
    QByteArray segment("\xFF\xE1");
    segment.append(char((payload.size() + 2) >> 8)).append(char((payload.size() + 2) & 0xFF));
    return plainJpeg().insert(2, segment + payload);
}

QByteArray progressiveJpeg() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.write(TestSupport::filled({64, 48}, Qt::blue));
    return bytes;
}

// A small JPEG whose frame header claims 30000 x 30000.
QByteArray hugeJpegHeader() {
    QByteArray bytes = plainJpeg();
    const qsizetype frame = bytes.indexOf("\xFF\xC0");
    bytes.replace(frame + 5, 4, QByteArray::fromHex("75307530"));
    return bytes;
}

} // namespace

class TestImageCodec : public QObject {
    Q_OBJECT
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

    // Only the picture is kept: what follows its end is not the cover's, and a
    // picture that ends too soon is no cover.
    void jpegEndsWithItsImage_data() {
        TestSupport::columns<QByteArray, QByteArray>("bytes", "image");
        using TestSupport::row;
        const QByteArray plain = plainJpeg();
        row("as it came", plain, plain);
        row("zeros after it", plain + QByteArray(4096, '\0'), plain);
        row("an EOI in the trailer", plain + "\xFF\xD9junk\xFF\xD9", plain);
        row("an EXIF thumbnail's own EOI", withThumbnail() + "trailer", withThumbnail());
        row("progressive scans", progressiveJpeg() + "\xFF\xD9", progressiveJpeg());
        row("cut off", plain.left(plain.size() * 4 / 10), QByteArray());
        row("no JPEG", QByteArray("GIF89a"), QByteArray());
    }
    void jpegEndsWithItsImage() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, image);
        QCOMPARE(ImageCodec::jpegImage(bytes).value_or(QByteArray()), image);
        QCOMPARE(ImageCodec::jpegData(CoverImage{QImage(), bytes}).value_or(QByteArray()), image);
    }

    // A few bytes can declare billions of pixels: refused before a pixel is made.
    void bombsAreRefusedUnread_data() {
        TestSupport::columns<QByteArray, QSize>("bytes", "declared");
        using TestSupport::row;
        row("PNG",
            QByteArray::fromHex("89504e470d0a1a0a0000000d49484452000075300000753008060000006627"
                                "f8ba0000000c49444154789c6360a00c000000400001b7347cef000000004"
                                "9454e44ae426082"),
            QSize(30000, 30000));
        row("GIF",
            QByteArray::fromHex("474946383961803e803e0000002c00000000803e803e0002024401003b"),
            QSize(16000, 16000));
        row("WebP", QByteArray::fromHex("5249464611000000574542505650384c050000002fffffff0f"),
            QSize(16384, 16384));
        row("PPM", QByteArray("P6\n20000 20000\n255\n") + QByteArray(30, 'x'), QSize(20000, 20000));
        row("JPEG", hugeJpegHeader(), QSize(30000, 30000));
    }
    void bombsAreRefusedUnread() {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, declared);
        QCOMPARE(ImageCodec::pictureSize(bytes), declared);
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        QVERIFY(ImageCodec::decode(bytes, QSize(64, 64)).isNull());
        QVERIFY(ImageCodec::decodeCover(bytes).isNull());
        QVERIFY(ImageCodec::pngData(bytes).isEmpty());
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        QVERIFY(after.ru_maxrss - before.ru_maxrss < 64 * 1024); // KB
        // A thumbnail is held to less: a 2500-pixel square is no thumbnail.
        const QByteArray large =
            TestSupport::encoded(TestSupport::filled({2500, 2500}, Qt::red), "jpeg");
        QVERIFY(ImageCodec::decode(large, QSize(64, 64), ImageCodec::kMaxThumbnailPixels).isNull());
        QVERIFY(!ImageCodec::decode(large, QSize(64, 64)).isNull());
    }

    // The same picture at another size, quality or format is the same; other
    // colours or another layout are not; what is no picture is nothing.
    void samePictures_data() {
        TestSupport::columns<QByteArray, bool>("other", "same");
        using TestSupport::row;
        const QImage art = banded(QSize(600, 600), Qt::darkBlue, Qt::yellow);
        row("smaller JPEG", TestSupport::encoded(art.scaled(200, 200), "jpeg"), true);
        row("PNG", TestSupport::encoded(art.scaled(300, 300), "png"), true);
        row("low quality", lowQuality(art), true);
        row("other colours", TestSupport::encoded(banded({600, 600}, Qt::darkRed, Qt::white), "jpeg"),
            false);
        row("flipped", TestSupport::encoded(art.mirrored(false, true), "jpeg"), false);
        row("no picture", QByteArray("not a picture"), false);
    }
    void samePictures() {
        QFETCH(QByteArray, other);
        QFETCH(bool, same);
        const QImage art = banded(QSize(600, 600), Qt::darkBlue, Qt::yellow);
        QCOMPARE(PictureFacts::samePicture(TestSupport::encoded(art, "jpeg"), other), same);
    }

private:
    static QImage banded(QSize size, QColor a, QColor b) {
        QImage image = TestSupport::filled(size, a);
        QPainter painter(&image);
        painter.fillRect(QRect(0, 0, size.width(), size.height() / 3), b);
        return image;
    }
    static QByteArray lowQuality(const QImage& image) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setQuality(20);
        writer.write(image);
        return bytes;
    }
};

SLEEVANTA_TEST_MAIN(TestImageCodec, QGuiApplication)
#include "tst_imagecodec.moc"

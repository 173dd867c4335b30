#include "CoverFileWriter.h"
#include "ImageGeometry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestCoverFileWriter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void numberedFileName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("counter");
        QTest::addColumn<QString>("expected");
        QTest::newRow("extension") << "folder.jpg" << 1 << "folder-1.jpg";
        QTest::newRow("counter 12") << "a - b.jpg" << 12 << "a - b-12.jpg";
        QTest::newRow("two full stops") << "Vol. 2.jpg" << 1 << "Vol. 2-1.jpg";
        QTest::newRow("no extension") << "cover" << 1 << "cover-1.";
        QTest::newRow("hidden name") << ".jpg" << 2 << ".jpg-2.";
        QTest::newRow("sub-folder") << "AC/DC.jpg" << 1 << "AC/DC-1.jpg";
    }
    void numberedFileName() {
        QFETCH(QString, name);
        QFETCH(int, counter);
        QFETCH(QString, expected);
        QCOMPARE(CoverFileWriter::numberedFileName(name, counter), expected);
    }

    void freeNamesAreTakenInOrder() {
        QTemporaryDir dir;
        QStringList saved;
        for (int i = 0; i < 3; ++i) {
            const auto result = CoverFileWriter::writeWithFreeName(
                dir.path(), QStringLiteral("Artist - Album.jpg"), QByteArray::number(i));
            QVERIFY2(result.ok(), qPrintable(result.error));
            saved.append(QFileInfo(result.path).fileName());
        }
        QCOMPARE(saved, (QStringList{"Artist - Album.jpg", "Artist - Album-1.jpg",
                                     "Artist - Album-2.jpg"}));
        QCOMPARE(readFile(dir.filePath(QStringLiteral("Artist - Album.jpg"))), QByteArray("0"));

        QVERIFY(QFile::remove(dir.filePath(QStringLiteral("Artist - Album-1.jpg"))));
        const auto again = CoverFileWriter::writeWithFreeName(
            dir.path(), QStringLiteral("Artist - Album.jpg"), "x");
        QCOMPARE(QFileInfo(again.path).fileName(), QStringLiteral("Artist - Album-1.jpg"));
        // Nothing but the covers: no scratch files left behind.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
    }

    void missingSubFolderFails() {
        QTemporaryDir dir;
        const auto result =
            CoverFileWriter::writeWithFreeName(dir.path(), QStringLiteral("AC/DC - Back.jpg"), "x");
        QVERIFY(!result.ok());
        QVERIFY(!result.error.isEmpty());
        QVERIFY(QDir(dir.path())
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
    }

    void existingSubFolderIsUsed() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("AC")));
        const auto first =
            CoverFileWriter::writeWithFreeName(dir.path(), QStringLiteral("AC/DC.jpg"), "1");
        const auto second =
            CoverFileWriter::writeWithFreeName(dir.path(), QStringLiteral("AC/DC.jpg"), "2");
        QCOMPARE(first.path, dir.filePath(QStringLiteral("AC/DC.jpg")));
        QCOMPARE(second.path, dir.filePath(QStringLiteral("AC/DC-1.jpg")));
    }

    void replacingWriteReplaces() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.jpg"));
        QVERIFY(CoverFileWriter::writeReplacing(path, "old").ok());
        QVERIFY(CoverFileWriter::writeReplacing(path, "new").ok());
        QCOMPARE(readFile(path), QByteArray("new"));
        QVERIFY(
            !CoverFileWriter::writeReplacing(dir.filePath(QStringLiteral("no/a.jpg")), "x").ok());
    }

    void displayedImageRect_data() {
        QTest::addColumn<QSizeF>("bounds");
        QTest::addColumn<QSizeF>("image");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("smaller both ways")
            << QSizeF(300, 300) << QSizeF(100, 80) << QRect(100, 110, 100, 80);
        QTest::newRow("wider") << QSizeF(300, 300) << QSizeF(600, 300) << QRect(0, 75, 300, 150);
        QTest::newRow("as wide, lower")
            << QSizeF(300, 300) << QSizeF(300, 200) << QRect(0, 50, 300, 200);
        QTest::newRow("rounding") << QSizeF(301, 200) << QSizeF(600, 600) << QRect(51, 0, 200, 200);
        QTest::newRow("no image") << QSizeF(300, 300) << QSizeF() << QRect();
        QTest::newRow("empty view") << QSizeF(0, 0) << QSizeF(10, 10) << QRect(0, 0, 0, 0);
    }
    void displayedImageRect() {
        QFETCH(QSizeF, bounds);
        QFETCH(QSizeF, image);
        QFETCH(QRect, expected);
        QCOMPARE(ImageGeometry::displayedImageRect(bounds, image), expected);
    }
};

QTEST_GUILESS_MAIN(TestCoverFileWriter)
#include "tst_coverfilewriter.moc"

#include "DefaultsHelper.h"
#include "ImageCodec.h"
#include "ImageDataHelper.h"
#include "UserDefaults.h"
#include "UserPaths.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(80);
    writer.write(image);
    return bytes;
}

CoverImage jpegCover(int side = 64) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(QColor(200, 40, 90));
    const QByteArray bytes = encoded(image, "jpeg");
    return CoverImage{ImageCodec::decode(bytes), bytes};
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString storedUrlPath() {
    return UserDefaults::standard().urlForKey(SettingsKeys::temporaryFileUrl).toLocalFile();
}

bool keyPresent() {
    return UserDefaults::standard().contains(SettingsKeys::temporaryFileUrl);
}

} // namespace

class TestImageDataHelper : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_runtime;
    QString m_root;

    QStringList rootEntries() const {
        return QDir(m_root).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                      QDir::Name);
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_runtime.isValid());
        QVERIFY(::chmod(QFile::encodeName(m_runtime.path()).constData(), 0700) == 0);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        m_root = m_runtime.path() + QStringLiteral("/sleevanta/TemporaryItems");
    }

    void init() {
        QDir(m_runtime.path() + QStringLiteral("/sleevanta")).removeRecursively();
        UserDefaults::standard().removeObject(SettingsKeys::temporaryFileUrl);
        UserDefaults::standard().removeObject(SettingsKeys::defaultNameFormat);
        UserDefaults::standard().removeObject(SettingsKeys::replaceCharacters);
    }

    void firstRun() {
        ImageDataHelper::removeTemporaryFiles();
        QVERIFY(!keyPresent());
        QVERIFY(!QFileInfo::exists(m_root));

        ImageDataHelper::createTemporaryFile(jpegCover(), QStringLiteral("Artist"), 42,
                                             QStringLiteral("Album\n"));
        const QString expected = m_root + QStringLiteral("/42/folder.jpg");
        QCOMPARE(storedUrlPath(), expected);
        QVERIFY(QFileInfo(expected).isFile());
        QCOMPARE(QFileInfo(m_runtime.path() + QStringLiteral("/sleevanta")).permissions() &
                     (QFile::ReadGroup | QFile::ReadOther),
                 QFile::Permissions());
    }

    void secondCoverReplacesTheFirst() {
        UserDefaults::standard().setString(SettingsKeys::defaultNameFormat,
                                           QStringLiteral("%{artistName} - %{collectionName}.jpg"));
        ImageDataHelper::createTemporaryFile(jpegCover(), QStringLiteral("A"), 1,
                                             QStringLiteral("One\n"));
        ImageDataHelper::createTemporaryFile(jpegCover(), QStringLiteral("B"), 2,
                                             QStringLiteral("Two\n"));
        QCOMPARE(rootEntries(), QStringList{QStringLiteral("2")});
        QCOMPARE(storedUrlPath(), m_root + QStringLiteral("/2/B - Two.jpg"));
    }

    void sameCoverAgainKeepsItsUrl() {
        ImageDataHelper::createTemporaryFile(jpegCover(), QStringLiteral("A"), 7,
                                             QStringLiteral("C"));
        const QString first = storedUrlPath();
        ImageDataHelper::createTemporaryFile(jpegCover(), QStringLiteral("A"), 7,
                                             QStringLiteral("C"));
        QCOMPARE(storedUrlPath(), first);
        QVERIFY(QFileInfo::exists(first));
    }

    void itemFolderIsTheDecimalId_data() {
        QTest::addColumn<qint64>("collectionId");
        QTest::addColumn<QString>("folder");
        QTest::newRow("zero") << qint64(0) << QStringLiteral("0");
        QTest::newRow("negative") << qint64(-1440650428) << QStringLiteral("-1440650428");
        QTest::newRow("64-bit") << qint64(9007199254740993) << QStringLiteral("9007199254740993");
    }
    void itemFolderIsTheDecimalId() {
        QFETCH(qint64, collectionId);
        QFETCH(QString, folder);
        ImageDataHelper::createTemporaryFile(jpegCover(), QStringLiteral("A"), collectionId,
                                             QStringLiteral("B"));
        QCOMPARE(rootEntries(), QStringList{folder});
        QCOMPARE(storedUrlPath(),
                 m_root + QLatin1Char('/') + folder + QStringLiteral("/folder.jpg"));
    }

    void missingPiecesLeaveNoFile_data() {
        QTest::addColumn<bool>("withImage");
        QTest::addColumn<bool>("withArtist");
        QTest::addColumn<bool>("withId");
        QTest::addColumn<bool>("withCollection");
        QTest::newRow("no image") << false << true << true << true;
        QTest::newRow("no artist") << true << false << true << true;
        QTest::newRow("no id") << true << true << false << true;
        QTest::newRow("no collection") << true << true << true << false;
    }
    void missingPiecesLeaveNoFile() {
        QFETCH(bool, withImage);
        QFETCH(bool, withArtist);
        QFETCH(bool, withId);
        QFETCH(bool, withCollection);
        ImageDataHelper::createTemporaryFile(jpegCover(), QStringLiteral("Old"), 5,
                                             QStringLiteral("Old"));
        QVERIFY(keyPresent());

        ImageDataHelper::createTemporaryFile(
            withImage ? std::optional(jpegCover()) : std::nullopt,
            withArtist ? std::optional(QStringLiteral("A")) : std::nullopt,
            withId ? std::optional<qint64>(6) : std::nullopt,
            withCollection ? std::optional(QStringLiteral("C")) : std::nullopt);
        QVERIFY(!keyPresent());
        QVERIFY(rootEntries().isEmpty()); // the previous file is gone too
    }

    void imageThatIsNoImage() {
        ImageDataHelper::createTemporaryFile(CoverImage{QImage(), QByteArray("not an image")},
                                             QStringLiteral("A"), 1, QStringLiteral("B"));
        QVERIFY(!keyPresent());
        QVERIFY(rootEntries().isEmpty());
    }

    void slashInTheNameFailsQuietly() {
        UserDefaults::standard().setString(SettingsKeys::defaultNameFormat,
                                           QStringLiteral("%{artistName} - %{collectionName}.jpg"));
        UserDefaults::standard().setInteger(SettingsKeys::replaceCharacters, 0);
        ImageDataHelper::createTemporaryFile(jpegCover(), QStringLiteral("AC/DC"), 3,
                                             QStringLiteral("Back in Black"));
        QVERIFY(!keyPresent());
        QVERIFY(!QFileInfo::exists(m_root + QStringLiteral("/3/AC/DC - Back in Black.jpg")));
    }

    void clearingRemovesForeignEntries() {
        QVERIFY(QDir().mkpath(m_root + QStringLiteral("/stray/deeper")));
        QFile foreign(m_root + QStringLiteral("/.hidden-note"));
        QVERIFY(foreign.open(QIODevice::WriteOnly));
        foreign.close();
        ImageDataHelper::removeTemporaryFiles();
        QVERIFY(rootEntries().isEmpty());
        QVERIFY(QFileInfo(m_root).isDir()); // the root itself stays
    }

    void jpegBytesAreWrittenUnchanged() {
        const CoverImage cover = jpegCover(120);
        ImageDataHelper::createTemporaryFile(cover, QStringLiteral("A"), 1, QStringLiteral("B"));
        QCOMPARE(readFile(storedUrlPath()), cover.encodedData);
    }

    void otherFormatsBecomeJpeg_data() {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<bool>("alpha");
        QTest::newRow("png") << QByteArray("png") << false;
        QTest::newRow("png with alpha") << QByteArray("png") << true;
        QTest::newRow("bmp") << QByteArray("bmp") << false;
    }
    void otherFormatsBecomeJpeg() {
        QFETCH(QByteArray, format);
        QFETCH(bool, alpha);
        QImage image(90, 60, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        image.fill(alpha ? QColor(0, 0, 0, 0) : QColor(30, 160, 60));
        const QByteArray bytes = encoded(image, format.constData());
        ImageDataHelper::createTemporaryFile(CoverImage{ImageCodec::decode(bytes), bytes},
                                             QStringLiteral("A"), 1, QStringLiteral("B"));
        const QByteArray written = readFile(storedUrlPath());
        QVERIFY(ImageCodec::isJpeg(written));
        const QImage back = ImageCodec::decode(written);
        QCOMPARE(back.size(), QSize(90, 60));
        const QColor centre = back.pixelColor(45, 30);
        const QColor expected = alpha ? QColor(Qt::white) : QColor(30, 160, 60);
        QVERIFY2(qAbs(centre.red() - expected.red()) < 4 &&
                     qAbs(centre.green() - expected.green()) < 4,
                 qPrintable(centre.name()));
    }

    void unsafeTemporaryFolderIsRefused() {
        // Without a runtime folder the per-user folder lives in the temp folder.
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        const QByteArray savedTmp = qgetenv("TMPDIR");
        QTemporaryDir tmp;
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(tmp.path()));
        const QString expected = tmp.path() + QStringLiteral("/sleevanta-%1").arg(::getuid());

        QCOMPARE(UserPaths::perUserTemporaryDirectory().value_or(QString()), expected);
        QDir(expected).removeRecursively();

        // Someone planted a link to a folder of theirs.
        QTemporaryDir elsewhere;
        QVERIFY(QFile::link(elsewhere.path(), expected));
        QVERIFY(!UserPaths::perUserTemporaryDirectory());
        ImageDataHelper::createTemporaryFile(jpegCover(), QStringLiteral("A"), 1,
                                             QStringLiteral("B"));
        QVERIFY(!keyPresent());
        QVERIFY(QDir(elsewhere.path()).isEmpty());
        QFile::remove(expected);

        // A plain file in its place.
        QFile file(expected);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(!UserPaths::perUserTemporaryDirectory());

        qputenv("XDG_RUNTIME_DIR", savedRuntime);
        qputenv("TMPDIR", savedTmp);
    }

    void asynchronousWorkKeepsItsOrder() {
        QObject context;
        QList<QUrl> urls;
        bool removed = false;
        ImageDataHelper::createTemporaryFileAsync(jpegCover(), QStringLiteral("A"), 1,
                                                  QStringLiteral("B"), &context,
                                                  [&](QUrl url) { urls.append(url); });
        ImageDataHelper::removeTemporaryFilesAsync(&context, [&] { removed = true; });
        ImageDataHelper::createTemporaryFileAsync(jpegCover(), QStringLiteral("C"), 2,
                                                  QStringLiteral("D"), &context,
                                                  [&](QUrl url) { urls.append(url); });
        QTRY_COMPARE(urls.size(), 2);
        QVERIFY(removed);
        QCOMPARE(urls.at(1).toLocalFile(), m_root + QStringLiteral("/2/folder.jpg"));
        QCOMPARE(rootEntries(), QStringList{QStringLiteral("2")});
    }
};

QTEST_MAIN(TestImageDataHelper)
#include "tst_imagedatahelper.moc"

// Writing cover files: numbered free names, no partial files, and the
// temporary cover file in its private folder.
#include "CoverFileWriter.h"
#include "DefaultsHelper.h"
#include "TestSupport.h"
#include "UserPaths.h"

#include <QBuffer>
#include <QImageWriter>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

CoverImage jpegCover() {
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(QColor(200, 40, 90));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "jpeg").write(image);
    return CoverImage{image, bytes};
}

QString temporaryPath() {
    return UserDefaults::standard().urlForKey(SettingsKeys::temporaryFileUrl).toLocalFile();
}

} // namespace

class TestCoverFiles : public QObject {
    Q_OBJECT
private:
    QString root() const { return ImageDataHelper::temporaryRoot(); }

private Q_SLOTS:
    void init() { TestSupport::resetHome(); }

    void numberedFileName_data() {
        TestSupport::columns<QString, QString>("name", "second");
        TestSupport::row("extension", "Vol. 2.jpg", "Vol. 2-1.jpg");
        TestSupport::row("no extension", "cover", "cover-1.");
        TestSupport::row("hidden name", ".jpg", ".jpg-1.");
        TestSupport::row("sub-folder", "AC/DC.jpg", "AC/DC-1.jpg");
    }
    void numberedFileName() {
        QFETCH(QString, name);
        QFETCH(QString, second);
        QCOMPARE(CoverFileWriter::numberedFileName(name, 1), second);
    }

    void freeNamesNeverReplace() {
        const QString folder = TestSupport::downloads();
        QStringList saved;
        for (int i = 0; i < 3; ++i) {
            saved << QFileInfo(CoverFileWriter::writeWithFreeName(folder, QStringLiteral("a.jpg"),
                                                                  QByteArray::number(i))
                                   .path)
                         .fileName();
        }
        QCOMPARE(saved, (QStringList{"a.jpg", "a-1.jpg", "a-2.jpg"}));
        QCOMPARE(TestSupport::readFile(folder + QStringLiteral("/a.jpg")), QByteArray("0"));
        QVERIFY(QFile::remove(folder + QStringLiteral("/a-1.jpg")));
        QCOMPARE(CoverFileWriter::writeWithFreeName(folder, QStringLiteral("a.jpg"), "x").path,
                 folder + QStringLiteral("/a-1.jpg"));
        QCOMPARE(TestSupport::entries(folder).size(), 3); // no scratch file left

        QVERIFY(!CoverFileWriter::writeWithFreeName(folder, QStringLiteral("AC/DC.jpg"), "x").ok());
        QVERIFY(!CoverFileWriter::writeWithFreeName(folder, QStringLiteral("../x.jpg"), "x").ok());
        QVERIFY(QDir(folder).mkdir(QStringLiteral("AC")));
        QVERIFY(CoverFileWriter::writeWithFreeName(folder, QStringLiteral("AC/DC.jpg"), "x").ok());
        QCOMPARE(TestSupport::entries(TestSupport::homeFolder().path()).contains("x.jpg"), false);
    }

    void fullDiskLeavesNothing() {
        // Files may not grow past 1 KB: the write runs out of room half way.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit tiny = saved;
        tiny.rlim_cur = 1024;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &tiny) == 0);
        const QByteArray big(64 * 1024, 'x');
        const auto numbered = CoverFileWriter::writeWithFreeName(TestSupport::downloads(),
                                                                 QStringLiteral("a.jpg"), big);
        const auto replacing = CoverFileWriter::writeReplacing(
            TestSupport::downloads() + QStringLiteral("/b.jpg"), big);
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!numbered.ok() && !numbered.error.isEmpty());
        QVERIFY(!replacing.ok());
        QCOMPARE(TestSupport::entries(TestSupport::downloads()), QStringList());
    }

    void temporaryFileIsTheShownCover() {
        const CoverImage cover = jpegCover();
        ImageDataHelper::createTemporaryFile(cover, QStringLiteral("A"), -14,
                                             QStringLiteral("B\n"));
        QCOMPARE(temporaryPath(), root() + QStringLiteral("/-14/folder.jpg"));
        QCOMPARE(TestSupport::readFile(temporaryPath()), cover.encodedData);
        QCOMPARE(QFileInfo(root() + QStringLiteral("/../..")).permissions() &
                     (QFile::ReadGroup | QFile::ReadOther),
                 QFile::Permissions());

        UserDefaults::standard().setString(SettingsKeys::defaultNameFormat,
                                           QStringLiteral("%{artistName} - %{collectionName}.jpg"));
        ImageDataHelper::createTemporaryFile(cover, QStringLiteral("C"), 2, QStringLiteral("D\n"));
        QCOMPARE(TestSupport::entries(root()), QStringList{QStringLiteral("2")});
        QCOMPARE(temporaryPath(), root() + QStringLiteral("/2/C - D.jpg"));
    }

    void noFileWithoutEverything_data() {
        TestSupport::columns<QString, bool, bool>("format", "image", "id");
        TestSupport::row("no image", "folder.jpg", false, true);
        TestSupport::row("no id", "folder.jpg", true, false);
        TestSupport::row("a name that climbs out", "../../x.jpg", true, true);
    }
    void noFileWithoutEverything() {
        QFETCH(QString, format);
        QFETCH(bool, image);
        QFETCH(bool, id);
        ImageDataHelper::createTemporaryFile(jpegCover(), QStringLiteral("Old"), 5,
                                             QStringLiteral("Old"));
        UserDefaults::standard().setString(SettingsKeys::defaultNameFormat, format);
        ImageDataHelper::createTemporaryFile(
            image ? std::optional(jpegCover()) : std::nullopt, QStringLiteral("A"),
            id ? std::optional<qint64>(6) : std::nullopt, QStringLiteral("C"));
        QVERIFY(!UserDefaults::standard().contains(SettingsKeys::temporaryFileUrl));
        QCOMPARE(TestSupport::entries(root()), QStringList()); // the old one is gone too
        QVERIFY(!QFileInfo::exists(root() + QStringLiteral("/../x.jpg")));
    }

    void instancesKeepToTheirOwnFolders() {
        // Another running instance (pid 1 never ends), one whose pid now belongs to
        // a later process, one that ended, and something that is no instance's.
        const QString items = root() + QStringLiteral("/..");
        const QString running = ImageDataHelper::processFolderName(1);
        const QStringList others{running, QStringLiteral("1-0"), QStringLiteral("4194304999-5"),
                                 QStringLiteral("notes")};
        for (const QString& name : others) {
            QVERIFY(QDir(items).mkpath(name + QStringLiteral("/7")));
        }
        ImageDataHelper::createTemporaryFile(jpegCover(), QStringLiteral("A"), 1,
                                             QStringLiteral("B"));
        ImageDataHelper::removeTemporaryFiles();
        QCOMPARE(TestSupport::entries(root()), QStringList());
        ImageDataHelper::removeAbandonedFolders();
        QStringList kept{running, QStringLiteral("notes"), QFileInfo(root()).fileName()};
        kept.sort();
        QCOMPARE(TestSupport::entries(items), kept);
        QVERIFY(QFileInfo::exists(items + QLatin1Char('/') + running + QStringLiteral("/7")));
    }

    void unsafeTemporaryFolderIsRefused() {
        QTemporaryDir elsewhere;
        // Someone planted links where both possible folders would be.
        const QString home = TestSupport::homeFolder().path();
        QVERIFY(QFile::link(elsewhere.path(), home + QStringLiteral("/runtime/sleevanta")));
        QVERIFY(QFile::link(elsewhere.path(),
                            home + QStringLiteral("/tmp/sleevanta-%1").arg(::getuid())));
        QVERIFY(!UserPaths::perUserTemporaryDirectory());
        ImageDataHelper::createTemporaryFile(jpegCover(), QStringLiteral("A"), 1,
                                             QStringLiteral("B"));
        QVERIFY(!UserDefaults::standard().contains(SettingsKeys::temporaryFileUrl));
        QVERIFY(QDir(elsewhere.path()).isEmpty());
    }

    void workerKeepsTheOrderAskedFor() {
        QObject context;
        QList<QUrl> urls;
        ImageDataHelper::createTemporaryFileAsync(jpegCover(), QStringLiteral("A"), 1,
                                                  QStringLiteral("B"), &context,
                                                  [&](QUrl url) { urls.append(url); });
        ImageDataHelper::removeTemporaryFilesAsync();
        ImageDataHelper::createTemporaryFileAsync(jpegCover(), QStringLiteral("C"), 2,
                                                  QStringLiteral("D"), &context,
                                                  [&](QUrl url) { urls.append(url); });
        QTRY_COMPARE(urls.size(), 2);
        QCOMPARE(urls.at(1).toLocalFile(), root() + QStringLiteral("/2/folder.jpg"));
        QCOMPARE(TestSupport::entries(root()), QStringList{QStringLiteral("2")});
        // The worker leaves publishing to the caller.
        QVERIFY(!UserDefaults::standard().contains(SettingsKeys::temporaryFileUrl));
    }
};

SLEEVANTA_TEST_MAIN(TestCoverFiles, QGuiApplication)
#include "tst_coverfiles.moc"

// Writing cover files: new names only, numbered free names, no partial or
// scratch files left, and the temporary cover file in its private folder.
#include "TestSupport.h"
#include "imaging/CoverFileWriter.h"
#include "platform/UserPaths.h"

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

} // namespace

class TestCoverFiles : public QObject {
    Q_OBJECT
private:
    QString root() const { return TemporaryCoverFile::processFolder(); }

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

    // Only a free name is ever written: no file, no link (dangling or not) is
    // replaced or followed, and nothing is left behind when writing fails.
    void newNamesOnly_data() {
        TestSupport::columns<QString, int, QString, int>("name", "naming", "written", "error");
        using TestSupport::row;
        const int exact = int(CoverFileWriter::Naming::Exact);
        const int numbered = int(CoverFileWriter::Naming::NumberedIfTaken);
        row("free", "free.jpg", exact, "free.jpg", 0);
        row("taken", "taken.jpg", exact, "", EEXIST);
        row("a dangling link", "link.jpg", exact, "", EEXIST);
        row("taken, numbered", "taken.jpg", numbered, "taken-1.jpg", 0);
        row("a link, numbered", "link.jpg", numbered, "link-1.jpg", 0);
        row("sub-folder", "AC/DC.jpg", numbered, "AC/DC.jpg", 0);
        row("missing sub-folder", "CD/DC.jpg", numbered, "", ENOENT);
        row("climbing out", "../up.jpg", numbered, "", EINVAL);
    }
    void newNamesOnly() {
        QFETCH(QString, name);
        QFETCH(int, naming);
        QFETCH(QString, written);
        QFETCH(int, error);
        const QString folder = TestSupport::downloads();
        QFile taken(folder + "/taken.jpg");
        QVERIFY(taken.open(QIODevice::WriteOnly) && taken.write("mine") == 4);
        taken.close();
        QVERIFY(QFile::link(folder + "/elsewhere.jpg", folder + "/link.jpg"));
        QVERIFY(QDir(folder).mkdir("AC"));
        const auto result =
            CoverFileWriter::writeNewFile(folder, name, "new", CoverFileWriter::Naming(naming));
        QCOMPARE(result.errorCode, error);
        QCOMPARE(result.path, written.isEmpty() ? QString() : folder + '/' + written);
        QCOMPARE(TestSupport::readFile(folder + "/taken.jpg"), QByteArray("mine"));
        QVERIFY(!QFileInfo::exists(folder + "/elsewhere.jpg"));
        if (!written.isEmpty()) {
            QCOMPARE(TestSupport::readFile(result.path), QByteArray("new"));
            QCOMPARE(QFileInfo(result.path).permissions() & QFile::ReadOther, QFile::ReadOther);
        }
        QVERIFY(TestSupport::entries(folder).filter(".sleevanta").isEmpty());
    }

    // Scratch files whose writer is gone are removed by the next write there.
    void scratchFilesOfEndedRunsGo() {
        const QString folder = TestSupport::downloads();
        const QString running = QStringLiteral(".sleevanta-1-abcdef"); // pid 1 never ends
        for (const QString& name : {running, QStringLiteral(".sleevanta-2147483646-abcdef")}) {
            QFile(folder + '/' + name).open(QIODevice::WriteOnly);
        }
        QVERIFY(CoverFileWriter::writeNewFile(folder, QStringLiteral("a.jpg"), "x",
                                              CoverFileWriter::Naming::Exact)
                    .ok());
        QCOMPARE(TestSupport::entries(folder), (QStringList{running, "a.jpg"}));
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
        const auto numbered =
            CoverFileWriter::writeNewFile(TestSupport::downloads(), QStringLiteral("a.jpg"), big,
                                          CoverFileWriter::Naming::NumberedIfTaken);
        const auto replacing = CoverFileWriter::writeReplacing(
            TestSupport::downloads() + QStringLiteral("/b.jpg"), big);
        setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(numbered.error, QStringLiteral("File too large"));
        QVERIFY(!replacing.ok());
        QCOMPARE(TestSupport::entries(TestSupport::downloads()), QStringList());
    }

    void temporaryFileIsTheShownCover() {
        const CoverImage cover = jpegCover();
        QString path = TemporaryCoverFile::write(cover, -14, QStringLiteral("folder.jpg"));
        QCOMPARE(path, root() + QStringLiteral("/-14/folder.jpg"));
        QCOMPARE(TestSupport::readFile(path), cover.encodedData);
        QCOMPARE(QFileInfo(root() + QStringLiteral("/../..")).permissions() &
                     (QFile::ReadGroup | QFile::ReadOther),
                 QFile::Permissions());
        path = TemporaryCoverFile::write(cover, 2, QStringLiteral("C - D.jpg"));
        QCOMPARE(TestSupport::entries(root()), QStringList{QStringLiteral("2")});
        QCOMPARE(path, root() + QStringLiteral("/2/C - D.jpg"));

        // No file, and the old one gone too, without a picture or with a name that climbs out.
        QVERIFY(TemporaryCoverFile::write(CoverImage{QImage(), "no image"}, 6, "x.jpg").isEmpty());
        QVERIFY(TemporaryCoverFile::write(cover, 6, QStringLiteral("../../x.jpg")).isEmpty());
        QVERIFY(!QFileInfo::exists(root()));
        QVERIFY(!QFileInfo::exists(root() + QStringLiteral("/../x.jpg")));
    }

    void instancesKeepToTheirOwnFolders() {
        // Another running instance (pid 1 never ends), one whose pid now belongs to
        // a later process, one that ended, something that is no instance's, and a
        // link planted under an ended instance's name.
        QVERIFY(!TemporaryCoverFile::write(jpegCover(), 1, "B.jpg").isEmpty());
        const QString items = QFileInfo(root()).path();
        const QString running = TemporaryCoverFile::processFolderName(1);
        for (const QString& name : {running, QStringLiteral("1-0"), QStringLiteral("4194304999-5"),
                                    QStringLiteral("notes")}) {
            QVERIFY(QDir(items).mkpath(name + QStringLiteral("/7")));
        }
        QTemporaryDir elsewhere;
        QFile(elsewhere.filePath("keep.txt")).open(QIODevice::WriteOnly);
        QVERIFY(QFile::link(elsewhere.path(), items + QStringLiteral("/99999-1")));
        TemporaryCoverFile::removeAbandonedFolders();
        QStringList kept{running, QStringLiteral("notes"), QFileInfo(root()).fileName()};
        kept.sort();
        QCOMPARE(TestSupport::entries(items), kept);
        QVERIFY(QFileInfo::exists(items + QLatin1Char('/') + running + QStringLiteral("/7")));
        QCOMPARE(TestSupport::entries(elsewhere.path()), QStringList{"keep.txt"});
        TemporaryCoverFile::removeAll();
        QVERIFY(!QFileInfo::exists(root()));
    }

    void unsafeTemporaryFolderIsRefused() {
        QTemporaryDir elsewhere;
        // Someone planted links where both possible folders would be.
        const QString home = TestSupport::homeFolder().path();
        QVERIFY(QFile::link(elsewhere.path(), home + QStringLiteral("/runtime/sleevanta")));
        QVERIFY(QFile::link(elsewhere.path(),
                            home + QStringLiteral("/tmp/sleevanta-%1").arg(::getuid())));
        QVERIFY(!UserPaths::perUserTemporaryDirectory());
        QVERIFY(TemporaryCoverFile::write(jpegCover(), 1, QStringLiteral("B.jpg")).isEmpty());
        QVERIFY(QDir(elsewhere.path()).isEmpty());
    }

    void workerKeepsTheOrderAskedFor() {
        QObject context;
        QList<QUrl> urls;
        TemporaryCoverFile::writeAsync(jpegCover(), 1, "B.jpg", &context,
                                       [&](const QUrl& url) { urls.append(url); });
        TemporaryCoverFile::removeAllAsync();
        TemporaryCoverFile::writeAsync(jpegCover(), 2, "D.jpg", &context,
                                       [&](const QUrl& url) { urls.append(url); });
        QTRY_COMPARE(urls.size(), 2);
        QCOMPARE(urls.at(1).toLocalFile(), root() + QStringLiteral("/2/D.jpg"));
        QCOMPARE(TestSupport::entries(root()), QStringList{QStringLiteral("2")});
    }
};

SLEEVANTA_TEST_MAIN(TestCoverFiles, QGuiApplication)
#include "tst_coverfiles.moc"

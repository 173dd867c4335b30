#include "FixtureServer.h"

#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using Fault = FixtureServer::Fault;

class TestCli : public QObject {
    Q_OBJECT
private:
    FixtureServer m_server;

    struct Run {
        int status = -1;
        QByteArray out;
        QByteArray err;
    };

    Run run(const QStringList& arguments, const QString& origin = {}) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("SLEEVANTA_SERVICE_ORIGIN"),
                   origin.isEmpty() ? m_server.origin() : origin);
        process.setProcessEnvironment(env);
        process.start(qEnvironmentVariable("SLEEVANTA_CLI"), arguments);
        if (!process.waitForFinished(30000)) {
            process.kill();
        }
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput(), process.readAllStandardError()};
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(QFile::exists(qEnvironmentVariable("SLEEVANTA_CLI")));
        QVERIFY(m_server.start());
    }

    void init() { m_server.clearFaults(); }

    void exitStatuses_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("httpStatus");
        QTest::addColumn<int>("status");
        QTest::newRow("records") << QStringList{"search", "abbey road"} << int(Fault::None) << 0
                                 << 0;
        QTest::newRow("no records is still success")
            << QStringList{"search", "nothing"} << int(Fault::None) << 0 << 0;
        QTest::newRow("not a JSON object")
            << QStringList{"search", "json array"} << int(Fault::None) << 0 << 3;
        QTest::newRow("rate limit") << QStringList{"search", "x"} << int(Fault::Status) << 403 << 4;
        QTest::newRow("reset") << QStringList{"search", "x"} << int(Fault::Reset) << 0 << 4;
        QTest::newRow("no command") << QStringList{} << int(Fault::None) << 0 << 64;
        QTest::newRow("unknown command") << QStringList{"find", "x"} << int(Fault::None) << 0 << 64;
        QTest::newRow("no term") << QStringList{"search"} << int(Fault::None) << 0 << 64;
        QTest::newRow("two terms")
            << QStringList{"search", "a", "b"} << int(Fault::None) << 0 << 64;
        QTest::newRow("unknown media")
            << QStringList{"search", "--media", "music", "x"} << int(Fault::None) << 0 << 64;
        QTest::newRow("unknown country")
            << QStringList{"search", "--country", "XX", "x"} << int(Fault::None) << 0 << 64;
        QTest::newRow("missing option value")
            << QStringList{"search", "x", "--media"} << int(Fault::None) << 0 << 64;
        QTest::newRow("unknown option")
            << QStringList{"search", "--loud", "x"} << int(Fault::None) << 0 << 64;
        QTest::newRow("save: unknown quality")
            << QStringList{"save", "--quality", "best", "x"} << int(Fault::None) << 0 << 64;
        QTest::newRow("save: negative index")
            << QStringList{"save", "--index", "-1", "x"} << int(Fault::None) << 0 << 64;
        QTest::newRow("search: save option")
            << QStringList{"search", "--to", "/tmp", "x"} << int(Fault::None) << 0 << 64;
        QTest::newRow("save: rate limit keeps 4")
            << QStringList{"save", "x"} << int(Fault::Status) << 403 << 4;
        QTest::newRow("save: unreadable keeps 3")
            << QStringList{"save", "json array"} << int(Fault::None) << 0 << 3;
    }

    void exitStatuses() {
        QFETCH(QStringList, arguments);
        QFETCH(int, fault);
        QFETCH(int, httpStatus);
        QFETCH(int, status);
        FixtureServer::FaultConfig config;
        config.fault = Fault(fault);
        config.statusCode = httpStatus;
        m_server.setFault(FixtureServer::Scope::Search, config);
        const Run r = run(arguments);
        QCOMPARE(r.status, status);
        if (status != 0) {
            QVERIFY(r.out.isEmpty());
            QVERIFY(!r.err.isEmpty());
        }
    }

    void unreachableIsFour() {
        const Run r = run({QStringLiteral("search"), QStringLiteral("x")},
                          QStringLiteral("http://127.0.0.1:9"));
        QCOMPARE(r.status, 4);
        QVERIFY(r.err.contains("could not reach"));
    }

    void jsonLinesCarryTheTenFields() {
        const Run r =
            run({QStringLiteral("search"), QStringLiteral("--json"), QStringLiteral("--country"),
                 QStringLiteral("gb"), QStringLiteral("abbey road")});
        QCOMPARE(r.status, 0);
        const QList<QByteArray> lines = r.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 3);
        const QJsonObject first = QJsonDocument::fromJson(lines.first()).object();
        QCOMPARE(first.keys().size(), 10);
        QCOMPARE(first.value(QStringLiteral("collectionName")).toString(),
                 QStringLiteral("Abbey Road (Remastered)\n"));
        QCOMPARE(first.value(QStringLiteral("collectionId")).toInteger(), 1441164426);
        QVERIFY(first.value(QStringLiteral("webBrowserUrl"))
                    .toString()
                    .endsWith(QStringLiteral("/gb/album/1441164426?app=itunes")));
        QVERIFY(m_server.requestTargets().last().endsWith("&country=gb&media=music"));
    }

    void readableLinesByDefault() {
        const Run r = run({QStringLiteral("search"), QStringLiteral("--media"),
                           QStringLiteral("Movies"), QStringLiteral("the dark knight")});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.startsWith("The Dark Knight — Christopher Nolan\n"));
    }

    void helpDescribesEveryOption() {
        const Run r = run({QStringLiteral("--help")});
        QCOMPARE(r.status, 0);
        for (const char* option :
             {"--media", "--country", "--json", "--quality", "--index", "--to", "--help"}) {
            QVERIFY2(r.out.contains(option), option);
        }
    }

    void saveWritesTheCoverUnderFreeNames() {
        QTemporaryDir dir;
        QStringList saved;
        for (int i = 0; i < 2; ++i) {
            const Run r = run({QStringLiteral("save"), QStringLiteral("--to"), dir.path(),
                               QStringLiteral("abbey road")});
            QCOMPARE(r.status, 0);
            saved.append(QString::fromUtf8(r.out.trimmed()));
        }
        QCOMPARE(saved, (QStringList{dir.filePath(QStringLiteral("folder.jpg")),
                                     dir.filePath(QStringLiteral("folder-1.jpg"))}));
        QImageReader reader(saved.first());
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        QCOMPARE(reader.size(), QSize(600, 600));
    }

    void saveTakesQualityAndIndex() {
        QTemporaryDir dir;
        const Run r = run({QStringLiteral("save"), QStringLiteral("--quality"),
                           QStringLiteral("high"), QStringLiteral("--index"), QStringLiteral("2"),
                           QStringLiteral("--to"), dir.path(), QStringLiteral("abbey road")});
        QCOMPARE(r.status, 0);
        // The third record of the fixture names a 3000-pixel source.
        QCOMPARE(QImageReader(QString::fromUtf8(r.out.trimmed())).size(), QSize(3000, 3000));
        QVERIFY(m_server.requestTargets().last().startsWith("/us/r1000/0/"));
    }

    void saveServesTheSecondCopyFromTheDiskCache() {
        QTemporaryDir dir;
        const QStringList arguments{QStringLiteral("save"),
                                    QStringLiteral("--index"),
                                    QStringLiteral("1"),
                                    QStringLiteral("--to"),
                                    dir.path(),
                                    QStringLiteral("abbey road")};
        QCOMPARE(run(arguments).status, 0);
        const int artworkRequests = m_server.requestCount(QStringLiteral("/image/thumb"));
        QCOMPARE(run(arguments).status, 0);
        QCOMPARE(m_server.requestCount(QStringLiteral("/image/thumb")), artworkRequests);
    }

    void saveFailuresLeaveNoFile_data() {
        // Each row searches its own term, so no cover of an earlier run is cached.
        QTest::addColumn<QString>("term");
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<int>("artworkFault");
        QTest::newRow("index past the list")
            << "generated 3" << QStringList{"--index", "3"} << int(Fault::None);
        QTest::newRow("artwork missing")
            << "missing cover" << QStringList{"--index", "0"} << int(Fault::Status);
        QTest::newRow("artwork no image")
            << "garbage cover" << QStringList{"--quality", "high"} << int(Fault::Garbage);
        QTest::newRow("artwork reset")
            << "reset cover" << QStringList{"--quality", "high"} << int(Fault::Reset);
    }
    void saveFailuresLeaveNoFile() {
        QFETCH(QString, term);
        QFETCH(QStringList, extra);
        QFETCH(int, artworkFault);
        FixtureServer::FaultConfig config;
        config.fault = Fault(artworkFault);
        config.statusCode = 404;
        m_server.setFault(FixtureServer::Scope::Artwork, config);
        QTemporaryDir dir;
        const Run r = run(QStringList{QStringLiteral("save"), QStringLiteral("--to"), dir.path()} +
                          extra + QStringList{term});
        QCOMPARE(r.status, 5);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.contains("not saved"));
        QVERIFY(QDir(dir.path())
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
    }

    void saveIntoAMissingFolderFails() {
        QTemporaryDir dir;
        const Run r = run({QStringLiteral("save"), QStringLiteral("--to"),
                           dir.filePath(QStringLiteral("absent")), QStringLiteral("abbey road")});
        QCOMPARE(r.status, 5);
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("absent"))));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"

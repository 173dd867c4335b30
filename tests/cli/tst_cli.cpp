#include "FixtureServer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
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
        for (const char* option : {"--media", "--country", "--json", "--help"}) {
            QVERIFY2(r.out.contains(option), option);
        }
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"

// sleevanta-cli as a user runs it: arguments, output, exit statuses, saving.
#include "TestSupport.h"

#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

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
    Run run(const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("SLEEVANTA_SERVICE_ORIGIN"), m_server.origin());
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(SLEEVANTA_CLI), arguments);
        if (!process.waitForFinished(30000)) {
            process.kill();
        }
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput(), process.readAllStandardError()};
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_server.start()); }
    void init() {
        TestSupport::resetHome();
        TestSupport::useServer(m_server);
    }

    // What a run says on standard error: one line that names the problem.
    void exitStatuses_data() {
        TestSupport::columns<QStringList, int, int, QByteArray>("arguments", "httpStatus", "status",
                                                                "said");
        using TestSupport::row;
        row("no records", QStringList{"search", "nothing"}, 0, 0, QByteArray("No items found.\n"));
        row("rate limit", QStringList{"save", "x"}, 403, 4, QByteArray("too many searches"));
        row("service fails", QStringList{"search", "x"}, 502, 4, QByteArray("not answering"));
        row("no command", QStringList{}, 0, 64, QByteArray("no command given"));
        row("two terms", QStringList{"search", "a", "b"}, 0, 64, QByteArray("one search term"));
        row("unknown country", QStringList{"search", "--country", "XX", "x"}, 0, 64,
            QByteArray("\"XX\""));
        row("missing value", QStringList{"search", "x", "--media"}, 0, 64, QByteArray("--media"));
        row("save option", QStringList{"search", "--to", "/tmp", "x"}, 0, 64, QByteArray("--to"));
        row("unknown quality", QStringList{"save", "--quality", "best", "x"}, 0, 64,
            QByteArray("--quality"));
        row("no item 3", QStringList{"save", "--index", "3", "generated 3"}, 0, 5,
            QByteArray("No item 3: the search found 3 items.\n"));
    }
    void exitStatuses() {
        QFETCH(QStringList, arguments);
        QFETCH(int, httpStatus);
        QFETCH(int, status);
        QFETCH(QByteArray, said);
        if (httpStatus) {
            m_server.setFault(FixtureServer::Scope::Search,
                              TestSupport::fault(Fault::Status, httpStatus));
        }
        const Run r = run(arguments);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(said), r.err.constData());
        QCOMPARE(r.err.count('\n'), status == 64 ? 2 : 1);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(TestSupport::entries(TestSupport::downloads()), QStringList());
    }

    void searchPrintsRecords() {
        Run r = run({"search", "--json", "--country", "gb", "abbey road"});
        QCOMPARE(r.status, 0);
        const QList<QByteArray> lines = r.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 3);
        const QJsonObject first = QJsonDocument::fromJson(lines.first()).object();
        QCOMPARE(first.value(QStringLiteral("collectionId")).toInteger(), 1441164426);
        QVERIFY(m_server.requestTargets().last().endsWith("&country=gb&media=music"));
        r = run({"search", "--media", "mOVIES", "the dark knight"});
        QVERIFY(r.out.startsWith("0  The Dark Knight — Christopher Nolan\n"));
    }

    void saveWritesFreeNamesFromTheCache() {
        const QStringList arguments{"save", "--to", TestSupport::downloads(), "abbey road"};
        QStringList saved;
        for (int i = 0; i < 2; ++i) {
            const Run r = run(arguments);
            QCOMPARE(r.status, 0);
            const QList<QByteArray> lines = r.out.trimmed().split('\n');
            QCOMPARE(lines.value(1).split(' ').mid(0, 2), (QList<QByteArray>{"600×600", "JPEG"}));
            QVERIFY(lines.value(1).endsWith(" rendition"));
            saved << QString::fromUtf8(lines.first());
        }
        QCOMPARE(saved, (QStringList{TestSupport::downloads() + "/folder.jpg",
                                     TestSupport::downloads() + "/folder-1.jpg"}));
        QCOMPARE(QImageReader(saved.first()).size(), QSize(600, 600));
        QCOMPARE(m_server.requestCount(QStringLiteral("/image/thumb")), 1);

        // The lookup of a store link, in high quality: the TIFF original, as JPEG.
        const Run high = run({"save", "--quality", "high", "1500000001"});
        QCOMPARE(high.status, 0);
        const QList<QByteArray> lines = high.out.trimmed().split('\n');
        QCOMPARE(QImageReader(QString::fromUtf8(lines.first())).format(), QByteArray("jpeg"));
        QVERIFY2(lines.value(1).startsWith("2400×2400 TIFF ") &&
                     lines.value(1).endsWith(" original"),
                 lines.value(1).constData());
    }

    void failedCoverLeavesNoFile() {
        m_server.setFault(FixtureServer::Scope::Artwork, TestSupport::fault(Fault::Status, 404));
        const Run r = run({"save", "abbey road"});
        QCOMPARE(r.status, 5);
        QVERIFY(r.err.contains("not saved"));
        QCOMPARE(TestSupport::entries(TestSupport::downloads()), QStringList());
    }
};

SLEEVANTA_TEST_MAIN(TestCli, QCoreApplication)
#include "tst_cli.moc"

// sleevanta-cli as a user runs it: arguments, output, exit statuses, saving.
#include "TestSupport.h"

#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <sys/resource.h>

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
        row("unknown countries", QStringList{"fill", "--country", "us,XX,YY", "/tmp"}, 0, 64,
            QByteArray("unknown storefront codes: XX, YY"));
        row("country twice", QStringList{"fill", "--country", "US,GB,us", "/tmp"}, 0, 64,
            QByteArray("given twice: US"));
        row("countries to search", QStringList{"search", "--country", "US,GB", "x"}, 0, 64,
            QByteArray("only fill"));
        row("upgrade 0", QStringList{"fill", "--upgrade", "0", "/tmp"}, 0, 64,
            QByteArray("--upgrade does not take \"0\""));
        row("absurd upgrade", QStringList{"fill", "--upgrade", "99999", "/tmp"}, 0, 64,
            QByteArray("--upgrade"));
        row("missing value", QStringList{"search", "x", "--media"}, 0, 64, QByteArray("--media"));
        row("save option", QStringList{"search", "--to", "/tmp", "x"}, 0, 64, QByteArray("--to"));
        row("unknown quality", QStringList{"save", "--quality", "best", "x"}, 0, 64,
            QByteArray("--quality"));
        row("fill name not a JPEG", QStringList{"fill", "--name", "cover.png", "/tmp"}, 0, 64,
            QByteArray("--name \"cover.png\": End the name"));
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

    // What a hostile or broken catalogue gets out of a run: a message that
    // says what happened, the exit status, no file but a clean cover, a quiet
    // terminal, and bounded memory.
    void hostileAnswers_data() {
        TestSupport::columns<QStringList, int, int, QByteArray, int, QByteArray>(
            "arguments", "scope", "fault", "detail", "status", "said");
        using TestSupport::row;
        const int search = int(FixtureServer::Scope::Search);
        const int artwork = int(FixtureServer::Scope::Artwork);
        const QStringList save{"save", "abbey road"};
        row("404", save, artwork, int(Fault::Status), QByteArray("404"), 5,
            QByteArray("the server answered 404"));
        row("2 MB after the JPEG's end", save, artwork, int(Fault::TrailingBytes), QByteArray(), 0,
            QByteArray());
        row("a JPEG cut short", save, artwork, int(Fault::CutJpeg), QByteArray(), 5,
            QByteArray("cut short"));
        for (const char* format : {"png", "gif", "webp", "jpeg", "ppm"}) {
            row(qPrintable(QStringLiteral("a %1 bomb").arg(format)), save, artwork,
                int(Fault::PixelBomb), QByteArray(format), 5, QByteArray("more than any cover"));
        }
        row("artwork from another host", save, search, int(Fault::ForeignArtwork), QByteArray(), 5,
            QByteArray("artwork not from the catalogue"));
        row("a redirect loop", save, artwork, int(Fault::Redirect), QByteArray(), 5,
            QByteArray("redirected in a loop"));
        row("a redirect elsewhere", save, artwork, int(Fault::Redirect),
            QByteArray("https://elsewhere.invalid/x.jpg"), 5, QByteArray("not allowed"));
        row("an HTML page", QStringList{"search", "x"}, search, int(Fault::Garbage), QByteArray(),
            3, QByteArray("not a search result"));
        row("names that paint on the terminal", QStringList{"search", "abbey road"}, search,
            int(Fault::ControlNames), QByteArray(), 0, QByteArray());
        row("a folder that cannot be written", QStringList{"save", "--to", "/proc", "abbey road"},
            artwork, int(Fault::None), QByteArray(), 5, QByteArray("cannot be written"));
    }
    void hostileAnswers() {
        QFETCH(QStringList, arguments);
        QFETCH(int, scope);
        QFETCH(int, fault);
        QFETCH(QByteArray, detail);
        QFETCH(int, status);
        QFETCH(QByteArray, said);
        FixtureServer::FaultConfig config = TestSupport::fault(Fault(fault), detail.toInt());
        config.hugeBytes = 2 * 1024 * 1024;
        config.bombFormat = detail;
        config.redirectTo = detail.startsWith("https") ? detail : QByteArray();
        m_server.setFault(FixtureServer::Scope(scope), config);
        const Run r = run(arguments);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(said), r.err.constData());
        for (const char control : {'\x1b', '\x07', '\r'}) {
            QVERIFY(!r.out.contains(control) && !r.err.contains(control));
        }
        const QStringList saved = TestSupport::entries(TestSupport::downloads());
        QCOMPARE(saved.size(), status == 0 && arguments.first() == "save" ? 1 : 0);
        if (!saved.isEmpty()) {
            const QByteArray cover =
                TestSupport::readFile(TestSupport::downloads() + '/' + saved[0]);
            QVERIFY(cover.size() < 100 * 1024 && cover.endsWith("\xFF\xD9"));
        }
        rusage children{};
        getrusage(RUSAGE_CHILDREN, &children);
        QVERIFY2(children.ru_maxrss < 400 * 1024, qPrintable(QString::number(children.ru_maxrss)));
    }
};

SLEEVANTA_TEST_MAIN(TestCli, QCoreApplication)
#include "tst_cli.moc"

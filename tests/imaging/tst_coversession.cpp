// The cover session without widgets: loading a selected item's cover (memory,
// disk, the ladder), its states, its temporary file, and saving it.
#include "TestSupport.h"
#include "imaging/CoverSession.h"
#include "imaging/ImageService.h"

#include <sys/stat.h>

using Fault = FixtureServer::Fault;
using State = CoverSession::State;

class TestCoverSession : public QObject {
    Q_OBJECT
private:
    FixtureServer m_server;
    std::unique_ptr<CoverSession> m_session;
    QList<State> m_states;
    QList<QPair<qint64, qint64>> m_progress;
    QList<QUrl> m_files;

    CoverItem item(const QString& name) const {
        const QString base = m_server.origin() + QStringLiteral("/image/thumb/Music/") + name;
        CoverItem item;
        item.artistName = QStringLiteral("Artist");
        item.collectionName = name;
        item.collectionId = qHash(name) % 100000;
        item.entity = QStringLiteral("music");
        item.standardResolutionUrl = QUrl(base + QStringLiteral("/600x600bb.jpg"));
        item.highResolutionUrl =
            QUrl(m_server.origin() + QStringLiteral("/us/r1000/0/Music/%1-s900.jpg").arg(name));
        item.thumbnailUrl = QUrl(base + QStringLiteral("/200x200bb.jpg"));
        return item;
    }
    bool settles(const QString& name, bool high = false) {
        m_session->select(item(name), high, QSize(300, 300));
        return QTest::qWaitFor([&] { return m_session->state() != State::Loading; }, 15000);
    }
    bool shows(const QString& name, bool high = false) {
        return settles(name, high) && m_session->state() == State::Shown &&
               QTest::qWaitFor([&] { return !m_session->temporaryFile().isEmpty(); }, 10000);
    }
    CoverSession::SaveResult saved(const std::function<void()>& save) {
        QSignalSpy spy(m_session.get(), &CoverSession::saved);
        save();
        return spy.wait(10000) ? spy.first().first().value<CoverSession::SaveResult>()
                               : CoverSession::SaveResult{};
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_server.start()); }
    void init() {
        TestSupport::resetHome();
        TestSupport::useServer(m_server);
        m_session = std::make_unique<CoverSession>(TestSupport::context().images(),
                                                   TestSupport::context().sources().primary(),
                                                   TestSupport::context().settings());
        m_states.clear();
        m_progress.clear();
        m_files.clear();
        connect(m_session.get(), &CoverSession::stateChanged, this,
                [this](State state) { m_states << state; });
        connect(m_session.get(), &CoverSession::progressChanged, this,
                [this](qint64 received, qint64 expected) {
                    m_progress << qMakePair(received, expected);
                });
        connect(m_session.get(), &CoverSession::fileChanged, this,
                [this](const QUrl& file) { m_files << file; });
    }
    void cleanup() { m_session.reset(); }

    void downloadShowAndShowFromDisk() {
        FixtureServer::FaultConfig drip = TestSupport::fault(Fault::SlowDrip);
        drip.dripIntervalMs = 20;
        drip.onlyPathsContaining = "600x600";
        m_server.setFault(FixtureServer::Scope::Artwork, drip);
        QSignalSpy preview(m_session.get(), &CoverSession::previewReady);
        QVERIFY(shows(QStringLiteral("first")));
        QCOMPARE(m_states, (QList<State>{State::Loading, State::Shown}));
        QCOMPARE(m_progress.first(), qMakePair(qint64(0), qint64(-1))); // "Requesting…" at once
        QCOMPARE(m_progress.last().first, m_session->cover().encodedData.size());
        QCOMPARE(preview.count(), 1); // the thumbnail stood in while the cover came
        QCOMPARE(m_session->cover().pictureSize(), QSize(600, 600));
        QCOMPARE(m_session->cover().image.size(), QSize(300, 300)); // decoded for the view
        QVERIFY(m_session->facts().display().startsWith(QStringLiteral("600 × 600 · JPEG · ")));
        const QString file = m_session->temporaryFile().toLocalFile();
        QCOMPARE(QFileInfo(file).fileName(), QStringLiteral("folder.jpg"));
        QCOMPARE(QFileInfo(file).dir().dirName(),
                 QString::number(qHash(QStringLiteral("first")) % 100000));
        QCOMPARE(TestSupport::readFile(file), m_session->cover().encodedData);

        m_session->deselect();
        QCOMPARE(m_session->state(), State::Idle);
        QCOMPARE(m_files.last(), QUrl()); // withdrawn at once
        TemporaryCoverFile::waitForPendingWork();
        QVERIFY(!QFileInfo::exists(file));

        // Again with the memory cleared: from disk, without a request or progress.
        m_server.clearFaults();
        m_server.resetCounts();
        TestSupport::context().cache().clearMemory();
        m_progress.clear();
        QVERIFY(shows(QStringLiteral("first")));
        QCOMPARE(m_server.requestCount(QStringLiteral("/image/thumb/Music/first/600")), 0);
        QVERIFY(m_progress.isEmpty());

        QVERIFY(shows(QStringLiteral("high"), true));
        QCOMPARE(m_session->cover().pictureSize(), QSize(900, 900));
        QVERIFY(m_session->facts().display().endsWith(QStringLiteral(" · original")));
    }

    void failuresSayWhy_data() {
        TestSupport::columns<int, int, QString>("fault", "status", "reason");
        TestSupport::row("404", int(Fault::Status), 404, "the server answered 404");
        TestSupport::row("no image", int(Fault::Garbage), 0, "the data is not an image");
        TestSupport::row("stalled", int(Fault::Delay), 0, "the transfer stalled");
    }
    void failuresSayWhy() {
        QFETCH(int, fault);
        QFETCH(int, status);
        QFETCH(QString, reason);
        FixtureServer::FaultConfig config = TestSupport::fault(Fault(fault), status);
        config.delayMs = 3000;
        m_server.setFault(FixtureServer::Scope::Artwork, config);
        TestSupport::context().network().setTransferTimeout(300);
        QVERIFY(settles(QStringLiteral("missing")));
        QCOMPARE(m_session->state(), State::Failed);
        QCOMPARE(m_session->failureReason(), reason);
        QVERIFY(m_session->cover().isNull() && m_session->temporaryFile().isEmpty());
        QCOMPARE(TestSupport::context().cache().diskUsageSync().count, quint64(0));

        m_server.clearFaults();
        m_session->retry(QSize(300, 300));
        QTRY_COMPARE(m_session->state(), State::Shown);
        QCOMPARE(m_session->item().collectionName, QStringLiteral("missing"));
    }

    void damagedCacheEntryIsDownloadedAgain() {
        const QString key = item(QStringLiteral("damaged")).standardResolutionUrl.toString();
        QVERIFY(TestSupport::context().cache().storeImageDataToDiskSync("<html>not an image", key));
        QVERIFY(shows(QStringLiteral("damaged")));
        QCOMPARE(m_server.requestCount(QStringLiteral("/image/thumb/Music/damaged/600")), 1);
    }

    void newerSelectionsWinAndCancelStops() {
        FixtureServer::FaultConfig slow = TestSupport::fault(Fault::Delay);
        slow.delayMs = 500;
        slow.onlyPathsContaining = "older";
        m_server.setFault(FixtureServer::Scope::Artwork, slow);
        m_session->select(item(QStringLiteral("older")), false, QSize(300, 300));
        QVERIFY(shows(QStringLiteral("newer")));
        QTest::qWait(800);
        QCOMPARE(m_session->item().collectionName, QStringLiteral("newer"));
        QCOMPARE(m_states.count(State::Shown), 1);

        // A cover replaced before its file is written never announces one.
        m_files.clear();
        m_session->select(item(QStringLiteral("gone")), false, QSize(300, 300));
        connect(m_session.get(), &CoverSession::coverShown, this,
                [this] { m_session->deselect(); });
        QTRY_COMPARE(m_session->state(), State::Idle);
        TemporaryCoverFile::waitForPendingWork();
        QTest::qWait(100);
        QVERIFY(
            std::all_of(m_files.begin(), m_files.end(), [](const QUrl& f) { return f.isEmpty(); }));

        FixtureServer::FaultConfig drip = TestSupport::fault(Fault::SlowDrip);
        drip.dripIntervalMs = 50;
        m_server.setFault(FixtureServer::Scope::Artwork, drip);
        disconnect(m_session.get(), &CoverSession::coverShown, this, nullptr);
        m_session->select(item(QStringLiteral("slow")), false, QSize(300, 300));
        QTRY_VERIFY(m_progress.size() > 1);
        m_session->cancelDownload();
        QCOMPARE(m_session->state(), State::Failed);
        QCOMPARE(m_session->failureReason(), QStringLiteral("the download was cancelled"));
        QTRY_COMPARE(TestSupport::context().images().activeDownloadCount(), 0);
    }

    void showingWritesNoSettings() {
        QVERIFY(shows(QStringLiteral("one")));
        TestSupport::context().settingsStore().flush();
        const QString settings = TestSupport::context().settingsStore().filePath();
        const QByteArray before = TestSupport::readFile(settings);
        struct stat first {};
        ::stat(QFile::encodeName(settings).constData(), &first);
        QVERIFY(shows(QStringLiteral("two")));
        m_session->deselect();
        TestSupport::context().settingsStore().flush();
        struct stat second {};
        ::stat(QFile::encodeName(settings).constData(), &second);
        QCOMPARE(TestSupport::readFile(settings), before);
        QCOMPARE(second.st_mtim.tv_nsec, first.st_mtim.tv_nsec);
    }

    // Both ways of saving end in one report: where the file went, or why not.
    void savingSaysWhatHappened_data() {
        TestSupport::columns<QString, bool, QString, QString>("target", "saveAs", "file",
                                                              "message");
        using TestSupport::row;
        row("Downloads", "Downloads", false, "folder.jpg", "Saved “folder.jpg” to Downloads.");
        row("a taken name is numbered", "Downloads", false, "folder-1.jpg",
            "Saved “folder-1.jpg” to Downloads.");
        row("Save As replaces", "Downloads/taken.jpg", true, "taken.jpg",
            "Saved “taken.jpg” to Downloads.");
        row("a bare name is a JPEG file", "Downloads/bare", true, "bare.jpg",
            "Saved “bare.jpg” to Downloads.");
        row("no such folder", "Downloads/missing", false, "",
            "Couldn't save “folder.jpg” in %1/Downloads/missing: the folder does not exist.");
        row("a folder that cannot be written", "locked", false, "",
            "Couldn't save “folder.jpg” in %1/locked: Permission denied.");
    }
    void savingSaysWhatHappened() {
        QFETCH(QString, target);
        QFETCH(bool, saveAs);
        QFETCH(QString, file);
        QFETCH(QString, message);
        const QString home = TestSupport::homeFolder().path();
        QVERIFY(shows(QStringLiteral("saved")));
        QFile taken(TestSupport::downloads() + QStringLiteral("/taken.jpg"));
        QVERIFY(taken.open(QIODevice::WriteOnly) && taken.write("old") == 3);
        taken.close();
        if (QString(QTest::currentDataTag()).startsWith(QLatin1String("a taken"))) {
            QFile(TestSupport::downloads() + QStringLiteral("/folder.jpg"))
                .open(QIODevice::WriteOnly);
        }
        QDir(home).mkdir(QStringLiteral("locked"));
        QFile::setPermissions(home + QStringLiteral("/locked"), QFile::ReadOwner | QFile::ExeOwner);
        if (::geteuid() == 0 && target == QLatin1String("locked")) {
            QSKIP("root writes into any folder");
        }
        const QString path = home + QLatin1Char('/') + target;
        const CoverSession::SaveResult result =
            saved([&] { saveAs ? m_session->saveAs(path) : m_session->saveInto(path); });
        QCOMPARE(result.message(), message.arg(home));
        QCOMPARE(QFileInfo(result.path).fileName(), file);
        if (!file.isEmpty()) {
            QCOMPARE(TestSupport::readFile(result.path), m_session->cover().encodedData);
        }
        QVERIFY(TestSupport::entries(TestSupport::downloads()).filter(".sleevanta").isEmpty());
    }
};

SLEEVANTA_TEST_MAIN(TestCoverSession, QGuiApplication)
#include "tst_coversession.moc"

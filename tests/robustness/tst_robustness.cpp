// The whole window against a catalogue that misbehaves, and a disk that does.
#include "AlertHelper.h"
#include "AppDelegate.h"
#include "CoverSelection.h"
#include "CoverViewController.h"
#include "DefaultsHelper.h"
#include "DraggableImageView.h"
#include "FixtureServer.h"
#include "ImageCache.h"
#include "ImageDataHelper.h"
#include "MainViewController.h"
#include "NetworkAccess.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "SearchViewController.h"
#include "ServiceOrigins.h"
#include "UserDefaults.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableView>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using Fault = FixtureServer::Fault;
using Scope = FixtureServer::Scope;

class TestRobustness : public QObject {
    Q_OBJECT
private:
    FixtureServer m_server;
    std::unique_ptr<MainViewController> m_window;
    std::unique_ptr<AppDelegate> m_delegate;

    QMessageBox* shownAlert() const {
        for (QMessageBox* box : m_window->findChildren<QMessageBox*>()) {
            if (box->isVisible()) {
                return box;
            }
        }
        return nullptr;
    }
    void setFault(Scope scope, Fault fault) {
        FixtureServer::FaultConfig config;
        config.fault = fault;
        config.dripChunk = 512;
        config.dripIntervalMs = 900; // longer than the injected timeout
        m_server.setFault(scope, config);
    }
    void search(const QString& term) {
        SearchViewController* pane = m_window->searchPane();
        pane->searchField()->setText(term);
        pane->startSearch();
    }
    bool showFirstCover() {
        search(QStringLiteral("abbey road"));
        QTableView* table = m_window->searchPane()->tableView();
        if (!QTest::qWaitFor([&] { return table->model()->rowCount() == 3; }, 10000)) {
            return false;
        }
        table->selectRow(0);
        return QTest::qWaitFor(
            [&] { return m_window->coverPane()->state() == CoverViewController::State::Shown; },
            10000);
    }
    static void addFaultRows() {
        QTest::addColumn<int>("fault");
        QTest::newRow("connection reset") << int(Fault::Reset);
        QTest::newRow("truncated body") << int(Fault::Truncate);
        QTest::newRow("garbage bytes") << int(Fault::Garbage);
        QTest::newRow("30000x30000 header") << int(Fault::HugeImageHeader);
        QTest::newRow("20 MB JSON") << int(Fault::HugeJson);
        QTest::newRow("slow drip past the timeout") << int(Fault::SlowDrip);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_server.start()); }

    void init() {
        m_server.clearFaults();
        ServiceOrigins::setCurrent(ServiceOrigins::singleOrigin(m_server.origin()));
        NetworkAccess::setTransferTimeout(400);
        NotificationCenter::defaultCenter().reset();
        ImageCache::shared().clearMemory();
        ImageCache::shared().clearDiskSync();
        m_window = std::make_unique<MainViewController>();
        m_delegate = std::make_unique<AppDelegate>(m_window.get());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        ImageDataHelper::waitForPendingWork();
    }

    void cleanup() {
        m_delegate.reset();
        m_window.reset();
        ImageDataHelper::waitForPendingWork();
        NetworkAccess::setTransferTimeout(60000);
    }

    void searchFaults_data() { addFaultRows(); }
    void searchFaults() {
        QFETCH(int, fault);
        setFault(Scope::Search, Fault(fault));
        search(QStringLiteral("abbey road"));
        QTRY_VERIFY_WITH_TIMEOUT(shownAlert(), 10000);
        const QString text = shownAlert()->informativeText();
        // No answer at all is the connection's fault; an answer that is no JSON
        // object is the special-characters case.
        const bool noAnswer = Fault(fault) == Fault::Reset || Fault(fault) == Fault::Truncate ||
                              Fault(fault) == Fault::SlowDrip;
        QCOMPARE(text, noAnswer
                           ? AlertTexts::offline
                           : (Fault(fault) == Fault::HugeJson ? AlertTexts::noResults
                                                              : AlertTexts::specialCharacters));
        QCOMPARE(m_window->searchPane()->tableView()->model()->rowCount(), 0);
        // The window still answers.
        QTest::qWait(20);
        QVERIFY(m_window->isVisible());
    }

    void coverFaults_data() { addFaultRows(); }
    void coverFaults() {
        QFETCH(int, fault);
        search(QStringLiteral("abbey road"));
        QTRY_COMPARE(m_window->searchPane()->tableView()->model()->rowCount(), 3);
        setFault(Scope::Artwork, Fault(fault));
        m_window->searchPane()->tableView()->selectRow(1);
        CoverViewController* cover = m_window->coverPane();
        QTRY_COMPARE(cover->state(), CoverViewController::State::Loading);
        QTest::qWait(1500);
        // The silent state: still loading, no cover, no file, no alert.
        QCOMPARE(cover->state(), CoverViewController::State::Loading);
        QVERIFY(!cover->coverImageView()->hasImage());
        QVERIFY(!shownAlert());
        ImageDataHelper::waitForPendingWork();
        QVERIFY(!UserDefaults::standard().contains(SettingsKeys::temporaryFileUrl));
        QVERIFY(!ImageCache::shared().diskImageExistsSync(cover->artworkUrl->toString()));
        QVERIFY(!m_delegate->coverItems().first()->isEnabled());

        // The next selection works as if nothing happened.
        m_server.clearFaults();
        m_window->searchPane()->tableView()->selectRow(0);
        QTRY_COMPARE_WITH_TIMEOUT(cover->state(), CoverViewController::State::Shown, 10000);
    }

    void fullDiskOnSave() {
        CoverViewController* cover = m_window->coverPane();
        QVERIFY(showFirstCover());
        const QString downloads = QDir::homePath() + QStringLiteral("/Downloads");
        QDir(downloads).removeRecursively();
        QVERIFY(QDir().mkpath(downloads));

        // Files may not grow past 1 KB: every write of a cover runs out of room.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit tiny = saved;
        tiny.rlim_cur = 1024;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &tiny) == 0);
        QSignalSpy finished(cover, &CoverViewController::saveFinished);
        cover->saveCoverToDownloads();
        const bool answered = finished.wait(10000);
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(answered);
        QCOMPARE(finished.first().first().toString(), QString());
        QTRY_VERIFY(shownAlert());
        QVERIFY(shownAlert()->informativeText().endsWith(QStringLiteral("saveCoverToDownloads()")));
        QVERIFY(QDir(downloads)
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
    }

    void downloadsThatCannotBeWritten() {
        CoverViewController* cover = m_window->coverPane();
        QVERIFY(showFirstCover());
        // A file where the Downloads folder should be.
        const QString downloads = QDir::homePath() + QStringLiteral("/Downloads");
        QDir(downloads).removeRecursively();
        QFile blocker(downloads);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QSignalSpy finished(cover, &CoverViewController::saveFinished);
        cover->saveCoverToDownloads();
        QVERIFY(finished.wait(10000));
        QTRY_VERIFY(shownAlert());
        QCOMPARE(QFileInfo(downloads).size(), 0);
        QFile::remove(downloads);
    }
};

QTEST_MAIN(TestRobustness)
#include "tst_robustness.moc"

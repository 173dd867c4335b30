#include "AlbumObjectHelper.h"
#include "DefaultsHelper.h"
#include "FixtureServer.h"
#include "NetworkAccess.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "UserDefaults.h"

#include <QThread>
#include <QtTest>

using Fault = FixtureServer::Fault;
using Scope = FixtureServer::Scope;

// What one search ended in, as the search pane would see it.
struct Ending {
    int completions = 0;
    bool completedOnGuiThread = false;
    QStringList warnings;
    QString reason;
};

class TestCatalogueSearch : public QObject {
    Q_OBJECT
private:
    FixtureServer m_server;
    QObject m_context;
    Ending* m_current = nullptr;

    Ending search(const QString& term, const QString& media = QStringLiteral("Music"),
                  int waitMs = 10000) {
        Ending ending;
        m_current = &ending;
        AlbumObjectHelper::searchAlbumObjects(term, media, [&ending] {
            ++ending.completions;
            ending.completedOnGuiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        });
        (void)QTest::qWaitFor([&ending] { return ending.completions + ending.warnings.size() > 0; },
                              waitMs);
        QTest::qWait(50); // nothing more may arrive
        m_current = nullptr;
        return ending;
    }

    QStringList listedNames() const {
        QStringList names;
        for (const AlbumObject& r : AlbumObjectHelper::albumObjects()) {
            names << r.collectionName().text.trimmed();
        }
        return names;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_server.start());
        ServiceOrigins::setCurrent(ServiceOrigins::singleOrigin(m_server.origin()));
        auto& center = NotificationCenter::defaultCenter();
        for (const QString& name : {NotificationNames::constructSearchUrlWarning,
                                    NotificationNames::specialCharactersWarning,
                                    NotificationNames::searchConnectionWarning}) {
            center.addObserver(name, &m_context, [this](const Notification& n) {
                if (m_current) {
                    m_current->warnings << n.name;
                    m_current->reason = n.userInfo.value(NotificationNames::reasonKey).toString();
                }
            });
        }
    }

    void init() {
        m_server.clearFaults();
        m_server.resetCounts();
        NetworkAccess::setTransferTimeout(60000);
        UserDefaults::standard().setString(SettingsKeys::country, QStringLiteral("GB"));
    }

    void completesOnceOnTheGuiThreadWithRecords() {
        const Ending e = search(QStringLiteral("abbey road"));
        QCOMPARE(e.completions, 1);
        QVERIFY(e.completedOnGuiThread);
        QVERIFY(e.warnings.isEmpty());
        // Two tracks of one album give one record; the music video and the
        // result without a kind are dropped.
        QCOMPARE(listedNames(), (QStringList{QStringLiteral("Abbey Road (Remastered)"),
                                             QStringLiteral("The Other Side of Abbey Road"),
                                             QStringLiteral("Studio Two: Sessions Vol. 1-s3000")}));
        const AlbumObject& first = AlbumObjectHelper::albumObjects().first();
        QCOMPARE(first.webBrowserUrl(),
                 m_server.origin() + QStringLiteral("/gb/album/1441164426?app=itunes"));
        QVERIFY(first.highResolutionUrl().startsWith(m_server.origin() +
                                                     QStringLiteral("/us/r1000/0/Music115/")));
    }

    void requestIsSentAsBuiltWithPolicy() {
        search(QStringLiteral("rock & roll é"));
        QCOMPARE(m_server.requestTargets(),
                 QList<QByteArray>{"/search?term=rock%20&%20roll%20%C3%A9&country=gb&media=music"});
        QVERIFY(m_server.lastUserAgent().startsWith("Sleevanta/"));
    }

    void missingCountryIsStoredAsUS() {
        UserDefaults::standard().removeObject(SettingsKeys::country);
        search(QStringLiteral("nothing"), QStringLiteral("eBooks"));
        QVERIFY(m_server.requestTargets().value(0).endsWith("&country=us&media=ebook"));
        QCOMPARE(UserDefaults::standard().value(SettingsKeys::country).toString(),
                 QStringLiteral("US"));
    }

    void unknownMediaSendsError() {
        search(QStringLiteral("nothing"), QStringLiteral("music"));
        QVERIFY(m_server.requestTargets().value(0).endsWith("&media=ERROR"));
    }

    void endings_data() {
        QTest::addColumn<QString>("term");
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("completions");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QString>("reason");
        const QString special = NotificationNames::specialCharactersWarning;
        const QString connection = NotificationNames::searchConnectionWarning;
        QTest::newRow("empty results")
            << "nothing" << int(Fault::None) << 0 << 1 << QString() << QString();
        QTest::newRow("no results key")
            << "no results key" << int(Fault::None) << 0 << 1 << QString() << QString();
        QTest::newRow("json array")
            << "json array" << int(Fault::None) << 0 << 0 << special << QString();
        QTest::newRow("bare number")
            << "bare number" << int(Fault::None) << 0 << 0 << special << QString();
        QTest::newRow("garbage") << "abbey road" << int(Fault::Garbage) << 0 << 0 << special
                                 << QString();
        QTest::newRow("500 empty")
            << "abbey road" << int(Fault::Status) << 500 << 0 << special << QString();
        QTest::newRow("403 empty: rate limit")
            << "abbey road" << int(Fault::Status) << 403 << 0 << connection << "throttled";
        QTest::newRow("429 empty: rate limit")
            << "abbey road" << int(Fault::Status) << 429 << 0 << connection << "throttled";
        QTest::newRow("reset") << "abbey road" << int(Fault::Reset) << 0 << 0 << connection
                               << "offline";
        QTest::newRow("truncated")
            << "abbey road" << int(Fault::Truncate) << 0 << 0 << connection << "offline";
        QTest::newRow("no content length")
            << "abbey road" << int(Fault::NoContentLength) << 0 << 1 << QString() << QString();
        QTest::newRow("slow drip within timeout")
            << "abbey road" << int(Fault::SlowDrip) << 0 << 1 << QString() << QString();
        QTest::newRow("20 MB answer")
            << "abbey road" << int(Fault::HugeJson) << 0 << 1 << QString() << QString();
    }

    void endings() {
        QFETCH(QString, term);
        QFETCH(int, fault);
        QFETCH(int, status);
        QFETCH(int, completions);
        QFETCH(QString, warning);
        QFETCH(QString, reason);
        FixtureServer::FaultConfig config;
        config.fault = Fault(fault);
        config.statusCode = status;
        m_server.setFault(Scope::Search, config);
        const Ending e = search(term, QStringLiteral("Music"), 30000);
        QVERIFY2(e.completions == completions,
                 qPrintable(e.warnings.join(QLatin1Char(',')) + QLatin1Char(' ') + e.reason));
        QCOMPARE(e.warnings, warning.isEmpty() ? QStringList() : QStringList{warning});
        QCOMPARE(e.reason, reason);
        if (completions == 0) {
            QVERIFY(AlbumObjectHelper::albumObjects().isEmpty());
        }
    }

    void unreachableCatalogueIsOffline() {
        ServiceOrigins::setCurrent(
            ServiceOrigins::singleOrigin(QStringLiteral("http://127.0.0.1:9")));
        const Ending e = search(QStringLiteral("abbey road"));
        ServiceOrigins::setCurrent(ServiceOrigins::singleOrigin(m_server.origin()));
        QCOMPARE(e.warnings, QStringList{NotificationNames::searchConnectionWarning});
        QCOMPARE(e.reason, NotificationNames::reasonOffline);
    }

    void timeoutIsOffline() {
        NetworkAccess::setTransferTimeout(300);
        FixtureServer::FaultConfig config;
        config.fault = Fault::Delay;
        config.delayMs = 3000;
        m_server.setFault(Scope::Search, config);
        const Ending e = search(QStringLiteral("abbey road"));
        QCOMPARE(e.completions, 0);
        QCOMPARE(e.reason, NotificationNames::reasonOffline);
    }

    void lateAnswerOfAnOlderSearchIsDropped() {
        FixtureServer::FaultConfig slow;
        slow.fault = Fault::Delay;
        slow.delayMs = 400;
        m_server.setFault(Scope::Search, slow);
        int olderCompletions = 0;
        AlbumObjectHelper::searchAlbumObjects(QStringLiteral("abbey road"), QStringLiteral("Music"),
                                              [&] { ++olderCompletions; });
        QTRY_COMPARE(m_server.requestCount(QStringLiteral("/search")), 1);
        m_server.clearFaults();
        const Ending newer = search(QStringLiteral("the dark knight"), QStringLiteral("Movies"));
        QCOMPARE(newer.completions, 1);
        QTest::qWait(700); // past the older answer's delay
        QCOMPARE(olderCompletions, 0);
        QCOMPARE(listedNames(), (QStringList{QStringLiteral("The Dark Knight"),
                                             QStringLiteral("The Dark Knight Rises")}));
    }

    void clearingAbandonsTheRunningSearch() {
        FixtureServer::FaultConfig slow;
        slow.fault = Fault::Delay;
        slow.delayMs = 200;
        m_server.setFault(Scope::Search, slow);
        int completions = 0;
        AlbumObjectHelper::searchAlbumObjects(QStringLiteral("abbey road"), QStringLiteral("Music"),
                                              [&] { ++completions; });
        AlbumObjectHelper::clearAlbumObjects();
        QTest::qWait(500);
        QCOMPARE(completions, 0);
        QVERIFY(AlbumObjectHelper::albumObjects().isEmpty());
    }

    void generatedAnswersOfManyResults() {
        const Ending e = search(QStringLiteral("generated 200"));
        QCOMPARE(e.completions, 1);
        QCOMPARE(AlbumObjectHelper::albumObjects().size(), 200);
    }
};

QTEST_GUILESS_MAIN(TestCatalogueSearch)
#include "tst_catalogue_search.moc"

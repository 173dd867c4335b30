#include "NotificationCenter.h"

#include <QThread>
#include <QtTest>

class TestNotificationCenter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { NotificationCenter::defaultCenter().reset(); }

    void deliversByNameWithUserInfo() {
        auto& center = NotificationCenter::defaultCenter();
        QStringList seen;
        QObject owner;
        center.addObserver(QStringLiteral("a"), &owner, [&](const Notification& n) {
            seen << n.name + QLatin1Char('=') + n.userInfo.value(QStringLiteral("k")).toString();
        });
        center.addObserver(QStringLiteral("b"), &owner,
                           [&](const Notification& n) { seen << n.name; });
        center.post(QStringLiteral("a"), {{QStringLiteral("k"), QStringLiteral("v")}});
        center.post(QStringLiteral("c"));
        center.post(QStringLiteral("b"));
        QCOMPARE(seen, (QStringList{QStringLiteral("a=v"), QStringLiteral("b")}));
    }

    void observersRunInRegistrationOrder() {
        auto& center = NotificationCenter::defaultCenter();
        QList<int> order;
        for (int i = 0; i < 5; ++i) {
            center.addObserver(QStringLiteral("n"), nullptr,
                               [&order, i](const Notification&) { order << i; });
        }
        center.post(QStringLiteral("n"));
        QCOMPARE(order, (QList<int>{0, 1, 2, 3, 4}));
    }

    void destroyedContextStopsDelivery() {
        auto& center = NotificationCenter::defaultCenter();
        int calls = 0;
        auto* owner = new QObject;
        center.addObserver(QStringLiteral("n"), owner, [&](const Notification&) { ++calls; });
        center.post(QStringLiteral("n"));
        delete owner;
        center.post(QStringLiteral("n"));
        QCOMPARE(calls, 1);
        QCOMPARE(center.observerCount(QStringLiteral("n")), 0);
    }

    void handlerMayDestroyAnotherObserversContext() {
        auto& center = NotificationCenter::defaultCenter();
        auto* second = new QObject;
        int secondCalls = 0;
        center.addObserver(QStringLiteral("n"), nullptr,
                           [&](const Notification&) { delete second; });
        center.addObserver(QStringLiteral("n"), second,
                           [&](const Notification&) { ++secondCalls; });
        center.post(QStringLiteral("n"));
        QCOMPARE(secondCalls, 0);
    }

    void handlerMayPostAndAddObservers() {
        auto& center = NotificationCenter::defaultCenter();
        QStringList seen;
        center.addObserver(QStringLiteral("outer"), nullptr, [&](const Notification&) {
            seen << QStringLiteral("outer");
            center.addObserver(QStringLiteral("inner"), nullptr,
                               [&](const Notification&) { seen << QStringLiteral("inner"); });
            center.post(QStringLiteral("inner"));
        });
        center.post(QStringLiteral("outer"));
        QCOMPARE(seen, (QStringList{QStringLiteral("outer"), QStringLiteral("inner")}));
    }

    void deliveredOnThePostingThread() {
        auto& center = NotificationCenter::defaultCenter();
        QThread* deliveredOn = nullptr;
        center.addObserver(QStringLiteral("n"), nullptr,
                           [&](const Notification&) { deliveredOn = QThread::currentThread(); });
        QThread* worker = QThread::create([&] { center.post(QStringLiteral("n")); });
        worker->start();
        QVERIFY(worker->wait(5000));
        QCOMPARE(deliveredOn, worker);
        delete worker;
    }

    void concurrentPostsAndRegistrations() {
        auto& center = NotificationCenter::defaultCenter();
        QAtomicInt calls = 0;
        center.addObserver(QStringLiteral("n"), nullptr, [&](const Notification&) { calls.ref(); });
        QList<QThread*> threads;
        for (int t = 0; t < 4; ++t) {
            threads << QThread::create([&] {
                for (int i = 0; i < 500; ++i) {
                    center.post(QStringLiteral("n"));
                    center.removeObserver(center.addObserver(QStringLiteral("other"), nullptr,
                                                             [](const Notification&) {}));
                }
            });
            threads.last()->start();
        }
        for (QThread* t : threads) {
            QVERIFY(t->wait(10000));
            delete t;
        }
        QCOMPARE(calls.loadRelaxed(), 2000);
    }
};

QTEST_GUILESS_MAIN(TestNotificationCenter)
#include "tst_notificationcenter.moc"

// The platform stand-ins: the notification centre and the text that names from
// the network are reduced to.
#include "TestSupport.h"
#include "platform/NotificationCenter.h"
#include "platform/TextSafety.h"

class TestPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { TestSupport::resetHome(); }

    void notificationsReachTheirObservers() {
        auto& center = NotificationCenter::defaultCenter();
        QStringList seen;
        auto* owner = new QObject;
        auto* victim = new QObject;
        center.addObserver(QStringLiteral("a"), owner, [&](const Notification& n) {
            seen << n.name + n.userInfo.value(QStringLiteral("k")).toString();
            delete victim; // an observer may end another's life
            victim = nullptr;
            center.post(QStringLiteral("b"));
        });
        center.addObserver(QStringLiteral("a"), victim, [&](const Notification&) { seen << "x"; });
        center.addObserver(QStringLiteral("b"), nullptr, [&](const Notification&) { seen << "b"; });
        center.post(QStringLiteral("a"), {{QStringLiteral("k"), QStringLiteral("=v")}});
        center.post(QStringLiteral("c"));
        QCOMPARE(seen, (QStringList{QStringLiteral("a=v"), QStringLiteral("b")}));
        delete owner;
        center.post(QStringLiteral("a"));
        QCOMPARE(center.observerCount(QStringLiteral("a")), 0);

        QThread* deliveredOn = nullptr;
        center.addObserver(QStringLiteral("t"), nullptr,
                           [&](const Notification&) { deliveredOn = QThread::currentThread(); });
        std::unique_ptr<QThread> worker(QThread::create([&] { center.post(QStringLiteral("t")); }));
        worker->start();
        QVERIFY(worker->wait(5000));
        QCOMPARE(deliveredOn, worker.get());
    }
};

SLEEVANTA_TEST_MAIN(TestPlatform, QCoreApplication)
#include "tst_platform.moc"

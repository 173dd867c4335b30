#include "UserDefaults.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <unistd.h>

class TestUserDefaults : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("sub/defaults.json")); }

private Q_SLOTS:
    void init() { QFile::remove(path()); }

    void kindsSurviveARestart_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("text") << QVariant(QStringLiteral("Music"))
                              << QVariant(QStringLiteral("Music"));
        QTest::newRow("empty text") << QVariant(QString()) << QVariant(QString(""));
        QTest::newRow("text of digits")
            << QVariant(QStringLiteral("1")) << QVariant(QStringLiteral("1"));
        QTest::newRow("int") << QVariant(1) << QVariant::fromValue<qint64>(1);
        QTest::newRow("big integer") << QVariant::fromValue<qint64>(9007199254740993LL)
                                     << QVariant::fromValue<qint64>(9007199254740993LL);
        QTest::newRow("min integer")
            << QVariant::fromValue<qint64>(std::numeric_limits<qint64>::min())
            << QVariant::fromValue<qint64>(std::numeric_limits<qint64>::min());
        QTest::newRow("fraction") << QVariant(0.1) << QVariant(0.1);
        QTest::newRow("whole double stays double") << QVariant(2.0) << QVariant(2.0);
        QTest::newRow("url") << QVariant(QUrl::fromLocalFile(QStringLiteral("/tmp/a b/ü.jpg")))
                             << QVariant(QUrl::fromLocalFile(QStringLiteral("/tmp/a b/ü.jpg")));
        QTest::newRow("bytes") << QVariant(QByteArray("\x00\x01\xff geometry", 13))
                               << QVariant(QByteArray("\x00\x01\xff geometry", 13));
        QTest::newRow("unicode text") << QVariant(QStringLiteral("Sigur Rós — ( )"))
                                      << QVariant(QStringLiteral("Sigur Rós — ( )"));
    }

    void kindsSurviveARestart() {
        QFETCH(QVariant, stored);
        QFETCH(QVariant, expected);
        {
            UserDefaults writer(path());
            QVERIFY(writer.setValue(QStringLiteral("KEY"), stored));
        }
        UserDefaults fresh(path()); // reads the file; nothing shared with the writer
        const QVariant read = fresh.value(QStringLiteral("KEY"));
        QCOMPARE(read.metaType(), expected.metaType());
        QCOMPARE(read, expected);
    }

    void removalAndNullValuesPersist() {
        {
            UserDefaults d(path());
            d.setString(QStringLiteral("A"), QStringLiteral("x"));
            d.setString(QStringLiteral("B"), QStringLiteral("y"));
            d.removeObject(QStringLiteral("A"));
            d.setValue(QStringLiteral("B"), QVariant());
            d.removeObject(QStringLiteral("NEVER_THERE"));
        }
        UserDefaults fresh(path());
        QVERIFY(fresh.keys().isEmpty());
    }

    void urlForKeyIgnoresOtherKinds() {
        UserDefaults d(path());
        d.setString(QStringLiteral("U"), QStringLiteral("file:///tmp/x.jpg"));
        QVERIFY(d.urlForKey(QStringLiteral("U")).isEmpty());
        d.setUrl(QStringLiteral("U"), QUrl(QStringLiteral("file:///tmp/x.jpg")));
        QCOMPARE(d.urlForKey(QStringLiteral("U")), QUrl(QStringLiteral("file:///tmp/x.jpg")));
        d.setUrl(QStringLiteral("U"), QUrl());
        QVERIFY(!d.contains(QStringLiteral("U")));
    }

    void unsupportedKindsAreRefused() {
        UserDefaults d(path());
        QVERIFY(!d.setValue(QStringLiteral("K"), QVariant(QStringList{QStringLiteral("a")})));
        QVERIFY(!d.contains(QStringLiteral("K")));
    }

    void corruptFileIsMovedAsideAndDefaultsUsed_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("garbage") << QByteArray("\x89PNG not json at all");
        QTest::newRow("truncated") << QByteArray("{\"format\":1,\"values\":{\"A\":{\"kind\":\"te");
        QTest::newRow("array") << QByteArray("[1,2,3]");
        QTest::newRow("values not object") << QByteArray("{\"values\":7}");
    }

    void corruptFileIsMovedAsideAndDefaultsUsed() {
        QFETCH(QByteArray, content);
        QDir().mkpath(QFileInfo(path()).absolutePath());
        for (const QString& f :
             QDir(QFileInfo(path()).absolutePath()).entryList({QStringLiteral("*.corrupt-*")})) {
            QFile::remove(QFileInfo(path()).absolutePath() + QLatin1Char('/') + f);
        }
        {
            QFile f(path());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        UserDefaults d(path());
        QVERIFY(d.keys().isEmpty());
        const QStringList aside = QDir(QFileInfo(path()).absolutePath())
                                      .entryList({QStringLiteral("defaults.json.corrupt-*")});
        QCOMPARE(aside.size(), 1);
        // The store works again afterwards.
        d.setString(QStringLiteral("A"), QStringLiteral("b"));
        QCOMPARE(UserDefaults(path()).value(QStringLiteral("A")).toString(), QStringLiteral("b"));
    }

    void oneDamagedEntryCostsOnlyThatEntry() {
        QDir().mkpath(QFileInfo(path()).absolutePath());
        QFile f(path());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(R"({"format":1,"values":{"GOOD":{"kind":"integer","value":"7"},
                    "BAD":{"kind":"integer","value":"seven"},"ODD":{"kind":"alien","value":"x"}}})");
        f.close();
        UserDefaults d(path());
        QCOMPARE(d.keys(), QStringList{QStringLiteral("GOOD")});
        QCOMPARE(d.value(QStringLiteral("GOOD")), QVariant::fromValue<qint64>(7));
    }

    void unwritableFolderKeepsValuesInMemory() {
        // A file where the settings folder should be: nothing can be created.
        const QString blocker = m_dir.filePath(QStringLiteral("blocker"));
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        UserDefaults d(blocker + QStringLiteral("/defaults.json"));
        d.setString(QStringLiteral("A"), QStringLiteral("b"));
        d.setInteger(QStringLiteral("N"), 7);
        QCOMPARE(d.value(QStringLiteral("A")).toString(), QStringLiteral("b"));
        QCOMPARE(d.value(QStringLiteral("N")).toLongLong(), 7);
        QVERIFY(QFileInfo(blocker).isFile());
        QFile::remove(blocker);
    }

    void unreadableFileGivesDefaults() {
        if (::geteuid() == 0) {
            QSKIP("root reads every file");
        }
        {
            UserDefaults d(path());
            d.setString(QStringLiteral("A"), QStringLiteral("b"));
        }
        QFile::setPermissions(path(), QFileDevice::Permissions());
        UserDefaults d(path());
        QVERIFY(d.keys().isEmpty());
        QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void twoInstancesKeepEachOthersKeys() {
        UserDefaults first(path());
        UserDefaults second(path()); // both loaded the same (empty) state
        first.setString(QStringLiteral("MEDIA"), QStringLiteral("Movies"));
        second.setInteger(QStringLiteral("QUALITY"), 1);
        first.setString(QStringLiteral("COUNTRY"), QStringLiteral("DE"));
        UserDefaults fresh(path());
        QCOMPARE(fresh.value(QStringLiteral("MEDIA")).toString(), QStringLiteral("Movies"));
        QCOMPARE(fresh.value(QStringLiteral("QUALITY")), QVariant::fromValue<qint64>(1));
        QCOMPARE(fresh.value(QStringLiteral("COUNTRY")).toString(), QStringLiteral("DE"));
    }

    void concurrentWritersLoseNothing() {
        QList<QThread*> threads;
        for (int t = 0; t < 3; ++t) {
            threads << QThread::create([this, t] {
                UserDefaults own(path());
                for (int i = 0; i < 40; ++i) {
                    own.setInteger(QStringLiteral("T%1_%2").arg(t).arg(i), i);
                }
            });
            threads.last()->start();
        }
        for (QThread* thread : threads) {
            QVERIFY(thread->wait(60000));
            delete thread;
        }
        QCOMPARE(UserDefaults(path()).keys().size(), 120);
    }
};

QTEST_GUILESS_MAIN(TestUserDefaults)
#include "tst_userdefaults.moc"

#include "DefaultsHelper.h"
#include "UserDefaults.h"

#include <QtTest>

class TestDefaultsHelper : public QObject {
    Q_OBJECT
private:
    static UserDefaults& store() { return UserDefaults::standard(); }

private Q_SLOTS:
    void init() {
        for (const QString& key : store().keys()) {
            store().removeObject(key);
        }
    }

    void emptyStoreGivesAndWritesDefaults() {
        QCOMPARE(DefaultsHelper::storedMedia(), QStringLiteral("Music"));
        QCOMPARE(DefaultsHelper::storedCountry(), QStringLiteral("US"));
        QCOMPARE(DefaultsHelper::storedNameFormat(), QStringLiteral("folder.jpg"));
        QCOMPARE(DefaultsHelper::storedQuality(), 0);
        QCOMPARE(DefaultsHelper::storedReplaceSpaces(), 0);
        QCOMPARE(DefaultsHelper::storedReplaceCharacters(), 0);
        QCOMPARE(DefaultsHelper::storedLowercase(), 0);
        QCOMPARE(DefaultsHelper::storedClearCacheOnExit(), 0);
        // Written back with the right kind, and on disk.
        UserDefaults fresh(UserDefaults::standardFilePath());
        QCOMPARE(fresh.value(SettingsKeys::media), QVariant(QStringLiteral("Music")));
        QCOMPARE(fresh.value(SettingsKeys::country), QVariant(QStringLiteral("US")));
        QCOMPARE(fresh.value(SettingsKeys::defaultNameFormat),
                 QVariant(QStringLiteral("folder.jpg")));
        for (const QString& key :
             {SettingsKeys::quality, SettingsKeys::replaceSpaces, SettingsKeys::replaceCharacters,
              SettingsKeys::lowercase, SettingsKeys::clearCacheOnExit}) {
            QCOMPARE(fresh.value(key), QVariant::fromValue<qint64>(0));
        }
    }

    void textRead_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("read");
        QTest::addColumn<QVariant>("after");
        QTest::newRow("number is repaired")
            << QVariant(5) << "Music" << QVariant(QStringLiteral("Music"));
        QTest::newRow("url is repaired") << QVariant(QUrl(QStringLiteral("file:///x"))) << "Music"
                                         << QVariant(QStringLiteral("Music"));
        QTest::newRow("empty text is kept") << QVariant(QString("")) << "" << QVariant(QString(""));
        QTest::newRow("any text is kept")
            << QVariant(QStringLiteral("Vinyl")) << "Vinyl" << QVariant(QStringLiteral("Vinyl"));
    }

    void textRead() {
        QFETCH(QVariant, stored);
        QFETCH(QString, read);
        QFETCH(QVariant, after);
        store().setValue(SettingsKeys::media, stored);
        QCOMPARE(DefaultsHelper::storedMedia(), read);
        QCOMPARE(store().value(SettingsKeys::media), after);
    }

    void integerRead_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<qint64>("read");
        QTest::newRow("text of a digit is repaired") << QVariant(QStringLiteral("1")) << qint64(0);
        QTest::newRow("fraction is repaired") << QVariant(0.5) << qint64(0);
        QTest::newRow("whole double counts") << QVariant(1.0) << qint64(1);
        QTest::newRow("two is kept") << QVariant(2) << qint64(2);
        QTest::newRow("negative is kept") << QVariant(-3) << qint64(-3);
        QTest::newRow("bytes are repaired") << QVariant(QByteArray("1")) << qint64(0);
        QTest::newRow("huge double is repaired") << QVariant(1e30) << qint64(0);
    }

    void integerRead() {
        QFETCH(QVariant, stored);
        QFETCH(qint64, read);
        store().setValue(SettingsKeys::quality, stored);
        QCOMPARE(DefaultsHelper::storedQuality(), read);
        const QVariant after = store().value(SettingsKeys::quality);
        QVERIFY(after.metaType().id() == QMetaType::LongLong ||
                after.metaType().id() == QMetaType::Double);
        QCOMPARE(after.toLongLong(), read);
    }

    void removedFormatIsRestored() {
        store().setString(SettingsKeys::defaultNameFormat, QStringLiteral("cover.jpg"));
        store().setValue(SettingsKeys::defaultNameFormat, QVariant());
        QVERIFY(!store().contains(SettingsKeys::defaultNameFormat));
        QCOMPARE(DefaultsHelper::storedNameFormat(), QStringLiteral("folder.jpg"));
    }

    void obsoleteKeysRemovedAndNothingElse() {
        store().setInteger(QStringLiteral("LAUNCHCOUNT"), 12);
        store().setString(QStringLiteral("SEGMENT"), QStringLiteral("x"));
        store().setString(SettingsKeys::media, QStringLiteral("Movies"));
        store().setString(QStringLiteral("LAUNCH_COUNTER"), QStringLiteral("not obsolete"));
        DefaultsHelper::removeObsoleteKeys();
        QStringList keys = store().keys();
        keys.sort();
        QCOMPARE(keys, (QStringList{QStringLiteral("LAUNCH_COUNTER"), SettingsKeys::media}));
    }
};

QTEST_GUILESS_MAIN(TestDefaultsHelper)
#include "tst_defaultshelper.moc"

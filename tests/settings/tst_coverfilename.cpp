#include "DefaultsHelper.h"
#include "MediaHelper.h"
#include "UserDefaults.h"

#include <QtTest>

namespace {
const QString kArtist = QStringLiteral("Iron Maiden");
const QString kCollection = QStringLiteral("The Book of Souls: The Live Chapter");
const QString kBoth = QStringLiteral("%{artistName} - %{collectionName}.jpg");
} // namespace

class TestCoverFileName : public QObject {
    Q_OBJECT
private:
    static void store(const QString& format, qint64 spaces, qint64 characters, qint64 lower) {
        UserDefaults& d = UserDefaults::standard();
        d.setString(SettingsKeys::defaultNameFormat, format);
        d.setInteger(SettingsKeys::replaceSpaces, spaces);
        d.setInteger(SettingsKeys::replaceCharacters, characters);
        d.setInteger(SettingsKeys::lowercase, lower);
    }

private Q_SLOTS:
    void defaultsWhenNothingIsStored() {
        for (const QString& key : UserDefaults::standard().keys()) {
            UserDefaults::standard().removeObject(key);
        }
        QCOMPARE(MediaHelper::coverFileName(kArtist, kCollection), QStringLiteral("folder.jpg"));
        for (const QString& key : {SettingsKeys::defaultNameFormat, SettingsKeys::replaceSpaces,
                                   SettingsKeys::replaceCharacters, SettingsKeys::lowercase}) {
            QVERIFY2(UserDefaults::standard().contains(key), qPrintable(key));
        }
    }

    void names_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QString>("collection");
        QTest::addColumn<qint64>("spaces");
        QTest::addColumn<qint64>("characters");
        QTest::addColumn<qint64>("lower");
        QTest::addColumn<QString>("expected");
        QTest::newRow("all off") << kBoth << kArtist << kCollection << qint64(0) << qint64(0)
                                 << qint64(0)
                                 << "Iron Maiden - The Book of Souls: The Live Chapter.jpg";
        QTest::newRow("spaces") << kBoth << kArtist << kCollection << qint64(1) << qint64(0)
                                << qint64(0)
                                << "Iron_Maiden_-_The_Book_of_Souls:_The_Live_Chapter.jpg";
        QTest::newRow("characters")
            << kBoth << kArtist << kCollection << qint64(0) << qint64(1) << qint64(0)
            << "Iron Maiden - The Book of Souls_ The Live Chapter.jpg";
        QTest::newRow("lower") << kBoth << kArtist << kCollection << qint64(0) << qint64(0)
                               << qint64(1)
                               << "iron maiden - the book of souls: the live chapter.jpg";
        QTest::newRow("all on") << kBoth << kArtist << kCollection << qint64(1) << qint64(1)
                                << qint64(1)
                                << "iron_maiden_-_the_book_of_souls__the_live_chapter.jpg";
        QTest::newRow("folder.jpg all on") << "folder.jpg" << kArtist << kCollection << qint64(1)
                                           << qint64(1) << qint64(1) << "folder.jpg";
        QTest::newRow("line feeds leave the collection")
            << "%{collectionName}.jpg"
            << "x"
            << "a\nb\n"
            << qint64(0) << qint64(0) << qint64(0) << "ab.jpg";
        QTest::newRow("slash reaches the caller")
            << kBoth << "A/B"
            << "C" << qint64(0) << qint64(0) << qint64(0) << "A/B - C.jpg";
        QTest::newRow("slash replaced")
            << kBoth << "A/B"
            << "C" << qint64(0) << qint64(1) << qint64(0) << "A_B - C.jpg";
        QTest::newRow("token inside the artist")
            << kBoth << "x %{collectionName}"
            << "y" << qint64(0) << qint64(0) << qint64(0) << "x y - y.jpg";
        QTest::newRow("empty names") << kBoth << ""
                                     << "" << qint64(0) << qint64(0) << qint64(0) << " - .jpg";
        QTest::newRow("spaces stored as 2 stay")
            << kBoth << "a b"
            << "c" << qint64(2) << qint64(0) << qint64(0) << "a b - c.jpg";
        QTest::newRow("artist line feed stays")
            << kBoth << "a\nb"
            << "c\n"
            << qint64(0) << qint64(0) << qint64(0) << "a\nb - c.jpg";
        QTest::newRow("nine characters, one underscore each")
            << "%{artistName}"
            << "/\\:*?\"<>|"
            << "" << qint64(0) << qint64(1) << qint64(0) << "_________";
        QTest::newRow("hyphen stop apostrophe comma stay")
            << "%{artistName}"
            << "a-b.c'd,e"
            << "" << qint64(0) << qint64(1) << qint64(0) << "a-b.c'd,e";
        QTest::newRow("non-ASCII capitals lowered")
            << "%{artistName}.jpg"
            << "ÉMILIE ΣΟΦΙΑ Ä"
            << "" << qint64(0) << qint64(0) << qint64(1) << "émilie σοφια ä.jpg";
        QTest::newRow("other %{ text copied")
            << "%{artist} %{collectionName"
            << "a"
            << "b" << qint64(0) << qint64(0) << qint64(0) << "%{artist} %{collectionName";
        QTest::newRow("tokens are case-sensitive")
            << "%{ArtistName}"
            << "a"
            << "b" << qint64(0) << qint64(0) << qint64(0) << "%{ArtistName}";
        QTest::newRow("token twice") << "%{artistName}/%{artistName}"
                                     << "a"
                                     << "b" << qint64(0) << qint64(0) << qint64(0) << "a/a";
    }

    void names() {
        QFETCH(QString, format);
        QFETCH(QString, artist);
        QFETCH(QString, collection);
        QFETCH(qint64, spaces);
        QFETCH(qint64, characters);
        QFETCH(qint64, lower);
        QFETCH(QString, expected);
        QCOMPARE(MediaHelper::buildFileName(format, artist, collection, spaces, characters, lower),
                 expected);
        store(format, spaces, characters, lower);
        QCOMPARE(MediaHelper::coverFileName(artist, collection), expected);
    }
};

QTEST_GUILESS_MAIN(TestCoverFileName)
#include "tst_coverfilename.moc"

// The settings store, the typed settings and the cover file-name builder.
#include "TestSupport.h"
#include "settings/CoverFileName.h"
#include "settings/Settings.h"

#include <unistd.h>

#include <QThread>

class TestSettings : public QObject {
    Q_OBJECT
private:
    QString path() const {
        return TestSupport::homeFolder().path() + QStringLiteral("/store/defaults.json");
    }
    void writeFile(const QByteArray& content) {
        QDir().mkpath(QFileInfo(path()).absolutePath());
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

private Q_SLOTS:
    void init() { TestSupport::resetHome(); }

    void kindsSurviveARestart_data() {
        TestSupport::columns<QVariant, QVariant>("stored", "expected");
        using TestSupport::row;
        const QVariant text(QStringLiteral("Sigur Rós — 1"));
        const QVariant big = QVariant::fromValue<qint64>(9007199254740993LL);
        const QVariant url(QUrl::fromLocalFile(QStringLiteral("/tmp/a b/ü.jpg")));
        const QVariant bytes(QByteArray("\x00\xff geometry", 11));
        row("text", text, text);
        row("empty text", QVariant(QString()), QVariant(QString("")));
        row("int", QVariant(1), QVariant::fromValue<qint64>(1));
        row("64-bit integer", big, big);
        row("whole double stays double", QVariant(2.0), QVariant(2.0));
        row("url", url, url);
        row("bytes", bytes, bytes);
        row("list is refused", QVariant(QStringList{QStringLiteral("a")}), QVariant());
    }
    void kindsSurviveARestart() {
        QFETCH(QVariant, stored);
        QFETCH(QVariant, expected);
        QCOMPARE(SettingsStore(path()).setValue(QStringLiteral("KEY"), stored), expected.isValid());
        const QVariant read = SettingsStore(path()).value(QStringLiteral("KEY"));
        QCOMPARE(read.metaType(), expected.metaType());
        QCOMPARE(read, expected);
    }

    void damagedFiles_data() {
        TestSupport::columns<QByteArray, QStringList, bool>("content", "keys", "movedAside");
        using TestSupport::row;
        row("garbage", QByteArray("\x89PNG not json"), QStringList(), true);
        row("values not an object", QByteArray(R"({"values":7})"), QStringList(), true);
        row("one damaged entry costs that entry",
            QByteArray(R"({"values":{"GOOD":{"kind":"integer","value":"7"},
                "BAD":{"kind":"integer","value":"seven"},"ODD":{"kind":"alien","value":"x"}}})"),
            QStringList{"GOOD"}, false);
    }
    void damagedFiles() {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, keys);
        QFETCH(bool, movedAside);
        writeFile(content);
        SettingsStore store(path());
        QCOMPARE(store.keys(), keys);
        const QDir folder = QFileInfo(path()).absoluteDir();
        QCOMPARE(folder.entryList({QStringLiteral("defaults.json.corrupt-*")}).size(),
                 movedAside ? 1 : 0);
        store.setString(QStringLiteral("A"), QStringLiteral("b"));
        store.flush();
        QCOMPARE(SettingsStore(path()).value(QStringLiteral("A")).toString(), QStringLiteral("b"));
    }

    // A folder where the file should be, or a file that cannot be read: the
    // values live in memory, and what is there stays as it was.
    void unusableFilesKeepValuesInMemory_data() {
        TestSupport::columns<bool>("folder");
        TestSupport::row("a folder in its place", true);
        TestSupport::row("an unreadable file", false);
    }
    void unusableFilesKeepValuesInMemory() {
        QFETCH(bool, folder);
        const QByteArray kept = R"({"values":{"MEDIA":{"kind":"text","value":"Movies"}}})";
        if (folder) {
            QVERIFY(QDir().mkpath(path()));
        } else if (::geteuid() == 0) {
            QSKIP("root reads every file");
        } else {
            writeFile(kept);
            QVERIFY(QFile::setPermissions(path(), QFile::WriteOwner));
        }
        SettingsStore store(path());
        QVERIFY(store.keys().isEmpty());
        store.setInteger(QStringLiteral("N"), 7);
        store.flush();
        QCOMPARE(store.value(QStringLiteral("N")).toLongLong(), 7);
        QCOMPARE(QFileInfo(path()).isDir(), folder);
        QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(TestSupport::readFile(path()), folder ? QByteArray() : kept);
    }

    void instancesKeepEachOthersKeys() {
        SettingsStore first(path());
        SettingsStore second(path());
        first.setString(QStringLiteral("MEDIA"), QStringLiteral("Movies"));
        second.setInteger(QStringLiteral("QUALITY"), 1);
        QList<QThread*> threads;
        for (int t = 0; t < 3; ++t) {
            threads << QThread::create([this, t] {
                SettingsStore own(path());
                for (int i = 0; i < 20; ++i) {
                    own.setInteger(QStringLiteral("T%1_%2").arg(t).arg(i), i);
                }
            });
            threads.last()->start();
        }
        for (QThread* thread : threads) {
            QVERIFY(thread->wait(60000));
            delete thread;
        }
        first.flush();
        second.flush();
        SettingsStore fresh(path());
        QCOMPARE(fresh.keys().size(), 62);
        QCOMPARE(fresh.value(QStringLiteral("MEDIA")).toString(), QStringLiteral("Movies"));
    }

    // A missing or mistyped value reads as the default and is written back;
    // a switch is on only at 1. Every change is announced.
    void readersRepairWhatTheyCannotUse_data() {
        TestSupport::columns<QString, QString, QVariant, QVariant, QVariant>(
            "setting", "key", "stored", "read", "after");
        using TestSupport::row;
        row("missing text", "country", "COUNTRY", QVariant(), QVariant("US"), QVariant("US"));
        row("number for text", "media", "MEDIA", QVariant(5), QVariant("Music"), QVariant("Music"));
        row("empty text is kept", "nameFormat", "DEFAULTNAMEFORMAT", QVariant(""), QVariant(""),
            QVariant(""));
        row("missing switch", "highQuality", "QUALITY", QVariant(), QVariant(false), QVariant(0));
        row("text of a digit", "highQuality", "QUALITY", QVariant("1"), QVariant(false),
            QVariant(0));
        row("whole double counts", "lowercase", "LOWERCASE", QVariant(1.0), QVariant(true),
            QVariant(1));
        row("fraction", "lowercase", "LOWERCASE", QVariant(0.5), QVariant(false), QVariant(0));
        row("huge double", "lowercase", "LOWERCASE", QVariant(1e30), QVariant(false), QVariant(0));
        row("two is off, and kept", "replaceSpaces", "REPLACESPACES", QVariant(2), QVariant(false),
            QVariant(2));
    }
    void readersRepairWhatTheyCannotUse() {
        QFETCH(QString, setting);
        QFETCH(QString, key);
        QFETCH(QVariant, stored);
        QFETCH(QVariant, read);
        QFETCH(QVariant, after);
        Settings& settings = TestSupport::context().settings();
        TestSupport::context().settingsStore().setValue(key, stored);
        const std::map<QString, const Setting<QString>*> texts{
            {QStringLiteral("country"), &Settings::country},
            {QStringLiteral("media"), &Settings::media},
            {QStringLiteral("nameFormat"), &Settings::nameFormat}};
        const std::map<QString, const Setting<bool>*> switches{
            {QStringLiteral("highQuality"), &Settings::highQuality},
            {QStringLiteral("lowercase"), &Settings::lowercase},
            {QStringLiteral("replaceSpaces"), &Settings::replaceSpaces}};
        const bool text = texts.count(setting) > 0;
        QCOMPARE(text ? QVariant(settings.value(*texts.at(setting)))
                      : QVariant(settings.value(*switches.at(setting))),
                 read);
        // What was read is what is stored now, on disk too.
        TestSupport::context().settingsStore().flush();
        const QVariant now = SettingsStore(SettingsStore::standardFilePath()).value(key);
        QCOMPARE(text ? now : QVariant(int(now.toLongLong())), after);

        QSignalSpy changed(&settings, &Settings::changed);
        settings.setValue(Settings::lowercase, true);
        settings.setOwnNameFormat(QStringLiteral("Movies"), QStringLiteral("x.jpg"));
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed[0][0].value<SettingId>(), SettingId::Lowercase);
        QCOMPARE(changed[1][0].value<SettingId>(), SettingId::KindNameFormat);
    }

    void obsoleteKeysGoAndNothingElse() {
        SettingsStore& store = TestSupport::context().settingsStore();
        store.setInteger(QStringLiteral("LAUNCHCOUNT"), 12);
        store.setString(QStringLiteral("SEGMENT"), QStringLiteral("x"));
        store.setString(QStringLiteral("LAUNCH_COUNTER"), QStringLiteral("kept"));
        TestSupport::context().settings().removeObsoleteKeys();
        QCOMPARE(store.keys(), QStringList{QStringLiteral("LAUNCH_COUNTER")});
    }

    void fileNames_data() {
        // Options: spaces 1, characters 2, lower case 4. The item is a 2017
        // release of the media kind named; "movieFormat" is stored as the
        // Movies kind's own format when not empty.
        TestSupport::columns<QString, QString, QString, int, QString, QString, QString>(
            "format", "artist", "collection", "options", "media", "movieFormat", "expected");
        const QString both = QStringLiteral("%{artistName} - %{collectionName}.jpg");
        using TestSupport::row;
        row("all off", both, "Iron Maiden", "Souls: Live", 0, "Music", "",
            "Iron Maiden - Souls: Live.jpg");
        row("all on", both, "Iron Maiden", "Souls: Live", 7, "Music", "",
            "iron_maiden_-_souls__live.jpg");
        row("nine characters", "%{artistName}", "/\\:*?\"<>|", "", 2, "Music", "", "_________");
        row("full case mapping, final sigma", "%{artistName}", "ΟΔΟΣ ÉMILIE", "", 4, "Music", "",
            "οδος émilie");
        row("no slash from a name, whatever the options", both, "AC/DC", "Back/Black", 0, "Music",
            "", "AC_DC - Back_Black.jpg");
        row("only the tokens, case-sensitive", "%{ArtistName} %{collectionName", "a", "b", 0,
            "Music", "", "%{ArtistName} %{collectionName");
        row("a token in the artist name is filled in too", both, "x %{collectionName}", "y", 0,
            "Music", "", "x y - y.jpg");
        row("year and media kind", "%{mediaKind}/%{collectionName} (%{year}).jpg", "a", "Up", 2,
            "Movies", "", "Movies_Up (2017).jpg");
        row("a kind's own format", both, "Pete Docter", "Up", 0, "Movies",
            "%{collectionName} (%{year}).jpg", "Up (2017).jpg");
        row("another kind uses Music's", both, "a", "b", 0, "TV Shows", "%{year}.jpg", "a - b.jpg");
        row("no token inside a name is a year", "%{collectionName}", "a", "%{year}", 0, "Music", "",
            "%{year}");
    }
    void fileNames() {
        QFETCH(QString, format);
        QFETCH(QString, artist);
        QFETCH(QString, collection);
        QFETCH(int, options);
        QFETCH(QString, media);
        QFETCH(QString, movieFormat);
        QFETCH(QString, expected);
        Settings& settings = TestSupport::context().settings();
        settings.setValue(Settings::nameFormat, format);
        if (!movieFormat.isEmpty()) {
            settings.setOwnNameFormat(QStringLiteral("Movies"), movieFormat);
        }
        settings.setValue(Settings::replaceSpaces, options & 1);
        settings.setValue(Settings::replaceCharacters, (options & 2) != 0);
        settings.setValue(Settings::lowercase, (options & 4) != 0);
        QCOMPARE(CoverFileName::fromSettings(settings, {artist, collection, 2017, media}),
                 expected);
        if (format.contains(QLatin1String("(%{year})"))) { // a record without a date
            QCOMPARE(CoverFileName::fromSettings(settings, {artist, collection, 0, media}),
                     QString(expected).remove(QStringLiteral(" (2017)")));
        }
    }

    void formatsThatCannotNameAFile_data() {
        TestSupport::columns<QString, QString>("format", "hint");
        using TestSupport::row;
        row("empty", "", "Type a name");
        row("blanks", "  ", "Type a name");
        row("a folder separator alone", "/", "A file name cannot");
        row("a folder in the name", "%{artistName}/cover.jpg", "A file name cannot");
        row("no extension", "%{collectionName}", "End the name with");
        row("another picture format", "cover.png", "End the name with");
        row("an extension alone", ".jpg", "Type a name before");
        row("a name", "%{collectionName} (%{year}).JPEG", "");
    }
    void formatsThatCannotNameAFile() {
        QFETCH(QString, format);
        QFETCH(QString, hint);
        const QString problem = CoverFileName::formatProblem(format).value_or(QString());
        QVERIFY2(hint.isEmpty() ? problem.isEmpty() : problem.startsWith(hint),
                 qPrintable(problem));
    }
};

SLEEVANTA_TEST_MAIN(TestSettings, QCoreApplication)
#include "tst_settings.moc"

// A music library's missing covers: scanning real-shaped libraries, bounded
// tag reads, and fill runs of sleevanta-cli against the fixture catalogue,
// counting the requests they take and what their journal spares.
#include "AudioFiles.h"
#include "MemorySource.h"
#include "TestSupport.h"
#include "library/AlbumScanner.h"
#include "library/CoverUpgrade.h"
#include "library/EmbedLock.h"
#include "library/FillJournal.h"
#include "library/FillRun.h"
#include "library/MusicOpening.h"
#include "library/ReplacedCovers.h"
#include "library/TagReader.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <taglib/mp4file.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using Fault = FixtureServer::Fault;

class TestLibrary : public QObject {
    Q_OBJECT
private:
    FixtureServer m_server;
    QString m_root;
    QString m_state; // the runs' XDG_STATE_HOME

    QString album(const QString& relative) {
        QDir().mkpath(m_root + '/' + relative);
        return m_root + '/' + relative;
    }
    // An MP3 track, tagged when names are given.
    void mp3(const QString& path, const AudioFiles::Tags& tags = {}) {
        QVERIFY(AudioFiles::write(path, QStringLiteral("mp3")));
        if (!tags.artist.isEmpty() || !tags.album.isEmpty()) {
            AudioFiles::tag(path, tags);
        }
    }
    struct Run {
        int status = -1;
        QList<QJsonObject> albums;
        QByteArray err;
        QByteArray out;
    };
    QProcessEnvironment m_language; // what the runs' environment adds
    Run fill(const QStringList& options, const QString& root = {}, const QString& origin = {}) {
        return cli(QStringList{"fill", "--json", "--interval", "0.05"} + options +
                       QStringList{root.isEmpty() ? m_root : root},
                   origin);
    }
    Run cli(const QStringList& arguments, const QString& origin = {}) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("SLEEVANTA_SERVICE_ORIGIN"),
                   origin.isEmpty() ? m_server.origin() : origin);
        env.insert(QStringLiteral("XDG_STATE_HOME"), m_state);
        env.insert(m_language);
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(SLEEVANTA_CLI), arguments);
        process.waitForFinished(60000);
        Run run{process.exitCode(),
                {},
                process.readAllStandardError(),
                process.readAllStandardOutput()};
        for (const QByteArray& line : run.out.split('\n')) {
            if (!line.isEmpty()) {
                run.albums.append(QJsonDocument::fromJson(line).object());
            }
        }
        return run;
    }
    // "album=status/via", sorted.
    static QStringList outcomes(const Run& run) {
        QStringList list;
        for (const QJsonObject& a : run.albums) {
            list << a.value("album").toString() + '=' + a.value("status").toString() +
                        (a.contains("via") ? '/' + a.value("via").toString() : QString());
        }
        list.sort();
        return list;
    }
    int requests(const QByteArray& containing) const {
        const QList<QByteArray> targets = m_server.requestTargets();
        return int(std::count_if(targets.begin(), targets.end(), [&](const QByteArray& t) {
            return (t.startsWith("/search") || t.startsWith("/lookup")) && t.contains(containing);
        }));
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_server.start()); }
    void init() {
        TestSupport::resetHome();
        TestSupport::useServer(m_server);
        m_root = TestSupport::homeFolder().filePath(QStringLiteral("Music"));
        m_state = TestSupport::homeFolder().filePath(QStringLiteral("state"));
    }

    // The albums a real library's shapes hold.
    void scanning() {
        mp3(album("Beatles/Abbey Road") + "/01.mp3", {"John", "Abbey Road", "The Beatles"});
        mp3(album("Beatles/Abbey Road") + "/02.mp3", {"Paul", "Abbey Road", "The Beatles"});
        mp3(album(".hidden band/.5 The Gray Chapter") + "/01.mp3");
        mp3(album("Band/.git") + "/01.mp3");
        QFile(album("Odd") + "/._01.mp3").open(QIODevice::WriteOnly);
        for (const char* format : {"wv", "ape", "mpc", "tta", "spx"}) {
            QVERIFY(AudioFiles::write(
                album(QStringLiteral("Formats/%1").arg(format)) + "/01." + format, format));
        }
        mp3(album("Pink Floyd/The Wall/CD1") + "/01.mp3", {"Pink Floyd", "The Wall (Disc 1)"});
        mp3(album("Pink Floyd/The Wall/CD2") + "/01.mp3", {"Pink Floyd", "The Wall (Disc 2)"});
        mp3(album("Box/Set/Disc 1") + "/01.mp3", {"Box", "First"});
        mp3(album("Box/Set/Disc 2") + "/01.mp3", {"Box", "Second"});
        mp3(album("Both/Album") + "/01.mp3", {"Both", "Album"});
        mp3(album("Both/Album/CD1") + "/01.mp3", {"Both", "Bonus"});
        for (const char* name : {"A|One", "B|Two", "C|Three"}) {
            const QStringList p = QString::fromLatin1(name).split('|');
            mp3(album("Mixed/Singles") + '/' + p[0] + ".mp3", {p[0], p[1]});
        }
        mp3(album("Feat/Songs") + "/01.mp3", {"Artist feat. Other", "Songs"});
        mp3(album("Feat/Songs") + "/02.mp3", {"Artist & Guest", "Songs"});
        mp3(album("Feat/Songs") + "/03.mp3", {"Artist", "Songs"});
        mp3(album("Covered/Done") + "/01.mp3", {"A", "B"});
        QFile(album("Covered/Done") + "/Cover.PNG").open(QIODevice::WriteOnly);
        mp3(album("Fleetwood Mac/1977 - Rumours") + "/01.mp3");
        mp3(album("Odd/\xff\xfe names") + "/01.mp3"); // not UTF-8
        QVERIFY(QFile::link(m_root, album("Beatles") + "/loop"));
        QFile(album("Covered/Done") + "/.sleevanta-2147483646-abcdef").open(QIODevice::WriteOnly);

        QStringList seen;
        std::atomic<bool> stop{false};
        AlbumScanner().scan(
            QFile::encodeName(m_root),
            [&](const AlbumFolder& a) {
                seen << QDir(m_root).relativeFilePath(a.path) + '|' + a.artist() + '|' + a.album() +
                            '|' + QString::number(int(a.identity.kind)) + '|' + a.existingCover +
                            '|' + QString::number(a.discFolders.size());
            },
            stop);
        using Kind = AlbumTags::Identity::Kind;
        const auto row = [](const char* text, Kind kind, const char* rest) {
            return QString::fromUtf8(text) + '|' + QString::number(int(kind)) + '|' +
                   QString::fromUtf8(rest);
        };
        QCOMPARE(seen,
                 (QStringList{
                     row(".hidden band/.5 The Gray Chapter|.hidden band|.5 The Gray Chapter",
                         Kind::Album, "|0"),
                     row("Beatles/Abbey Road|The Beatles|Abbey Road", Kind::Album, "|0"),
                     row("Both/Album|Both|Album", Kind::Album, "|0"),
                     row("Both/Album/CD1|Both|Bonus", Kind::Album, "|0"),
                     row("Box/Set/Disc 1|Box|First", Kind::Album, "|0"),
                     row("Box/Set/Disc 2|Box|Second", Kind::Album, "|0"),
                     row("Covered/Done|A|B", Kind::Album, "Cover.PNG|0"),
                     row("Feat/Songs|Artist|Songs", Kind::Album, "|0"),
                     row("Fleetwood Mac/1977 - Rumours|Fleetwood Mac|Rumours", Kind::Album, "|0"),
                     row("Formats/ape|Formats|ape", Kind::Album, "|0"),
                     row("Formats/mpc|Formats|mpc", Kind::Album, "|0"),
                     row("Formats/spx|Formats|spx", Kind::Album, "|0"),
                     row("Formats/tta|Formats|tta", Kind::Album, "|0"),
                     row("Formats/wv|Formats|wv", Kind::Album, "|0"),
                     row("Mixed/Singles||", Kind::Mixed, "|0"),
                     row("Odd/\uFFFD\uFFFD names|Odd|\uFFFD\uFFFD names", Kind::Album, "|0"),
                     row("Pink Floyd/The Wall|Pink Floyd|The Wall", Kind::Album, "|2")}));
        QCOMPARE(TestSupport::entries(m_root + "/Covered/Done"),
                 (QStringList{"01.mp3", "Cover.PNG"}));
    }

    // A tag read never runs away: a 20 GB file without a tag is given up
    // after a bounded read, a stop is heard at the next read, a slow read ends.
    // Music opened in the window: one album is searched, several filled, the
    // rest hinted at.
    void openingMusic_data() {
        TestSupport::columns<QStringList, QString>("paths", "outcome");
        using TestSupport::row;
        row("one file", QStringList{"A/One/01.mp3"}, QStringLiteral("One 1 | A/One | "));
        row("two files of one album", QStringList{"A/One/01.mp3", "A/One/02.mp3"},
            QStringLiteral("One 2 | A/One | "));
        row("files of two albums", QStringList{"A/One/01.mp3", "B/Two/01.mp3"},
            QStringLiteral("several | A/One B/Two | "));
        row("the library", QStringList{"."}, QStringLiteral("several | . | "));
        row("a folder and a file in it", QStringList{"A/One/02.mp3", "A/", "A"},
            QStringLiteral("One 2 | A | "));
        row("a name that is no UTF-8", QStringList{"\xff"}, QStringLiteral("\ufffd 1 | \ufffd | "));
        row("a picture", QStringList{"cover.jpg"},
            QStringLiteral(" |  | Pictures are not searched: drop audio files or album folders "
                           "to find their cover."));
        row("nothing to search", QStringList{"gone.mp3", "Empty", "Empty/notes.txt"},
            QStringLiteral(" |  | No music to search: gone.mp3: it does not exist; notes.txt: "
                           "it is not audio; Empty: it holds no audio."));
    }
    void openingMusic() {
        QFETCH(QStringList, paths);
        QFETCH(QString, outcome);
        mp3(album("A/One") + "/01.mp3", {"A", "One"});
        mp3(album("A/One") + "/02.mp3", {"A", "One"});
        mp3(album("B/Two") + "/01.mp3", {"B", "Two"});
        QFile(album("Empty") + "/notes.txt").open(QIODevice::WriteOnly);
        QFile(m_root + "/cover.jpg").open(QIODevice::WriteOnly);
        const QByteArray root = QFile::encodeName(m_root);
        // A name the home's clean-up cannot spell is removed here.
        QVERIFY(::mkdir(root + "/\xff", 0755) == 0);
        const auto removeOddName = qScopeGuard([&root] {
            ::unlink(root + "/\xff/01.mp3");
            ::rmdir(root + "/\xff");
        });
        const int track = ::open(root + "/\xff/01.mp3", O_WRONLY | O_CREAT, 0644);
        QVERIFY(::write(track, AudioFiles::kMp3Frames.constData(), AudioFiles::kMp3Frames.size()) >
                0);
        ::close(track);
        QList<QByteArray> given;
        for (const QString& path : paths) {
            given << (path == "\xff" ? root + "/\xff" : root + '/' + path.toUtf8());
        }
        std::atomic<bool> stop{false};
        const MusicOpening::Opened opened = MusicOpening::open(given, stop);
        QStringList folders;
        for (const QByteArray& folder : opened.folders) {
            folders << QDir(m_root).relativeFilePath(QFile::decodeName(folder));
        }
        const QString found = opened.several ? QStringLiteral("several")
                              : opened.albums.isEmpty()
                                  ? QString()
                                  : QStringLiteral("%1 %2")
                                        .arg(opened.albums[0].album())
                                        .arg(opened.albums[0].audioFiles.size());
        QCOMPARE(found + " | " + folders.join(' ') + " | " + MusicOpening::hintFor(opened),
                 outcome);
        if (!opened.folders.isEmpty()) {
            QVERIFY(opened.commonFolder.startsWith(root));
        }
    }

    // URIs sent over D-Bus or dropped: local files only, every byte of a name kept.
    void fileUris() {
        QStringList refused;
        const QList<QByteArray> paths = MusicOpening::localPaths(
            {"file:///music/a%20b/01.mp3", "file://localhost/x", "file:///odd/%FF%FE",
             "http://example.org/a.mp3", "file://server/share/a.mp3", "file:relative", "/plain"},
            &refused);
        QCOMPARE(paths, (QList<QByteArray>{"/music/a b/01.mp3", "/x", "/odd/\xff\xfe"}));
        QCOMPARE(refused.size(), 4);
        QCOMPARE(MusicOpening::localPaths({MusicOpening::fileUri("/odd/\xff #%?")}, &refused),
                 QList<QByteArray>{"/odd/\xff #%?"});
    }

    void tagReadsAreBounded() {
        const QByteArray huge = QFile::encodeName(album("Huge")) + "/01.mp3";
        const int fd = ::open(huge.constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0 && ::ftruncate(fd, 20LL << 30) == 0);
        ::close(fd);
        std::atomic<bool> stop{false};
        const TrackTags nothing = TagReader(stop).tagsOf(huge);
        QVERIFY(nothing.read != TrackTags::Read::Slow && nothing.album.isEmpty());
        QCOMPARE(TagReader(stop, -1).tagsOf(huge).read, TrackTags::Read::Slow);
        stop = true;
        QCOMPARE(TagReader(stop).tagsOf(huge).read, TrackTags::Read::Stopped);
    }

    // An album below a path longer than the system allows is told, not skipped.
    void pathsTooLongAreReported() {
        int fd = ::open(QFile::encodeName(album("Deep")).constData(), O_RDONLY | O_DIRECTORY);
        const QByteArray name(200, 'd');
        for (int level = 0; level < 22; ++level) {
            ::mkdirat(fd, name.constData(), 0755);
            const int next = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = next;
        }
        ::close(::openat(fd, "01.mp3", O_CREAT | O_WRONLY, 0644));
        ::close(fd);
        QStringList problems;
        std::atomic<bool> stop{false};
        AlbumScanner().scan(
            QFile::encodeName(m_root), [&](const AlbumFolder& a) { problems << a.problem; }, stop);
        QProcess::execute(QStringLiteral("rm"),
                          {QStringLiteral("-rf"), album("Deep")}); // beyond QDir
        QCOMPARE(problems, QStringList{"its path is longer than the system allows"});
    }

    // A library of artists with several albums, barcodes (one of them another
    // album's), covered and mixed folders: few requests, the right covers, and
    // a second run that asks nothing.
    // What scripts read is the same in German, numbers and words alike; what
    // people read is German.
    void jsonInEveryLanguage() {
        mp3(album("Beatles/Abbey Road") + "/01.mp3", {"The Beatles", "Abbey Road"});
        mp3(album("Nobody/Unknown") + "/01.mp3", {"Nobody", "Nothing Like It"});
        QFile(album("Nobody/Unknown") + "/02.ogg").open(QIODevice::WriteOnly); // no audio
        const QString picture = m_root + "/picture.jpg";
        TestSupport::writeFile(
            picture, TestSupport::encoded(TestSupport::filled(QSize(1700, 1700), Qt::red), "jpeg"));
        const QList<QStringList> runs{
            {"search", "--json", "--country", "de", "abbey road"},
            {"fill", "--json", "--dry-run", "--upgrade", "1000", "--interval", "0", m_root},
            {"embed", "--json", "--embed-size", "1234", picture, m_root + "/Nobody/Unknown"}};
        QProcessEnvironment german;
        german.insert(QStringLiteral("LANGUAGE"), QStringLiteral("de"));
        german.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
        for (const QStringList& arguments : runs) {
            QByteArray said[2];
            for (const QProcessEnvironment& language : {QProcessEnvironment(), german}) {
                m_language = language;
                mp3(m_root + "/Nobody/Unknown/01.mp3"); // without the cover the last run put in
                said[language.isEmpty() ? 0 : 1] = cli(arguments).out;
            }
            QVERIFY2(said[0].count('\n') >= 2, said[0].constData());
            QCOMPARE(said[1], said[0]);
        }
        QVERIFY(cli({"fill", "--upgrade", "0", m_root}).err.contains("nimmt „0“ nicht an"));
        m_language = {};
    }

    void fillRuns() {
        const std::pair<const char*, AudioFiles::Tags> tracks[] = {
            {"Fleetwood Mac/Rumours", {"Fleetwood Mac", "Rumours"}},
            {"Fleetwood Mac/Tusk", {"Fleetwood Mac", "Tusk"}},
            {"Fleetwood Mac/Tango", {"Fleetwood Mac", "Tango in the Night"}},
            {"Beatles/Abbey Road", {"The Beatles", "Abbey Road", {}, "0602567713449"}},
            {"Beatles/Let It Be", {"The Beatles", "Let It Be", {}, "094638246817"}},
            {"Beatles/Help", {"The Beatles", "Help!", {}, "0843930013562"}}, // another artist's
            {"Taylor Swift/Red", {"Taylor Swift", "Red"}},
            {"Taylor Swift/1989", {"Taylor Swift", "1989"}},
            {"Björk/Post", {"Björk", "Post"}},
            {"Chicago/XVII", {"Chicago", "Chicago XVII"}},
            {"Nobody/Unknown", {"Nobody", "Nothing Like It"}},
        };
        for (const auto& [folder, tags] : tracks) {
            mp3(album(folder) + "/01.mp3", tags);
        }
        mp3(album("Covered/Done") + "/01.mp3", {"A", "B"});
        QFile(album("Covered/Done") + "/folder.jpg").open(QIODevice::WriteOnly);
        // A dry run writes nothing, and keeps no journal.
        Run run = fill({"--dry-run"});
        QCOMPARE(run.status, 0);
        QVERIFY(!QFileInfo::exists(m_root + "/Beatles/Abbey Road/cover.jpg"));
        QVERIFY(!QFileInfo::exists(FillJournal::fileFor(QFile::encodeName(m_root))));

        m_server.resetCounts();
        run = fill({"--interval", "0.3"});
        QCOMPARE(run.status, 0);
        QCOMPARE(outcomes(run),
                 (QStringList{"1989=saved/listing", "Abbey Road=saved/barcode", "B=has-cover",
                              "Chicago XVII=saved/search", "Help!=saved/listing",
                              "Let It Be=saved/barcode", "Nothing Like It=no-match/search",
                              "Post=saved/search", "Red=saved/listing", "Rumours=saved/listing",
                              "Tango in the Night=saved/listing", "Tusk=saved/listing"}));
        QCOMPARE(requests("upc="), 1);
        QCOMPARE(requests("attribute=artistTerm"), 2);
        // The Beatles' id came with Abbey Road's barcode: Help! is listed by it.
        QCOMPARE(requests("lookup?id=136975&"), 1);
        QCOMPARE(m_server.requestCount("/search") + m_server.requestCount("/lookup"),
                 7); // 11 albums
        const QByteArray cover = TestSupport::readFile(m_root + "/Fleetwood Mac/Rumours/cover.jpg");
        QVERIFY(ImageCodec::isJpeg(cover));
        const QJsonObject help =
            *std::find_if(run.albums.begin(), run.albums.end(),
                          [](const QJsonObject& a) { return a.value("album") == "Help!"; });
        QVERIFY(help.value("reason").toString().contains("the barcode names another album"));
        // Never two requests closer than the interval (less what a loaded
        // machine may add to the moment the fixture notices one).
        QList<qint64> times = m_server.requestTimes();
        const QList<QByteArray> targets = m_server.requestTargets();
        QList<qint64> catalogue;
        for (qsizetype i = 0; i < targets.size(); ++i) {
            if (!targets[i].startsWith("/image") && !targets[i].startsWith("/us/")) {
                catalogue << times[i];
            }
        }
        for (qsizetype i = 1; i < catalogue.size(); ++i) {
            QVERIFY(catalogue[i] - catalogue[i - 1] >= 300 - 100);
        }

        // The next run asks nothing: covered folders are covered, and what
        // found no match is remembered; --retry asks again about that alone.
        m_server.resetCounts();
        run = fill({});
        QCOMPARE(m_server.requestCount(), 0);
        QVERIFY(outcomes(run).contains("Nothing Like It=no-match"));
        run = fill({"--retry"});
        QCOMPARE(m_server.requestCount(), 1);
    }

    // --embed: the found cover goes into the tracks too, and a folder's own
    // cover file into its tracks that carry none; a dry run counts them.
    void fillEmbeds() {
        const QString rumours = album("Fleetwood Mac/Rumours");
        mp3(rumours + "/01.mp3", {"Fleetwood Mac", "Rumours"});
        QVERIFY(AudioFiles::write(rumours + "/02.flac", QStringLiteral("flac")));
        AudioFiles::tag(rumours + "/02.flac", {"Fleetwood Mac", "Rumours"});
        const QByteArray jpeg =
            TestSupport::encoded(TestSupport::filled(QSize(300, 300), Qt::red), "jpeg");
        for (const char* name : {"B", "C", "D"}) {
            const QString covered = album(QStringLiteral("Covered/") + name);
            mp3(covered + "/01.mp3", {"A", name});
            QFile cover(covered + "/folder.jpg");
            QVERIFY(cover.open(QIODevice::WriteOnly) && cover.write(jpeg) > 0);
        }
        const QString covered = m_root + "/Covered/B";
        const auto embedded = [](const Run& run) {
            QStringList list;
            for (const QJsonObject& a : run.albums) {
                list << a.value("album").toString() + '=' + a.value("status").toString() + '/' +
                            QString::number(a.value("embedded").toInt());
            }
            list.sort();
            return list;
        };
        Run run = fill({"--embed", "--dry-run"});
        QCOMPARE(embedded(run), (QStringList{"B=has-cover/1", "C=has-cover/1", "D=has-cover/1",
                                             "Rumours=planned/2"}));
        const QByteArray untouched = TestSupport::readFile(covered + "/01.mp3");
        // The catalogue out of reach: the covers on disk all go in, in one run.
        run = fill({"--embed"}, {}, QStringLiteral("http://127.0.0.1:9"));
        QCOMPARE(run.status, 4);
        QCOMPARE(embedded(run), (QStringList{"B=embedded/1", "C=embedded/1", "D=embedded/1"}));
        QVERIFY(TestSupport::readFile(covered + "/01.mp3") != untouched);
        run = fill({"--embed"});
        QCOMPARE(run.status, 0);
        QCOMPARE(embedded(run), (QStringList{"B=has-cover/0", "C=has-cover/0", "D=has-cover/0",
                                             "Rumours=saved/2"}));
        // Each track carries a cover now: a second run has nothing to do.
        m_server.resetCounts();
        run = fill({"--embed"});
        QCOMPARE(embedded(run), (QStringList{"B=has-cover/0", "C=has-cover/0", "D=has-cover/0",
                                             "Rumours=has-cover/0"}));
        QCOMPARE(m_server.requestCount(), 0);
    }

    // Covers that are there already: small ones give way to larger renditions
    // of the same picture (another picture, or one chosen by hand, stays),
    // everything replaced is kept aside outside the library, and restore puts
    // it back byte for byte.
    void fillUpgradesChoosesAndRestores() {
        for (const char* name : {"Rumours", "Tusk", "Tango in the Night"}) {
            mp3(album(QStringLiteral("Fleetwood Mac/") + name) + "/01.mp3",
                {"Fleetwood Mac", name});
        }
        mp3(album("Taylor Swift/Red") + "/01.mp3", {"Taylor Swift", "Red"});
        const QString nineteen = album("Taylor Swift/1989");
        mp3(nineteen + "/01.mp3", {"Taylor Swift", "1989"});
        mp3(nineteen + "/02.mp3", {"Taylor Swift", "1989"});
        Run run = fill({});
        QCOMPARE(run.status, 0);
        const auto idOf = [&](const QString& name) {
            for (const QJsonObject& a : std::as_const(run.albums)) {
                if (a.value("album") == name) {
                    return a.value("match").toObject().value("collectionId").toInteger();
                }
            }
            return qint64(0);
        };
        const qint64 tusk = idOf("Tusk");
        const qint64 nineteenId = idOf("1989");
        // Small covers of the same picture (one a PNG), another picture, and
        // one that is no picture.
        const auto shrunk = [](const QString& path, const char* format) {
            const QImage image = QImage(path).scaled(200, 200);
            return TestSupport::encoded(image, format);
        };
        const QString rumours = m_root + "/Fleetwood Mac/Rumours/cover.jpg";
        const QString red = m_root + "/Taylor Swift/Red";
        const QByteArray smallRumours = shrunk(rumours, "jpeg");
        const QByteArray smallRed = shrunk(red + "/cover.jpg", "png");
        const QByteArray otherPicture =
            TestSupport::encoded(TestSupport::filled(QSize(200, 200), Qt::red), "jpeg");
        TestSupport::writeFile(rumours, smallRumours);
        TestSupport::writeFile(m_root + "/Fleetwood Mac/Tusk/cover.jpg", otherPicture);
        QFile::remove(red + "/cover.jpg");
        TestSupport::writeFile(red + "/cover.png", smallRed);
        // Small pictures in the files alone.
        TestSupport::writeFile(m_root + "/small.jpg", shrunk(nineteen + "/cover.jpg", "jpeg"));
        QFile::remove(nineteen + "/cover.jpg");
        QCOMPARE(cli({"embed", m_root + "/small.jpg", nineteen}).status, 0);
        QFile::remove(m_root + "/small.jpg");
        const std::atomic<bool> never = false;
        const auto picture = [&] {
            return TagReader(never).frontCoverOf(QFile::encodeName(nineteen + "/02.mp3"));
        };
        const auto smallPicture = picture();
        mp3(album("Nameless/Broken") + "/01.mp3", {"Nameless", "Broken"});
        TestSupport::writeFile(m_root + "/Nameless/Broken/folder.jpg", "not a picture");

        m_server.resetCounts();
        run = fill({"--upgrade", "500", "--embed"});
        QCOMPARE(run.status, 0);
        QCOMPARE(outcomes(run), (QStringList{"1989=upgraded/listing", "Broken=kept",
                                             "Red=upgraded/listing", "Rumours=upgraded/listing",
                                             "Tango in the Night=embedded", "Tusk=kept/listing"}));
        QCOMPARE(m_server.requestCount("/search"), 2); // Tango, already large, is not asked about
        QCOMPARE(ImageCodec::pictureSize(picture().value_or(QByteArray())), QSize(600, 600));
        for (const QJsonObject& a : std::as_const(run.albums)) {
            if (a.value("album") == "Rumours") {
                QCOMPARE(a.value("before").toObject().value("width").toInt(), 200);
                QCOMPARE(a.value("after").toObject().value("width").toInt(), 600);
                QCOMPARE(a.value("country").toString(), QStringLiteral("US"));
            } else if (a.value("album") != "Red" && a.value("status") == "kept") {
                QCOMPARE(a.value("kept").toString(),
                         a.value("album") == "Tusk" ? "different" : "size-unknown");
            }
        }
        QCOMPARE(TestSupport::entries(red), (QStringList{"01.mp3", "cover.jpg"}));
        QVERIFY(TestSupport::readFile(rumours) != smallRumours);

        // Restore: every replaced cover back, byte for byte; then nothing left.
        run = cli({"restore", "--json", m_root});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.albums.size(), 4); // two files, and the picture in two tracks
        QCOMPARE(picture(), smallPicture);
        QCOMPARE(TestSupport::readFile(rumours), smallRumours);
        QCOMPARE(TestSupport::entries(red), (QStringList{"01.mp3", "cover.png"}));
        QCOMPARE(TestSupport::readFile(red + "/cover.png"), smallRed);
        run = cli({"restore", "--json", m_root});
        QCOMPARE(run.albums.size(), 0);

        // A cover changed by hand after the upgrade is left as it is.
        fill({"--upgrade", "500"}, m_root + "/Fleetwood Mac");
        TestSupport::writeFile(rumours, otherPicture);
        run = cli({"restore", "--json", m_root});
        QCOMPARE(run.status, 1);
        QCOMPARE(TestSupport::readFile(rumours), otherPicture);

        // A chosen cover replaces another picture and is never upgraded.
        run = cli({"choose", "--json", m_root + "/Fleetwood Mac/Tusk", QString::number(tusk)});
        QVERIFY2(run.status == 0, run.err.constData());
        QCOMPARE(run.albums.value(0).value("status").toString(), "saved");
        run = fill({"--upgrade", "1000", "--quality", "high", "--retry"},
                   m_root + "/Fleetwood Mac/Tusk");
        QCOMPARE(outcomes(run), (QStringList{"Tusk=kept/search"}));
        QCOMPARE(run.albums.value(0).value("kept").toString(), "chosen");
        QCOMPARE(cli({"choose", m_root + "/Fleetwood Mac/Tusk", "284914350"}).status, 64); // a film
        // A choice goes into every file that carries a cover.
        run = cli({"choose", "--json", "--embed", nineteen, QString::number(nineteenId)});
        QCOMPARE(run.albums.value(0).value("embedded").toInt(), 2);
        QCOMPARE(ImageCodec::pictureSize(picture().value_or(QByteArray())), QSize(600, 600));

        // Where nothing can be kept aside, nothing is replaced.
        TestSupport::writeFile(rumours, smallRumours);
        m_state = m_root + "/Fleetwood Mac/Tusk/01.mp3"; // a file: no folder can be made in it
        run = fill({"--upgrade", "500"}, m_root + "/Fleetwood Mac/Rumours");
        QCOMPARE(outcomes(run), (QStringList{"Rumours=failed/search"}));
        QVERIFY(run.albums.value(0).value("reason").toString().contains("kept aside"));
        QCOMPARE(TestSupport::readFile(rumours), smallRumours);
    }

    // Albums without a match are asked about in the next storefront, each in
    // a storefront once, batched as in the first; the journal remembers each
    // storefront apart, so a later run asks only where it has not.
    void fillAsksStorefrontsInTurn_data() {
        TestSupport::columns<QStringList, QStringList, QStringList, QStringList>(
            "earlier", "countries", "outcomes", "asked");
        using TestSupport::row;
        row("one storefront", QStringList(), QStringList{"US"},
            QStringList{"Nothing=no-match", "Post=no-match", "Rumours=planned@US", "Tusk=no-match"},
            QStringList{"AlbumSearch@US", "AlbumSearch@US", "AlbumSearch@US", "Listing@US"});
        row("three in turn", QStringList(), QStringList{"US", "GB", "JP"},
            QStringList{"Nothing=no-match", "Post=planned@JP", "Rumours=planned@US",
                        "Tusk=planned@GB"},
            QStringList{"AlbumSearch@GB", "AlbumSearch@GB", "AlbumSearch@GB", "AlbumSearch@JP",
                        "AlbumSearch@JP", "AlbumSearch@US", "AlbumSearch@US", "AlbumSearch@US",
                        "Listing@US"});
        row("a new storefront asks only there", QStringList{"US", "GB"}, QStringList{"US", "JP"},
            QStringList{"Nothing=no-match", "Post=planned@JP", "Rumours=planned@US",
                        "Tusk=no-match"},
            QStringList{"AlbumSearch@JP", "AlbumSearch@JP", "AlbumSearch@JP", "AlbumSearch@US"});
    }
    void fillAsksStorefrontsInTurn() {
        QFETCH(QStringList, earlier);
        QFETCH(QStringList, countries);
        QFETCH(QStringList, outcomes);
        QFETCH(QStringList, asked);
        mp3(album("Fleetwood Mac/Rumours") + "/01.mp3", {"Fleetwood Mac", "Rumours"});
        mp3(album("Fleetwood Mac/Tusk") + "/01.mp3", {"Fleetwood Mac", "Tusk"});
        mp3(album("Björk/Post") + "/01.mp3", {"Björk", "Post"});
        mp3(album("Nobody/Nothing") + "/01.mp3", {"Nobody", "Nothing"});
        MemorySource source;
        source.albums = {MemorySource::album(3, "Fleetwood Mac", 20, "Rumours"),
                         MemorySource::album(4, "Fleetwood Mac", 20, "Tusk", {}, {"GB"}),
                         MemorySource::album(5, "Björk", 30, "Post", {}, {"JP"})};
        source.can.artistListings = true;
        source.can.mostValues = 100;
        const auto fill = [&](const QStringList& storefronts, bool dryRun) {
            FillOptions options;
            options.root = QFile::encodeName(m_root);
            options.dryRun = dryRun;
            options.intervalMs = 0;
            options.country = storefronts.first();
            options.moreCountries = storefronts.mid(1);
            source.asked.clear();
            FillRun run(options, source, TestSupport::context().images());
            QStringList told;
            connect(&run, &FillRun::albumFinished, this, [&](const AlbumReport& report) {
                told << report.album + '=' + AlbumReport::statusName(report.status) +
                            (report.country.isEmpty() ? QString() : '@' + report.country);
            });
            bool ended = false;
            connect(&run, &FillRun::finished, this, [&] { ended = true; });
            run.start();
            if (!QTest::qWaitFor([&] { return ended; }, 20000)) {
                told << QStringLiteral("(the run did not end)");
            }
            told.sort();
            return told;
        };
        if (!earlier.isEmpty()) {
            fill(earlier, false);
        }
        QCOMPARE(fill(countries, true), outcomes);
        QStringList kinds;
        for (const SourceRequest& request : std::as_const(source.asked)) {
            kinds << QStringLiteral("%1@%2").arg(
                request.kind == SourceRequest::Kind::Listing ? "Listing" : "AlbumSearch",
                request.storefront);
        }
        kinds.sort();
        QCOMPARE(kinds, asked);
    }

    // Files bought in the store name their album, artist and storefront
    // (MP4 plID, atID, sfID): the album is looked up by its id, there first.
    void storeIdsOfMp4Files() {
        const QString track = album("Anything/At All") + "/01.m4a";
        QVERIFY(AudioFiles::write(track, QStringLiteral("m4a")));
        {
            TagLib::MP4::File file(QFile::encodeName(track).constData());
            TagLib::MP4::Tag* tag = file.tag();
            tag->setItem("plID", TagLib::MP4::Item(7LL));
            tag->setItem("atID", TagLib::MP4::Item(70U));
            tag->setItem("sfID", TagLib::MP4::Item(143462U)); // the Japanese storefront
            tag->setArtist("Someone");
            tag->setAlbum("Something");
            QVERIFY(file.save());
        }
        MemorySource source;
        source.albums = {MemorySource::album(7, "Someone", 70, "Something", {}, {"JP"})};
        source.can.idLookups = true;
        source.can.mostValues = 100;
        FillOptions options;
        options.root = QFile::encodeName(m_root);
        options.dryRun = true;
        options.intervalMs = 0;
        options.moreCountries = {"GB"};
        FillRun run(options, source, TestSupport::context().images());
        std::optional<AlbumReport> told;
        connect(&run, &FillRun::albumFinished, this, [&](const AlbumReport& r) { told = r; });
        run.start();
        QTRY_VERIFY(told.has_value());
        QCOMPARE(told->status, AlbumReport::Status::Planned);
        QCOMPARE(told->via, FoundVia::Id);
        QCOMPARE(told->country, QStringLiteral("JP"));
        QCOMPARE(source.asked.size(), 1);
        QCOMPARE(source.asked[0].values, QStringList{"7"});
    }

    // Links and hard links among an album's covers: a link to another of its
    // covers follows its target, a link out of the album is kept aside as the
    // link and comes back as one, a hard-linked cover is left alone; a folder
    // moved away since is reported and nothing is written.
    void replacingLinkedCovers() {
        const QString folder = album("Linked/Album");
        const QString elsewhere = album("Elsewhere");
        mp3(folder + "/01.mp3", {"Linked", "Album"});
        const QByteArray small =
            TestSupport::encoded(TestSupport::filled(QSize(200, 200), Qt::blue), "jpeg");
        const QByteArray large =
            TestSupport::encoded(TestSupport::filled(QSize(600, 600), Qt::blue), "jpeg");
        TestSupport::writeFile(folder + "/cover.jpg", small);
        QVERIFY(QFile::link("cover.jpg", folder + "/folder.jpg"));
        TestSupport::writeFile(elsewhere + "/art.jpg", small);
        QVERIFY(QFile::link(elsewhere + "/art.jpg", folder + "/front.jpg"));
        TestSupport::writeFile(elsewhere + "/shared.jpg", small);
        QVERIFY(::link(QFile::encodeName(elsewhere + "/shared.jpg").constData(),
                       QFile::encodeName(folder + "/album.jpg").constData()) == 0);
        AlbumFolder linked;
        linked.nativePath = QFile::encodeName(folder);
        linked.path = folder;
        ReplacedCovers keeper(m_state + "/replaced");
        const CoverUpgrade::Outcome outcome = CoverUpgrade::replace(
            linked, large, {QStringLiteral("cover.jpg"), CoverUpgrade::Mode::Upgrade}, keeper);
        QCOMPARE(outcome.keep, CoverUpgrade::Keep::No);
        QCOMPARE(outcome.replaced, 2); // cover.jpg (folder.jpg with it) and the link out
        QCOMPARE(outcome.notes.size(), 1);
        QCOMPARE(QFileInfo(folder + "/folder.jpg").symLinkTarget(), folder + "/cover.jpg");
        QVERIFY(!QFileInfo(folder + "/front.jpg").isSymLink());
        QCOMPARE(TestSupport::readFile(folder + "/front.jpg"), large);
        QCOMPARE(TestSupport::readFile(elsewhere + "/art.jpg"), small); // never written through
        QCOMPARE(TestSupport::readFile(folder + "/album.jpg"), small);
        QCOMPARE(keeper.usage().covers, 2);

        const QList<ReplacedCovers::Restored> restored = keeper.restore(linked.nativePath);
        QCOMPARE(restored.size(), 2);
        QCOMPARE(QFileInfo(folder + "/front.jpg").symLinkTarget(), elsewhere + "/art.jpg");
        QCOMPARE(TestSupport::readFile(folder + "/cover.jpg"), small);
        QCOMPARE(keeper.usage().covers, 0);

        // Moved away after an upgrade: reported, kept, nothing written.
        CoverUpgrade::replace(linked, large, {QStringLiteral("cover.jpg")}, keeper);
        QVERIFY(QDir().rename(folder, folder + " (moved)"));
        const QList<ReplacedCovers::Restored> gone = keeper.restore(linked.nativePath);
        QVERIFY(!gone.isEmpty());
        QCOMPARE(gone.first().outcome, ReplacedCovers::Restored::Outcome::FolderGone);
        QVERIFY(!QFileInfo::exists(folder));
        QCOMPARE(keeper.forget(QFile::encodeName(m_root)), 2);
        QCOMPARE(keeper.usage().covers, 0);

        // A cover that cannot be written is not replaced, and nothing stays kept.
        TestSupport::writeFile(
            elsewhere + "/cover.png",
            TestSupport::encoded(TestSupport::filled({200, 200}, Qt::blue), "png"));
        QVERIFY(QDir().mkpath(elsewhere + "/cover.jpg")); // where the new cover would go
        linked.nativePath = QFile::encodeName(elsewhere);
        const CoverUpgrade::Outcome blocked =
            CoverUpgrade::replace(linked, large, {QStringLiteral("cover.jpg")}, keeper);
        QVERIFY(!blocked.error.isEmpty());
        QVERIFY(QFileInfo::exists(elsewhere + "/cover.png"));
        QCOMPARE(keeper.usage().covers, 0);
    }

    // Two runs in one folder take turns: embed says once that it waits, and
    // SIGTERM ends the wait with the files as they were and exit status 143.
    void embedWaitsForAnotherRunAndStops() {
        const QString folder = album("Turns");
        mp3(folder + "/01.mp3");
        const QString image = m_root + "/cover.jpg";
        QFile cover(image);
        QVERIFY(cover.open(QIODevice::WriteOnly) &&
                cover.write(
                    TestSupport::encoded(TestSupport::filled(QSize(64, 64), Qt::red), "jpeg")) > 0);
        cover.close();
        const QByteArray before = TestSupport::readFile(folder + "/01.mp3");
        const EmbedLock other(QFile::encodeName(folder), nullptr);
        QVERIFY(other.held());
        QProcess process;
        process.setReadChannel(QProcess::StandardError);
        process.start(QStringLiteral(SLEEVANTA_CLI), {"embed", image, folder});
        QByteArray said;
        while (!said.contains("waiting for it to finish") && process.waitForReadyRead(10000)) {
            said += process.readAllStandardError();
        }
        QVERIFY2(said.contains("Another run is embedding covers in"), said.constData());
        process.terminate();
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 143);
        QCOMPARE(said.count("Another run"), 1);
        QCOMPARE(TestSupport::readFile(folder + "/01.mp3"), before);
    }

    // What a fill asks depends on what its source says it can be asked (ids,
    // barcodes and listings many at a time, else a search each) and on how
    // it answers (barcode lists it does not answer, its rate limit).
    void fillPlansFromWhatTheSourceCan_data() {
        TestSupport::columns<bool, bool, int, QStringList, int>("can", "barcodeLists", "throttled",
                                                                "asked", "ending");
        using TestSupport::row;
        const int completed = int(FillRun::Ending::Completed);
        row("barcodes and listings", true, true, 0,
            QStringList{"AlbumSearch", "Barcodes", "Listing"}, completed);
        row("searches only", false, true, 0,
            QStringList{"AlbumSearch", "AlbumSearch", "AlbumSearch", "AlbumSearch", "AlbumSearch"},
            completed);
        row("barcode lists unanswered", true, false, 0,
            QStringList{"AlbumSearch", "Barcodes", "Barcodes", "Barcodes", "Listing"}, completed);
        row("a rate limit waited out", true, true, 1,
            QStringList{"AlbumSearch", "Barcodes", "Barcodes", "Listing"}, completed);
        row("a rate limit that lasts", true, true, 99,
            QStringList{"Barcodes", "Barcodes", "Barcodes", "Barcodes"},
            int(FillRun::Ending::RateLimited));
    }
    void fillPlansFromWhatTheSourceCan() {
        QFETCH(bool, can);
        QFETCH(bool, barcodeLists);
        QFETCH(int, throttled);
        QFETCH(QStringList, asked);
        QFETCH(int, ending);
        mp3(album("Beatles/Abbey Road") + "/01.mp3",
            {"The Beatles", "Abbey Road", {}, "0602567713449"});
        mp3(album("Beatles/Let It Be") + "/01.mp3",
            {"The Beatles", "Let It Be", {}, "0094638246817"});
        mp3(album("Fleetwood Mac/Rumours") + "/01.mp3", {"Fleetwood Mac", "Rumours"});
        mp3(album("Fleetwood Mac/Tusk") + "/01.mp3", {"Fleetwood Mac", "Tusk"});
        mp3(album("Björk/Post") + "/01.mp3", {"Björk", "Post"});
        MemorySource source;
        source.albums = {MemorySource::album(1, "The Beatles", 10, "Abbey Road", {"0602567713449"}),
                         MemorySource::album(2, "The Beatles", 10, "Let It Be", {"0094638246817"}),
                         MemorySource::album(3, "Fleetwood Mac", 20, "Rumours"),
                         MemorySource::album(4, "Fleetwood Mac", 20, "Tusk"),
                         MemorySource::album(5, "Björk", 30, "Post")};
        source.can.barcodeLookups = source.can.idLookups = source.can.artistListings = can;
        source.can.mostValues = 100;
        source.barcodeLists = barcodeLists;
        source.throttled = throttled;
        FillOptions options;
        options.root = QFile::encodeName(m_root);
        options.dryRun = true;
        options.intervalMs = 0;
        FillRun run(options, source, TestSupport::context().images());
        QStringList outcomes;
        connect(&run, &FillRun::albumFinished, this, [&](const AlbumReport& report) {
            outcomes << report.album + '=' + AlbumReport::statusName(report.status);
        });
        std::optional<FillRun::Ending> ended;
        connect(&run, &FillRun::finished, this, [&](FillRun::Ending how) { ended = how; });
        run.start();
        QTRY_VERIFY(ended.has_value());
        QCOMPARE(*ended, FillRun::Ending(ending));
        static const QMap<SourceRequest::Kind, QString> names{
            {SourceRequest::Kind::Ids, "Ids"},
            {SourceRequest::Kind::Barcodes, "Barcodes"},
            {SourceRequest::Kind::Listing, "Listing"},
            {SourceRequest::Kind::AlbumSearch, "AlbumSearch"}};
        QStringList kinds;
        for (const SourceRequest& request : std::as_const(source.asked)) {
            kinds << names.value(request.kind);
        }
        kinds.sort();
        QCOMPARE(kinds, asked);
        // Each album is settled by what was asked, or left for another run.
        QCOMPARE(outcomes.size(), ending == int(FillRun::Ending::Completed) ? 5 : 0);
        QVERIFY(outcomes.filter(QStringLiteral("=planned")).size() == outcomes.size());
    }

    // The catalogue's manners, end to end: an album whose cover fails (exit
    // 1), an endless rate limit (exit 4).
    void fillRunsAgainstAStubbornCatalogue() {
        mp3(album("Fleetwood Mac/Tusk") + "/01.mp3", {"Fleetwood Mac", "Tusk"});
        FixtureServer::FaultConfig missing = TestSupport::fault(Fault::Status, 404);
        missing.onlyPathsContaining = "1600000202"; // Tusk's artwork
        m_server.setFault(FixtureServer::Scope::Artwork, missing);
        Run run = fill({});
        QCOMPARE(run.status, 1);
        QVERIFY(outcomes(run).contains("Tusk=failed/search"));

        m_server.setFault(FixtureServer::Scope::Search, TestSupport::fault(Fault::Status, 429));
        QDir(m_root + "/Fleetwood Mac").removeRecursively();
        mp3(album("Fleetwood Mac/Rumours") + "/01.mp3", {"Fleetwood Mac", "Rumours"});
        run = fill({});
        QCOMPARE(run.status, 4);
        QVERIFY(run.err.contains("rate limit"));
    }
};

SLEEVANTA_TEST_MAIN(TestLibrary, QGuiApplication)
#include "tst_library.moc"

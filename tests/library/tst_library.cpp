// A music library's missing covers: matching, scanning, and fill runs of
// sleevanta-cli against the fixture catalogue.
#include "AlbumMatcher.h"
#include "AlbumScanner.h"
#include "FillRun.h"
#include "TestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>

using Fault = FixtureServer::Fault;

namespace {

// A short MP3 (three silent frames), tagged when names are given.
void writeTrack(const QByteArray& path, const QString& artist = {}, const QString& album = {},
                const QString& albumArtist = {}) {
    QFile file(QFile::decodeName(path));
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (int i = 0; i < 3; ++i) {
        file.write(QByteArray::fromHex("fffb9064") + QByteArray(413, '\0'));
    }
    file.close();
    if (artist.isEmpty()) {
        return;
    }
    TagLib::MPEG::File mp3(path.constData());
    const auto text = [](const QString& s) {
        return TagLib::String(s.toStdString(), TagLib::String::UTF8);
    };
    TagLib::ID3v2::Tag* tag = mp3.ID3v2Tag(true);
    tag->setArtist(text(artist));
    tag->setAlbum(text(album));
    if (!albumArtist.isEmpty()) {
        TagLib::PropertyMap properties = tag->properties();
        properties["ALBUMARTIST"] = TagLib::StringList(text(albumArtist));
        tag->setProperties(properties);
    }
    QVERIFY(mp3.save());
}

} // namespace

class TestLibrary : public QObject {
    Q_OBJECT
private:
    FixtureServer m_server;
    QByteArray m_root;

    QByteArray album(const QByteArray& relative) {
        QDir().mkpath(QFile::decodeName(m_root + '/' + relative));
        return m_root + '/' + relative;
    }
    // A small library: tagged, untagged, already covered, a link loop.
    void makeLibrary() {
        writeTrack(album("Beatles/Abbey Road") + "/01.mp3", "John", "Abbey Road", "The Beatles");
        writeTrack(album("Beatles/Abbey Road") + "/02.mp3", "Paul", "Abbey Road", "The Beatles");
        writeTrack(album("Björk/Post [FLAC]") + "/01.mp3");
        writeTrack(album("Taylor Swift/1989 (2014)") + "/01.mp3");
        writeTrack(album("Covered/Done") + "/01.mp3", "A", "B");
        QFile(QFile::decodeName(album("Covered/Done") + "/Cover.PNG")).open(QIODevice::WriteOnly);
        QVERIFY(
            QFile::link(QFile::decodeName(m_root), QFile::decodeName(album("Beatles") + "/loop")));
    }
    struct Run {
        int status = -1;
        QList<QJsonObject> albums;
        qint64 millis = 0;
    };
    Run fill(const QStringList& options) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("SLEEVANTA_SERVICE_ORIGIN"), m_server.origin());
        process.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        process.start(QStringLiteral(SLEEVANTA_CLI),
                      QStringList{"fill", "--json", "--interval", "0.05"} + options +
                          QStringList{QFile::decodeName(m_root)});
        process.waitForFinished(30000);
        Run run{process.exitCode(), {}, clock.elapsed()};
        for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
            if (!line.isEmpty()) {
                run.albums.append(QJsonDocument::fromJson(line).object());
            }
        }
        return run;
    }
    QStringList statuses(const Run& run) const {
        QStringList list;
        for (const QJsonObject& album : run.albums) {
            list << album.value(QStringLiteral("album")).toString() + '=' +
                        album.value(QStringLiteral("status")).toString();
        }
        return list;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_server.start()); }
    void init() {
        TestSupport::resetHome();
        TestSupport::useServer(m_server);
        m_root = QFile::encodeName(TestSupport::homeFolder().path()) + "/Music";
    }

    void matching_data() {
        TestSupport::columns<QString, QString, QString, QString, bool>(
            "artist", "album", "candidateArtist", "candidateAlbum", "taken");
        using TestSupport::row;
        row("edition", "The Beatles", "Abbey Road", "Beatles", "Abbey Road (2019 Remastered)",
            true);
        row("accents and letters", "Sigur Rós", "Ágætis byrjun", "Sigur Ros",
            "Agaetis Byrjun (Deluxe Edition)", true);
        row("& is and", "Simon & Garfunkel", "Bookends", "Simon and Garfunkel", "Bookends", true);
        row("EP", "Phoebe Bridgers", "Copycat Killer", "Phoebe Bridgers", "Copycat Killer - EP",
            true);
        row("punctuation and case", "AC/DC", "Back in Black", "AC DC", "BACK IN BLACK", true);
        row("same title, other artist", "The Beatles", "Abbey Road", "Abbey Road Ensemble",
            "Abbey Road", false);
        row("album named after the artist", "Taylor Swift", "1989", "Taylor Swift", "Taylor Swift",
            false);
        row("another volume", "Led Zeppelin", "Led Zeppelin IV", "Led Zeppelin", "Led Zeppelin II",
            false);
        row("a bracket that is no edition", "Muse", "Live (Part 1)", "Muse", "Live (Part 2)",
            false);
    }
    void matching() {
        QFETCH(QString, artist);
        QFETCH(QString, album);
        QFETCH(QString, candidateArtist);
        QFETCH(QString, candidateAlbum);
        QFETCH(bool, taken);
        const double score = AlbumMatcher::score(artist, album, candidateArtist, candidateAlbum);
        QVERIFY2((score >= AlbumMatcher::kThreshold) == taken, qPrintable(QString::number(score)));
    }

    void scanning() {
        makeLibrary();
        writeTrack(album("Odd/\xff\xfe names") + "/01.mp3"); // not UTF-8
        QList<AlbumFolder> found;
        std::atomic<bool> stop{false};
        AlbumScanner().scan(
            m_root, [&](const AlbumFolder& a) { found.append(a); }, stop);
        QStringList seen;
        for (const AlbumFolder& a : found) {
            seen << a.artist + '|' + a.album + '|' + a.existingCover + '|' +
                        QString::number(a.fromTags);
        }
        QCOMPARE(seen, (QStringList{"The Beatles|Abbey Road||1", "Björk|Post||0",
                                    "Covered|Done|Cover.PNG|0", "Odd|\uFFFD\uFFFD names||0",
                                    "Taylor Swift|1989||0"}));
        QVERIFY(QFileInfo::exists(QFile::decodeName(found.at(3).nativePath)) ||
                found.at(3).nativePath.contains("\xff\xfe"));
    }

    void fillRuns() {
        makeLibrary();
        // A dry run writes nothing, and reports what it would do.
        Run run = fill({"--dry-run"});
        QCOMPARE(run.status, 0);
        QCOMPARE(statuses(run), (QStringList{"Abbey Road=planned", "Post=planned", "Done=has-cover",
                                             "1989=no-match"}));
        const QJsonObject abbey = run.albums.first();
        QCOMPARE(abbey.value("file").toString(), QStringLiteral("folder.jpg"));
        QCOMPARE(abbey.value("match").toObject().value("collectionId").toInteger(), 1441164426);
        QVERIFY(!QFileInfo::exists(QFile::decodeName(m_root) + "/Beatles/Abbey Road/folder.jpg"));
        QCOMPARE(run.albums.at(3).value("match").toObject().value("collectionName").toString(),
                 QStringLiteral("Taylor Swift")); // the best candidate, not taken

        // The first search is refused for the rate limit: ten intervals later, again.
        FixtureServer::FaultConfig limit = TestSupport::fault(Fault::Status, 403);
        limit.times = 1;
        m_server.setFault(FixtureServer::Scope::Search, limit);
        m_server.resetCounts();
        run = fill({"--name", "%{collectionName}.jpg"});
        QCOMPARE(run.status, 0);
        QCOMPARE(statuses(run).mid(0, 2), (QStringList{"Abbey Road=saved", "Post=saved"}));
        const QByteArray saved =
            TestSupport::readFile(QFile::decodeName(m_root) + "/Beatles/Abbey Road/Abbey Road.jpg");
        QVERIFY(ImageCodec::isJpeg(saved));
        const QList<qint64> times = m_server.requestTimes();
        const QList<QByteArray> targets = m_server.requestTargets();
        QList<qint64> searches;
        for (qsizetype i = 0; i < targets.size(); ++i) {
            if (targets[i].startsWith("/search")) {
                QVERIFY(targets[i].endsWith("&entity=album"));
                searches << times[i];
            }
        }
        QCOMPARE(searches.size(), 4); // the refused one, then three albums
        QVERIFY(searches[1] - searches[0] >= 500);
        QVERIFY(searches[3] - searches[2] >= 50);

        // Done folders have their cover now: a second run only reports them.
        m_server.resetCounts();
        run = fill({"--name", "%{collectionName}.jpg"});
        QCOMPARE(statuses(run).mid(0, 2), (QStringList{"Abbey Road=has-cover", "Post=has-cover"}));

        // A rate limit that does not end: 10 + 20 + 40 intervals, then exit 4.
        m_server.setFault(FixtureServer::Scope::Search, TestSupport::fault(Fault::Status, 429));
        run = fill({"--name", "other.jpg"});
        QCOMPARE(run.status, 4);
        QVERIFY(run.millis >= 70 * 50);
        QCOMPARE(TestSupport::entries(QFile::decodeName(m_root) + "/Beatles/Abbey Road"),
                 (QStringList{"01.mp3", "02.mp3", "Abbey Road.jpg"}));
    }
};

SLEEVANTA_TEST_MAIN(TestLibrary, QGuiApplication)
#include "tst_library.moc"

#include "AlbumObject.h"

#include <QJsonDocument>
#include <QtTest>

namespace {

QJsonObject json(const char* text) {
    return QJsonDocument::fromJson(QByteArray(text)).object();
}

const QString kThumb = QStringLiteral("https://is3-ssl.mzstatic.com/image/thumb/Music115/v4/4b/b6/"
                                      "00602567713449.rgb.jpg/100x100bb.jpg");

} // namespace

class TestAlbumObject : public QObject {
    Q_OBJECT
private:
    ServiceOrigins m_origins = ServiceOrigins::production();
    AlbumObject build(const QJsonObject& o, const QString& media = QStringLiteral("movie")) {
        return AlbumObject::fromResult(o, media, QStringLiteral("gb"), m_origins);
    }

private Q_SLOTS:
    void emptyObjectGivesPlaceholders() {
        const AlbumObject r = build({});
        QCOMPARE(r.artistName(), AttributedText::thin(QStringLiteral("No Artist Name")));
        QCOMPARE(r.artworkUrl(), QStringLiteral("No Artwork URL"));
        QCOMPARE(r.collectionId(), 0);
        QCOMPARE(r.collectionName(),
                 AttributedText::semibold(QStringLiteral("No Collection Name\n")));
        QCOMPARE(r.collectionViewUrl(), QStringLiteral("No Collection View URL"));
        QCOMPARE(r.entityString(), QStringLiteral("movie"));
        QCOMPARE(r.highResolutionUrl(), QStringLiteral("No High Resolution URL"));
        QCOMPARE(r.iTunesUrl(), QStringLiteral("No iTunes URL"));
        QCOMPARE(r.standardResolutionUrl(), QStringLiteral("No Standard Resolution URL"));
        QCOMPARE(r.webBrowserUrl(), QStringLiteral("No Browser URL"));
        QCOMPARE(r.collectionName().weight, FontWeight::Semibold);
        QCOMPARE(r.artistName().pointSize, 13.0);
    }

    void musicListingUrls_data() {
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<QString>("web");
        QTest::addColumn<QString>("store");
        QTest::newRow("empty object: album 0")
            << QByteArray("{}") << QStringLiteral("https://music.apple.com/gb/album/0?app=itunes")
            << QStringLiteral("musics://music.apple.com/gb/album/0?app=itunes");
        QTest::newRow("own listing urls ignored")
            << QByteArray("{\"collectionId\": 1441164426, \"collectionViewUrl\": "
                          "\"https://x.example/y?uo=4\"}")
            << QStringLiteral("https://music.apple.com/gb/album/1441164426?app=itunes")
            << QStringLiteral("musics://music.apple.com/gb/album/1441164426?app=itunes");
        QTest::newRow("track id when no collection id")
            << QByteArray("{\"trackId\": 99}")
            << QStringLiteral("https://music.apple.com/gb/album/99?app=itunes")
            << QStringLiteral("musics://music.apple.com/gb/album/99?app=itunes");
        QTest::newRow("negative id keeps its sign")
            << QByteArray("{\"collectionId\": -5}")
            << QStringLiteral("https://music.apple.com/gb/album/-5?app=itunes")
            << QStringLiteral("musics://music.apple.com/gb/album/-5?app=itunes");
    }

    void musicListingUrls() {
        QFETCH(QByteArray, result);
        QFETCH(QString, web);
        QFETCH(QString, store);
        const AlbumObject r =
            build(QJsonDocument::fromJson(result).object(), QStringLiteral("music"));
        QCOMPARE(r.webBrowserUrl(), web);
        QCOMPARE(r.iTunesUrl(), store);
    }

    void identity_data() {
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<qint64>("id");
        QTest::newRow("collectionId")
            << QByteArray("{\"collectionId\": 12, \"trackId\": 13}") << qint64(12);
        QTest::newRow("string collectionId falls back to trackId")
            << QByteArray("{\"collectionId\": \"12\", \"trackId\": 13}") << qint64(13);
        QTest::newRow("12.0 is an exact integer")
            << QByteArray("{\"collectionId\": 12.0}") << qint64(12);
        QTest::newRow("fraction is missing")
            << QByteArray("{\"collectionId\": 12.5, \"trackId\": 4}") << qint64(4);
        QTest::newRow("null is missing")
            << QByteArray("{\"collectionId\": null, \"trackId\": 4}") << qint64(4);
        QTest::newRow("out of range is missing")
            << QByteArray("{\"collectionId\": 1e300}") << qint64(0);
        QTest::newRow("large catalogue id")
            << QByteArray("{\"collectionId\": 1718834219}") << qint64(1718834219);
        QTest::newRow("neither") << QByteArray("{\"kind\": \"song\"}") << qint64(0);
        QTest::newRow("bool is missing") << QByteArray("{\"collectionId\": true}") << qint64(0);
    }

    void identity() {
        QFETCH(QByteArray, result);
        QFETCH(qint64, id);
        QCOMPARE(build(QJsonDocument::fromJson(result).object()).collectionId(), id);
    }

    void names_data() {
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QString>("collection");
        QTest::newRow("both") << QByteArray("{\"artistName\": \" A \", \"collectionName\": \"C\"}")
                              << QStringLiteral(" A ") << QStringLiteral("C\n");
        QTest::newRow("track name fallback")
            << QByteArray("{\"trackName\": \"T\"}") << QStringLiteral("No Artist Name")
            << QStringLiteral("T\n");
        QTest::newRow("empty collection name does not fall back")
            << QByteArray("{\"collectionName\": \"\", \"trackName\": \"T\"}")
            << QStringLiteral("No Artist Name") << QStringLiteral("\n");
        QTest::newRow("null artist")
            << QByteArray("{\"artistName\": null, \"collectionName\": 5, \"trackName\": \"T\"}")
            << QStringLiteral("No Artist Name") << QStringLiteral("T\n");
    }

    void names() {
        QFETCH(QByteArray, result);
        QFETCH(QString, artist);
        QFETCH(QString, collection);
        const AlbumObject r = build(QJsonDocument::fromJson(result).object());
        QCOMPARE(r.artistName().text, artist);
        QCOMPARE(r.collectionName().text, collection);
    }

    void artworkUrls_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("high");
        QTest::addColumn<QString>("standard");
        QTest::addColumn<QString>("thumb");
        QTest::newRow("catalogue thumbnail host")
            << kThumb
            << QStringLiteral(
                   "https://a1.mzstatic.com/us/r1000/0/Music115/v4/4b/b6/00602567713449.rgb.jpg")
            << QString(kThumb).replace(QStringLiteral("100x100"), QStringLiteral("600x600"))
            << QString(kThumb).replace(QStringLiteral("100x100"), QStringLiteral("200x200"));
        QTest::newRow("another numbered host")
            << QStringLiteral(
                   "https://is12-ssl.mzstatic.com/image/thumb/P/source.png/100x100bb.jpg")
            << QStringLiteral("https://a1.mzstatic.com/us/r1000/0/P/source.png")
            << QStringLiteral(
                   "https://is12-ssl.mzstatic.com/image/thumb/P/source.png/600x600bb.jpg")
            << QStringLiteral(
                   "https://is12-ssl.mzstatic.com/image/thumb/P/source.png/200x200bb.jpg");
        QTest::newRow("foreign host keeps host and path")
            << QStringLiteral("https://example.org/image/thumb/P/x.jpg/100x100bb.jpg")
            << QStringLiteral("https://example.org/image/thumb/P/x.jpg")
            << QStringLiteral("https://example.org/image/thumb/P/x.jpg/600x600bb.jpg")
            << QStringLiteral("https://example.org/image/thumb/P/x.jpg/200x200bb.jpg");
        QTest::newRow("old http thumbnail keeps its host")
            << QStringLiteral("http://is1.mzstatic.com/image/thumb/P/x.jpg/100x100bb.jpg")
            << QStringLiteral("http://is1.mzstatic.com/image/thumb/P/x.jpg")
            << QStringLiteral("http://is1.mzstatic.com/image/thumb/P/x.jpg/600x600bb.jpg")
            << QStringLiteral("http://is1.mzstatic.com/image/thumb/P/x.jpg/200x200bb.jpg");
        QTest::newRow("no size token")
            << QStringLiteral("https://is1-ssl.mzstatic.com/image/thumb/P/x.jpg/60x60bb.jpg")
            << QStringLiteral("https://a1.mzstatic.com/us/r1000/0/P/x.jpg/60x60bb.jpg")
            << QStringLiteral("https://is1-ssl.mzstatic.com/image/thumb/P/x.jpg/60x60bb.jpg")
            << QStringLiteral("https://is1-ssl.mzstatic.com/image/thumb/P/x.jpg/60x60bb.jpg");
        QTest::newRow("host look-alike is not the family")
            << QStringLiteral("https://isx-ssl.mzstatic.com/image/thumb/P/100x100bb.jpg")
            << QStringLiteral("https://isx-ssl.mzstatic.com/image/thumb/P")
            << QStringLiteral("https://isx-ssl.mzstatic.com/image/thumb/P/600x600bb.jpg")
            << QStringLiteral("https://isx-ssl.mzstatic.com/image/thumb/P/200x200bb.jpg");
    }

    void artworkUrls() {
        QFETCH(QString, source);
        QFETCH(QString, high);
        QFETCH(QString, standard);
        QFETCH(QString, thumb);
        QJsonObject o;
        o[QStringLiteral("artworkUrl100")] = source;
        const AlbumObject r = build(o);
        QCOMPARE(r.highResolutionUrl(), high);
        QCOMPARE(r.standardResolutionUrl(), standard);
        QCOMPARE(r.artworkUrl(), thumb);
    }

    void artworkOnTheOverrideOrigin() {
        const ServiceOrigins local =
            ServiceOrigins::singleOrigin(QStringLiteral("http://127.0.0.1:8642/"));
        QJsonObject o;
        o[QStringLiteral("artworkUrl100")] =
            QStringLiteral("http://127.0.0.1:8642/image/thumb/A/b.jpg/100x100bb.jpg");
        const AlbumObject r =
            AlbumObject::fromResult(o, QStringLiteral("music"), QStringLiteral("us"), local);
        QCOMPARE(r.highResolutionUrl(), QStringLiteral("http://127.0.0.1:8642/us/r1000/0/A/b.jpg"));
        QCOMPARE(r.webBrowserUrl(), QStringLiteral("http://127.0.0.1:8642/us/album/0?app=itunes"));
        QCOMPARE(r.iTunesUrl(), QStringLiteral("musics://127.0.0.1:8642/us/album/0?app=itunes"));
    }

    void nonMusicListingUrls_data() {
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<QString>("listing");
        QTest::addColumn<QString>("collectionView");
        QTest::newRow("collection view, uo removed")
            << QByteArray(
                   "{\"collectionViewUrl\": \"https://itunes.apple.com/us/movie/x/id1?uo=4\"}")
            << QStringLiteral("https://itunes.apple.com/us/movie/x/id1")
            << QStringLiteral("https://itunes.apple.com/us/movie/x/id1?uo=4");
        QTest::newRow("uo in the middle loses only five characters")
            << QByteArray("{\"trackViewUrl\": \"https://x.example/a?uo=4&at=1\"}")
            << QStringLiteral("https://x.example/a&at=1")
            << QStringLiteral("No Collection View URL");
        QTest::newRow("every occurrence") << QByteArray("{\"collectionViewUrl\": \"a?uo=4b?uo=4\"}")
                                          << QStringLiteral("ab") << QStringLiteral("a?uo=4b?uo=4");
        QTest::newRow("collection view preferred over track view")
            << QByteArray("{\"collectionViewUrl\": \"c\", \"trackViewUrl\": \"t\"}")
            << QStringLiteral("c") << QStringLiteral("c");
    }

    void nonMusicListingUrls() {
        QFETCH(QByteArray, result);
        QFETCH(QString, listing);
        QFETCH(QString, collectionView);
        const AlbumObject r =
            build(QJsonDocument::fromJson(result).object(), QStringLiteral("ERROR"));
        QCOMPARE(r.webBrowserUrl(), listing);
        QCOMPARE(r.iTunesUrl(), listing);
        QCOMPARE(r.collectionViewUrl(), collectionView);
        QCOMPARE(r.entityString(), QStringLiteral("ERROR"));
    }

    void jsonHasExactlyTheTenFields() {
        const AlbumObject r =
            build(json("{\"collectionId\": 9007199254740993, \"artistName\": \"A\"}"));
        const QJsonObject j = r.toJson();
        QCOMPARE(j.keys().size(), 10);
        QCOMPARE(j.value(QStringLiteral("collectionName")).toString(),
                 QStringLiteral("No Collection Name\n"));
        QCOMPARE(j.value(QStringLiteral("artistName")).toString(), QStringLiteral("A"));
    }
};

QTEST_GUILESS_MAIN(TestAlbumObject)
#include "tst_albumobject.moc"

#include "SearchRequest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

class TestSearchRequest : public QObject {
    Q_OBJECT
private:
    ServiceOrigins m_origins = ServiceOrigins::production();
    SearchRequest::ParsedAnswer parse(const QByteArray& body,
                                      const QString& media = QStringLiteral("music")) {
        return SearchRequest::parseAnswer(body, media, QStringLiteral("us"), m_origins);
    }
    static QStringList names(const SearchRequest::ParsedAnswer& answer) {
        QStringList list;
        for (const AlbumObject& r : answer.records) {
            list << r.collectionName().text.trimmed();
        }
        return list;
    }

private Q_SLOTS:
    void encoding_data() {
        QTest::addColumn<QString>("term");
        QTest::addColumn<QByteArray>("query");
        QTest::newRow("blank") << QStringLiteral("abbey road")
                               << QByteArray("term=abbey%20road&country=gb&media=music");
        QTest::newRow("ampersand stays query syntax")
            << QStringLiteral("rock & roll")
            << QByteArray("term=rock%20&%20roll&country=gb&media=music");
        QTest::newRow("hash and percent")
            << QStringLiteral("#1 100%") << QByteArray("term=%231%20100%25&country=gb&media=music");
        QTest::newRow("plus equals question stay")
            << QStringLiteral("a+b=c?") << QByteArray("term=a+b=c?&country=gb&media=music");
        QTest::newRow("e acute") << QStringLiteral("café")
                                 << QByteArray("term=caf%C3%A9&country=gb&media=music");
        QTest::newRow("emoji") << QStringLiteral("\U0001F3B8")
                               << QByteArray("term=%F0%9F%8E%B8&country=gb&media=music");
        QTest::newRow("allowed punctuation")
            << QStringLiteral("!$'()*,-./:;@_~")
            << QByteArray("term=!$'()*,-./:;@_~&country=gb&media=music");
        QTest::newRow("encoded punctuation")
            << QStringLiteral("\"<>[]\\^`{|}")
            << QByteArray("term=%22%3C%3E%5B%5D%5C%5E%60%7B%7C%7D&country=gb&media=music");
        QTest::newRow("control characters")
            << QStringLiteral("a\tb\nc") << QByteArray("term=a%09b%0Ac&country=gb&media=music");
        QTest::newRow("case kept, not trimmed")
            << QStringLiteral(" Abba ") << QByteArray("term=%20Abba%20&country=gb&media=music");
    }

    void encoding() {
        QFETCH(QString, term);
        QFETCH(QByteArray, query);
        const QByteArray url =
            SearchRequest::buildSearchUrl(QStringLiteral("https://itunes.apple.com"), term,
                                          QStringLiteral("gb"), QStringLiteral("music"));
        QCOMPARE(url, QByteArray("https://itunes.apple.com/search?") + query);
        // What is sent is exactly what was built.
        const auto sent = SearchRequest::validatedUrl(url);
        QVERIFY(sent);
        QCOMPARE(sent->toEncoded(), url);
    }

    void everyPrintableCharacterSurvivesValidation() {
        for (char16_t c = 0x20; c < 0x7f; ++c) {
            const QString term = QStringLiteral("x") + QChar(c) + QStringLiteral("y");
            const QByteArray url =
                SearchRequest::buildSearchUrl(QStringLiteral("https://itunes.apple.com"), term,
                                              QStringLiteral("us"), QStringLiteral("music"));
            const auto sent = SearchRequest::validatedUrl(url);
            QVERIFY2(sent, url.constData());
            QCOMPARE(sent->toEncoded(), url);
        }
    }

    void longTermIsEncoded() {
        const QString term(10000, QLatin1Char('a'));
        const QByteArray url =
            SearchRequest::buildSearchUrl(QStringLiteral("https://itunes.apple.com"), term,
                                          QStringLiteral("us"), QStringLiteral("music"));
        QVERIFY(SearchRequest::validatedUrl(url));
    }

    void urlsThatCannotBeSent_data() {
        QTest::addColumn<QByteArray>("encoded");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("no scheme") << QByteArray("itunes.apple.com/search?term=a");
        QTest::newRow("no host") << QByteArray("https:///search?term=a");
        QTest::newRow("other scheme") << QByteArray("ftp://itunes.apple.com/search");
    }

    void urlsThatCannotBeSent() {
        QFETCH(QByteArray, encoded);
        QVERIFY(!SearchRequest::validatedUrl(encoded));
    }

    void answersThatAreNotObjects_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("array") << QByteArray("[{\"results\":[]}]");
        QTest::newRow("number") << QByteArray("42");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("html") << QByteArray("<html>Service Unavailable</html>");
        QTest::newRow("not utf-8") << QByteArray("{\"results\":[{\"artistName\":\"\xff\xfe\"}]}");
        QTest::newRow("truncated") << QByteArray("{\"results\":[{\"artistName\":\"A");
        QTest::newRow("deeply nested") << (QByteArray(5000, '[') + QByteArray(5000, ']'));
        QTest::newRow("deeply nested object")
            << (QByteArray("{\"a\":").repeated(3000) + "1" + QByteArray(3000, '}'));
    }

    void answersThatAreNotObjects() {
        QFETCH(QByteArray, body);
        const auto answer = parse(body);
        QVERIFY(!answer.isJsonObject);
        QVERIFY(answer.records.isEmpty());
    }

    void objectsWithoutResults_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("empty results") << QByteArray("{\"resultCount\":0,\"results\":[]}");
        QTest::newRow("no results key") << QByteArray("{\"errorMessage\":\"Invalid value\"}");
        QTest::newRow("results not an array") << QByteArray("{\"results\":{\"a\":1}}");
        QTest::newRow("results of scalars") << QByteArray("{\"results\":[1,\"two\",null,true,[]]}");
    }

    void objectsWithoutResults() {
        QFETCH(QByteArray, body);
        const auto answer = parse(body);
        QVERIFY(answer.isJsonObject);
        QVERIFY(answer.records.isEmpty());
    }

    void filtering_data() {
        QTest::addColumn<QString>("media");
        QTest::addColumn<QByteArray>("results");
        QTest::addColumn<QStringList>("expected");
        const QByteArray tracksOfOneAlbum =
            "[{\"kind\":\"song\",\"collectionId\":7,\"trackId\":1,\"collectionName\":\"First\"},"
            "{\"kind\":\"song\",\"collectionId\":7,\"trackId\":2,\"collectionName\":\"Second\"}]";
        QTest::newRow("tracks of one album give one record")
            << QStringLiteral("music") << tracksOfOneAlbum << QStringList{QStringLiteral("First")};
        QTest::newRow("music drops music videos and missing kinds")
            << QStringLiteral("music")
            << QByteArray("[{\"kind\":\"music-video\",\"trackId\":1,\"trackName\":\"Video\"},"
                          "{\"trackId\":2,\"trackName\":\"No kind\"},"
                          "{\"kind\":5,\"trackId\":3,\"trackName\":\"Number kind\"},"
                          "{\"kind\":\"song\",\"trackId\":4,\"trackName\":\"Song\"}]")
            << QStringList{QStringLiteral("Song")};
        QTest::newRow("a dropped video does not block its identity")
            << QStringLiteral("music")
            << QByteArray("[{\"kind\":\"music-video\",\"collectionId\":9,\"trackName\":\"Video\"},"
                          "{\"kind\":\"song\",\"collectionId\":9,\"trackName\":\"Song\"}]")
            << QStringList{QStringLiteral("Song")};
        QTest::newRow("movies keep music videos")
            << QStringLiteral("movie")
            << QByteArray("[{\"kind\":\"music-video\",\"trackId\":1,\"trackName\":\"Video\"},{"
                          "\"trackId\":2,\"trackName\":\"No kind\"}]")
            << QStringList{QStringLiteral("Video"), QStringLiteral("No kind")};
        QTest::newRow("two without identity give one")
            << QStringLiteral("movie")
            << QByteArray("[{\"trackName\":\"A\"},{\"trackName\":\"B\"}]")
            << QStringList{QStringLiteral("A")};
        QTest::newRow("string id falls back to track id")
            << QStringLiteral("movie")
            << QByteArray("[{\"collectionId\":\"5\",\"trackId\":5,\"trackName\":\"A\"},{"
                          "\"collectionId\":5,\"trackName\":\"B\"}]")
            << QStringList{QStringLiteral("A")};
        QTest::newRow("unknown media keeps everything distinct")
            << QStringLiteral("ERROR")
            << QByteArray(
                   "[{\"trackId\":1,\"trackName\":\"A\"},{\"trackId\":2,\"trackName\":\"B\"}]")
            << QStringList{QStringLiteral("A"), QStringLiteral("B")};
    }

    void filtering() {
        QFETCH(QString, media);
        QFETCH(QByteArray, results);
        QFETCH(QStringList, expected);
        const auto answer = parse("{\"results\":" + results + "}", media);
        QVERIFY(answer.isJsonObject);
        QCOMPARE(names(answer), expected);
    }

    void largeAnswerKeepsOrder() {
        QJsonArray results;
        for (int i = 0; i < 2000; ++i) {
            results.append(QJsonObject{{QStringLiteral("kind"), QStringLiteral("song")},
                                       {QStringLiteral("collectionId"), i},
                                       {QStringLiteral("collectionName"), QString::number(i)}});
        }
        const auto answer =
            parse(QJsonDocument(QJsonObject{{QStringLiteral("results"), results}}).toJson());
        QCOMPARE(answer.records.size(), 2000);
        QCOMPARE(answer.records.first().collectionId(), 0);
        QCOMPARE(answer.records.last().collectionId(), 1999);
    }
};

QTEST_GUILESS_MAIN(TestSearchRequest)
#include "tst_searchrequest.moc"

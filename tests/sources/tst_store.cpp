// The store catalogue as a cover source: its requests, its answers as items,
// its artwork hosts and rungs, how a search ends, and the media and country
// tables its searches use.
#include "TestSupport.h"
#include "catalogue/CountryNames.h"
#include "catalogue/MediaTables.h"
#include "imaging/CoverLadder.h"
#include "sources/SearchResults.h"
#include "sources/store/StoreClient.h"
#include "sources/store/StoreItems.h"
#include "sources/store/StoreRequests.h"

#include <QCollator>
#include <QJsonDocument>

using Fault = FixtureServer::Fault;

class TestStore : public QObject {
    Q_OBJECT
private:
    FixtureServer m_server;

    static CatalogueItem record(const QByteArray& json, const QString& media) {
        return StoreItems::fromResult(QJsonDocument::fromJson(json).object(), media,
                                      QStringLiteral("gb"), ServiceOrigins::production());
    }
    static QStringList names(const QList<CatalogueItem>& records) {
        QStringList list;
        for (const CatalogueItem& r : records) {
            list << r.collectionName();
        }
        return list;
    }
    // Runs one search to its end; the kind it ended in, or none when nothing came.
    std::optional<SearchOutcome> runSearch(const QString& term) {
        StoreClient search(TestSupport::context().network(), TestSupport::context().origins());
        std::optional<SearchOutcome> outcome;
        SourceRequest request;
        request.term = term;
        request.storefront = QStringLiteral("gb");
        search.run(request, [&](const SearchOutcome& o) { outcome = o; });
        (void)QTest::qWaitFor([&] { return outcome.has_value(); }, 20000);
        return outcome;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_server.start()); }
    void init() {
        TestSupport::resetHome();
        TestSupport::useServer(m_server);
    }

    void identity_data() {
        TestSupport::columns<QByteArray, qint64>("result", "id");
        using TestSupport::row;
        row("collection id first", QByteArray(R"({"collectionId":12,"trackId":13})"), qint64(12));
        row("text id falls back", QByteArray(R"({"collectionId":"12","trackId":13})"), qint64(13));
        row("fraction is missing", QByteArray(R"({"collectionId":12.5,"trackId":4})"), qint64(4));
        row("2^63 is out of range", QByteArray(R"({"collectionId":9223372036854775808})"),
            qint64(0));
        row("largest below 2^63", QByteArray(R"({"collectionId":9223372036854774784})"),
            qint64(9223372036854774784LL));
        row("above 2^53 keeps every digit", QByteArray(R"({"collectionId":9007199254740993})"),
            qint64(9007199254740993LL));
        row("neither", QByteArray(R"({"collectionId":true})"), qint64(0));
    }
    void identity() {
        QFETCH(QByteArray, result);
        QFETCH(qint64, id);
        QCOMPARE(record(result, QStringLiteral("movie")).collectionId(), id);
    }

    void names_data() {
        TestSupport::columns<QByteArray, QString, QString>("result", "artist", "collection");
        using TestSupport::row;
        row("both", QByteArray(R"({"artistName":" A ","collectionName":"C"})"), " A ", "C");
        row("track name and placeholder",
            QByteArray(R"({"artistName":null,"collectionName":5,"trackName":"T"})"),
            "No Artist Name", "T");
        row("empty collection name does not fall back",
            QByteArray(R"({"collectionName":"","trackName":"T"})"), "No Artist Name", "");
    }
    void names() {
        QFETCH(QByteArray, result);
        QFETCH(QString, artist);
        QFETCH(QString, collection);
        const CatalogueItem r = record(result, QStringLiteral("movie"));
        QCOMPARE(r.artistName(), artist);
        QCOMPARE(r.collectionName(), collection);
    }

    void artworkUrls_data() {
        TestSupport::columns<QString, QString, QString>("source", "high", "standard");
        using TestSupport::row;
        row("numbered thumbnail host",
            "https://is12-ssl.mzstatic.com/image/thumb/P/source.png/100x100bb.jpg",
            "https://a1.mzstatic.com/us/r1000/0/P/source.png",
            "https://is12-ssl.mzstatic.com/image/thumb/P/source.png/600x600bb.jpg");
        row("foreign host keeps host and path",
            "https://isx-ssl.mzstatic.com/image/thumb/P/x.jpg/100x100bb.jpg",
            "https://isx-ssl.mzstatic.com/image/thumb/P/x.jpg",
            "https://isx-ssl.mzstatic.com/image/thumb/P/x.jpg/600x600bb.jpg");
        row("no size token", "https://is1-ssl.mzstatic.com/image/thumb/P/x.jpg/60x60bb.jpg",
            "https://a1.mzstatic.com/us/r1000/0/P/x.jpg/60x60bb.jpg",
            "https://is1-ssl.mzstatic.com/image/thumb/P/x.jpg/60x60bb.jpg");
        row("none", QString(), "No High Resolution URL", "No Standard Resolution URL");
    }
    void artworkUrls() {
        QFETCH(QString, source);
        QFETCH(QString, high);
        QFETCH(QString, standard);
        QJsonObject o;
        if (!source.isNull()) {
            o[QStringLiteral("artworkUrl100")] = source;
        }
        const CatalogueItem r =
            StoreItems::fromResult(o, QStringLiteral("movie"), {}, ServiceOrigins::production());
        QCOMPARE(r.highResolutionUrl(), high);
        QCOMPARE(r.standardResolutionUrl(), standard);
        QCOMPARE(r.artworkUrl(), source.isNull()
                                     ? QStringLiteral("No Artwork URL")
                                     : QString(source).replace(QStringLiteral("100x100bb"),
                                                               QStringLiteral("200x200bb")));
    }

    // Artwork comes only from the catalogue's artwork hosts: every rung of the
    // ladder built from a real answer passes, nothing else does.
    void artworkHosts_data() {
        TestSupport::columns<QString, bool>("url", "allowed");
        using TestSupport::row;
        const QString source = "https://is3-ssl.mzstatic.com/image/thumb/Music125/v4/8b/1c/"
                               "8b1c/00602567.rgb.jpg/100x100bb.jpg";
        const CatalogueItem record = StoreItems::fromResult(
            {{"artworkUrl100", source}}, QStringLiteral("music"), {}, ServiceOrigins::production());
        for (const CoverRung& rung :
             TestSupport::context().sources().primary().rungs(*CoverItem::of(record), true)) {
            row(qPrintable(rung.url.path().section('/', -1)), rung.url.toString(), true);
        }
        row("thumbnail", record.artworkUrl(), true);
        row("plain http", "http://is1-ssl.mzstatic.com/image/thumb/x/600x600bb.jpg", false);
        row("another host", "https://artwork.invalid/image/thumb/x/600x600bb.jpg", false);
        row("a look-alike", "https://is1-ssl.mzstatic.com.evil.example/x.jpg", false);
        row("another port", "https://is1-ssl.mzstatic.com:8443/image/thumb/x.jpg", false);
        row("not numbered", "https://isx-ssl.mzstatic.com/image/thumb/x.jpg", false);
    }
    void artworkHosts() {
        QFETCH(QString, url);
        QFETCH(bool, allowed);
        QCOMPARE(ServiceOrigins::production().isArtworkUrl(QUrl(url)), allowed);
    }

    void listingUrls_data() {
        TestSupport::columns<QString, QByteArray, QString, QString>("media", "result", "web",
                                                                    "store");
        using TestSupport::row;
        row("music: album page of the storefront", "music",
            QByteArray(R"({"collectionId":14,"collectionViewUrl":"elsewhere"})"),
            "https://music.apple.com/gb/album/14?app=itunes",
            "musics://music.apple.com/gb/album/14?app=itunes");
        row("other: collection view without uo", "movie",
            QByteArray(R"({"collectionViewUrl":"a?uo=4b?uo=4","trackViewUrl":"t"})"), "ab", "ab");
        row("other: track view", "ebook", QByteArray(R"({"trackViewUrl":"t?uo=4"})"), "t", "t");
        row("other: none", "movie", QByteArray("{}"), "No Browser URL", "No iTunes URL");
    }
    void listingUrls() {
        QFETCH(QString, media);
        QFETCH(QByteArray, result);
        QFETCH(QString, web);
        QFETCH(QString, store);
        const CatalogueItem r = record(result, media);
        QCOMPARE(r.webBrowserUrl(), web);
        QCOMPARE(r.iTunesUrl(), store);
        QCOMPARE(r.entityString(), media);
    }

    void encoding_data() {
        TestSupport::columns<QString, QByteArray>("term", "query");
        using TestSupport::row;
        row("blank", "abbey road", QByteArray("term=abbey%20road"));
        row("ampersand", "Simon & Garfunkel", QByteArray("term=Simon%20%26%20Garfunkel"));
        row("query syntax", "C++; x=y/z?", QByteArray("term=C%2B%2B%3B%20x%3Dy%2Fz%3F"));
        row("unreserved stay", "a-b.c_d~", QByteArray("term=a-b.c_d~"));
        row("UTF-8", "café \U0001F3B8", QByteArray("term=caf%C3%A9%20%F0%9F%8E%B8"));
    }
    void encoding() {
        QFETCH(QString, term);
        QFETCH(QByteArray, query);
        const QByteArray url =
            StoreRequests::buildSearchUrl(QStringLiteral("https://itunes.apple.com"), term,
                                          QStringLiteral("gb"), QStringLiteral("music"));
        QCOMPARE(url, "https://itunes.apple.com/search?" + query + "&country=gb&media=music");
    }

    void everyBuiltUrlIsSentAsBuilt() {
        for (char16_t c = 0x20; c < 0x7f; ++c) {
            const QByteArray url = StoreRequests::buildSearchUrl(
                QStringLiteral("https://itunes.apple.com"), QStringLiteral("x%1y").arg(QChar(c)),
                QStringLiteral("us"), QStringLiteral("music"));
            const auto sent = StoreRequests::validatedUrl(url);
            QVERIFY2(sent && sent->toEncoded() == url, url.constData());
        }
        for (const QByteArray& bad : {QByteArray(), QByteArray("itunes.apple.com/search"),
                                      QByteArray("https:///search"), QByteArray("ftp://a/b")}) {
            QVERIFY(!StoreRequests::validatedUrl(bad));
        }
    }

    void storeLinks_data() {
        TestSupport::columns<QString, qint64, QString>("term", "id", "country");
        using TestSupport::row;
        row("bare id", " 1441164426 ", qint64(1441164426), "");
        row("album with track", "https://music.apple.com/GB/album/abbey-road/1441164426?i=14",
            qint64(1441164426), "gb");
        row("itunes id", "https://itunes.apple.com/us/movie/x/id284914350?uo=4", qint64(284914350),
            "us");
        row("app", "https://apps.apple.com/de/app/some-app/id123456789", qint64(123456789), "de");
        row("podcast without storefront", "https://podcasts.apple.com/podcast/x/id42", qint64(42),
            "");
        row("another site", "https://example.com/us/album/x/1441164426", qint64(0), "");
        row("no id", "https://tv.apple.com/us/show/ted-lasso/umc.cmc.vtoh0mn0", qint64(0), "");
        row("words", "abbey road 2", qint64(0), "");
    }
    void storeLinks() {
        QFETCH(QString, term);
        QFETCH(qint64, id);
        QFETCH(QString, country);
        const auto target = StoreRequests::lookupTarget(term);
        QCOMPARE(target.value_or(StoreRequests::LookupTarget{}),
                 (StoreRequests::LookupTarget{id, country}));
        QCOMPARE(StoreRequests::storeLinkTitle(term).value_or(QString()),
                 term.startsWith(QLatin1String("https://tv.")) ? QStringLiteral("ted lasso")
                                                               : QString());
    }

    void lookupsListWhatTheyFind() {
        auto lookUp = [](const QString& term) {
            std::optional<QList<CatalogueItem>> found;
            SearchResults results(TestSupport::context().sources().primary());
            results.search(term, QStringLiteral("Music"), QStringLiteral("US"),
                           [&](SearchResultKind) { found = results.items(); });
            (void)QTest::qWaitFor([&] { return found.has_value(); }, 10000);
            return found.value_or(QList<CatalogueItem>{});
        };
        // An album comes back as a collection without a kind: listed, as music.
        const auto album = lookUp("https://music.apple.com/gb/album/abbey-road/1441164426?i=1");
        QCOMPARE(m_server.requestTargets().value(0),
                 QByteArray("/lookup?id=1441164426&country=gb"));
        QCOMPARE(names(album), QStringList{"Abbey Road (Remastered)"});
        QCOMPARE(album.value(0).webBrowserUrl(),
                 m_server.origin() + QStringLiteral("/gb/album/1441164426?app=itunes"));
        const auto movie = lookUp(QStringLiteral("284914350"));
        QCOMPARE(movie.value(0).entityString(), QStringLiteral("movie"));
        QVERIFY(m_server.requestTargets().value(1).endsWith("&country=us"));
    }

    void answers_data() {
        TestSupport::columns<QString, QByteArray, bool, QStringList>("media", "body", "isObject",
                                                                     "listed");
        using TestSupport::row;
        row("array", "music", QByteArray("[{\"results\":[]}]"), false, QStringList());
        row("truncated", "music", QByteArray("{\"results\":[{\"a\":\""), false, QStringList());
        row("deeply nested", "music", QByteArray(5000, '[') + QByteArray(5000, ']'), false,
            QStringList());
        row("results not an array", "music", QByteArray("{\"results\":{\"a\":1}}"), true,
            QStringList());
        row("music: tracks of one album, no videos, no kindless", "music",
            QByteArray(R"({"results":[1,{"kind":"song","collectionId":7,"trackName":"First"},
                {"kind":"song","collectionId":7,"trackName":"Second"},
                {"kind":"music-video","collectionId":9,"trackName":"Video"},
                {"trackId":2,"trackName":"No kind"},
                {"kind":"song","collectionId":9,"trackName":"Song"}]})"),
            true, QStringList{"First", "Song"});
        row("movies keep videos; ids decide duplicates", "movie",
            QByteArray(R"({"results":[{"kind":"music-video","trackId":1,"trackName":"A"},
                {"trackName":"B"},{"trackName":"C"}]})"),
            true, QStringList{"A", "B"});
    }
    void answers() {
        QFETCH(QString, media);
        QFETCH(QByteArray, body);
        QFETCH(bool, isObject);
        QFETCH(QStringList, listed);
        const auto answer = StoreRequests::parseAnswer(body, media, QStringLiteral("us"),
                                                       ServiceOrigins::production());
        QCOMPARE(answer.isJsonObject, isObject);
        QCOMPARE(names(answer.records), listed);
    }

    void mediaTables_data() {
        TestSupport::columns<QString, QString, QString, bool>("title", "country", "value",
                                                              "offered");
        using TestSupport::row;
        row("audiobooks BR", "Audiobooks", "BR", "audiobook", false);
        row("audiobooks JP", "Audiobooks", "JP", "audiobook", true);
        row("short films RO", "Short Films", "RO", "shortFilm", false);
        row("movies DE", "Movies", "DE", "movie", true);
        row("TV shows JP", "TV Shows", "JP", "tvShow", false);
        row("TV shows de: codes are upper case", "TV Shows", "de", "tvShow", false);
        row("unknown title", "music", "UZ", "", true);
    }
    void mediaTables() {
        QFETCH(QString, title);
        QFETCH(QString, country);
        QFETCH(QString, value);
        QFETCH(bool, offered);
        QCOMPARE(MediaTables::mediaParameter(title).value_or(QString()), value);
        QCOMPARE(MediaTables::isMediaAvailable(title, country), offered);
    }

    void countryNames() {
        QCOMPARE(CountryNames::displayName(QStringLiteral("KN")),
                 QStringLiteral("St. Kitts & Nevis"));
        QCOMPARE(CountryNames::displayName(QStringLiteral("HK")),
                 QStringLiteral("Hong Kong SAR China"));
        QVERIFY(!CountryNames::displayName(QStringLiteral("XX")));
        const auto storefronts = CountryNames::storefronts();
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        for (qsizetype i = 1; i < storefronts.size(); ++i) {
            const auto& [code, name] = storefronts[i];
            QVERIFY2(collator.compare(storefronts[i - 1].name, name) < 0, qPrintable(name));
            QCOMPARE(CountryNames::displayName(code).value_or(QString()), name);
        }
    }

    // How every kind of answer ends.
    void outcomes_data() {
        TestSupport::columns<QString, int, int, int>("term", "fault", "status", "kind");
        const int completed = int(SearchResultKind::Completed);
        const int unreadable = int(SearchResultKind::AnswerUnreadable);
        const int offline = int(SearchResultKind::Offline);
        const int throttled = int(SearchResultKind::Throttled);
        const int unavailable = int(SearchResultKind::Unavailable);
        const int foreign = int(SearchResultKind::NotASearchResult);
        const int timedOut = int(SearchResultKind::TimedOut);
        using TestSupport::row;
        row("records", "abbey road", int(Fault::None), 0, completed);
        row("no results key", "no results key", int(Fault::None), 0, completed);
        row("JSON array", "json array", int(Fault::None), 0, foreign);
        row("an HTML page", "x", int(Fault::Garbage), 0, foreign);
        row("400", "x", int(Fault::Status), 400, unreadable);
        row("500", "x", int(Fault::Status), 500, unavailable);
        row("503", "x", int(Fault::Status), 503, unavailable);
        row("403: rate limit", "x", int(Fault::Status), 403, throttled);
        row("429: rate limit", "x", int(Fault::Status), 429, throttled);
        row("reset", "x", int(Fault::Reset), 0, offline);
        row("truncated", "x", int(Fault::Truncate), 0, offline);
        row("time-out", "x", int(Fault::Delay), 0, timedOut);
        row("slow drip", "x", int(Fault::SlowDrip), 0, completed);
        row("a drip past the deadline", "endless", int(Fault::SlowDrip), 0, timedOut);
        row("a redirect loop", "x", int(Fault::Redirect), 0, offline);
        row("20 MB answer", "x", int(Fault::HugeJson), 0, completed);
        row("answer over 64 MB", "65 MB", int(Fault::HugeJson), 0, unreadable);
        row("no URL", "http://[", int(Fault::None), 0, int(SearchResultKind::UrlNotFormed));
    }
    void outcomes() {
        QFETCH(QString, term);
        QFETCH(int, fault);
        QFETCH(int, status);
        QFETCH(int, kind);
        FixtureServer::FaultConfig config = TestSupport::fault(Fault(fault), status);
        config.delayMs = 2000;
        config.dripChunk = 1024;
        config.hugeBytes = term == QLatin1String("65 MB") ? 65LL << 20 : 20LL << 20;
        if (term == QLatin1String("endless")) {
            config.dripChunk = 64; // bytes keep coming, the answer never ends in time
            config.dripIntervalMs = 100;
            TestSupport::context().network().setSearchDeadline(500);
        }
        m_server.setFault(FixtureServer::Scope::Search, config);
        TestSupport::context().network().setTransferTimeout(Fault(fault) == Fault::Delay ? 1000
                                                                                         : 30000);
        if (term.startsWith(QLatin1String("http"))) {
            TestSupport::context().setOrigins(ServiceOrigins::singleOrigin(term));
        }
        const auto outcome = runSearch(term);
        QVERIFY(outcome);
        QCOMPARE(int(outcome->kind), kind);
    }

    void olderSearchesNeverLand() {
        FixtureServer::FaultConfig slow = TestSupport::fault(Fault::Delay);
        slow.delayMs = 300;
        m_server.setFault(FixtureServer::Scope::Search, slow);
        SearchResults results(TestSupport::context().sources().primary());
        int older = 0;
        results.search(QStringLiteral("abbey road"), QStringLiteral("Music"), QStringLiteral("US"),
                       [&](SearchResultKind) { ++older; });
        QTRY_COMPARE(m_server.requestCount(QStringLiteral("/search")), 1);
        m_server.clearFaults();
        int newer = 0;
        results.search(QStringLiteral("the dark knight"), QStringLiteral("Movies"),
                       QStringLiteral("US"), [&](SearchResultKind) { ++newer; });
        QTRY_COMPARE(newer, 1);
        results.search(QStringLiteral("abbey road"), QStringLiteral("Music"), QStringLiteral("US"),
                       [&](SearchResultKind) { ++older; });
        results.clear();
        QTest::qWait(500);
        QCOMPARE(older, 0);
        QVERIFY(results.items().isEmpty());
    }
};

SLEEVANTA_TEST_MAIN(TestStore, QGuiApplication)
#include "tst_store.moc"

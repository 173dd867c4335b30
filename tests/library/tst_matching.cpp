// Which catalogue album is a library folder's: the matcher among editions,
// years, numerals and namesakes; an album's artist and title from its files'
// tags or its folder names; barcodes.
#include "TestSupport.h"
#include "library/AlbumMatcher.h"
#include "library/AlbumTags.h"
#include "library/Barcode.h"
#include "library/CoverUpgrade.h"

#include <QJsonObject>

namespace {

// "Artist|Title|artist id|explicitness", as a listing holds it.
QList<CatalogueItem> listing(const QStringList& rows) {
    QList<CatalogueItem> records;
    qint64 id = 1;
    for (const QString& row : rows) {
        const QStringList f = row.split(QLatin1Char('|'));
        CatalogueItem::Fields fields;
        fields.artistName = f.value(0);
        fields.collectionName = f.value(1);
        fields.collectionId = id++;
        fields.artistId = f.value(2).toLongLong();
        fields.explicitness = f.value(3);
        fields.entityString = QStringLiteral("music");
        records.append(CatalogueItem(fields));
    }
    return records;
}

TrackTags track(const QString& artist, const QString& album, const QString& albumArtist = {},
                const QString& barcode = {}) {
    TrackTags tags;
    tags.read = TrackTags::Read::Whole;
    tags.artist = artist;
    tags.album = album;
    tags.albumArtist = albumArtist;
    tags.barcode = barcode;
    return tags;
}

} // namespace

class TestMatching : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // What the folder holds, what the catalogue lists (in its order), and the
    // one taken: "" for none, "?" for ambiguous.
    void choosing_data() {
        TestSupport::columns<QString, QString, QString, QStringList, QString>(
            "artist", "album", "version", "candidates", "taken");
        using TestSupport::row;
        const QString none;
        row("the plain album, though the deluxe comes first", "Fleetwood Mac", "Rumours", none,
            QStringList{"Fleetwood Mac|Rumours (Super Deluxe)", "Fleetwood Mac|Rumours"},
            "Rumours");
        row("the edition the folder names", "Fleetwood Mac", "Rumours (Deluxe)", none,
            QStringList{"Fleetwood Mac|Rumours", "Fleetwood Mac|Rumours (Super Deluxe)"},
            "Rumours (Super Deluxe)");
        row("another edition when it is all there is", "Björk", "Post", none,
            QStringList{"Björk|Post (Deluxe Edition)"}, "Post (Deluxe Edition)");
        row("a remaster after a dash", "The Beatles", "Help!", none,
            QStringList{"The Beatles|Help! - 2009 Remaster"}, "Help! - 2009 Remaster");
        row("an EP's suffix", "Phoebe Bridgers", "Copycat Killer", none,
            QStringList{"Phoebe Bridgers|Copycat Killer - EP"}, "Copycat Killer - EP");
        row("the album, not its title track's single", "Adele", "Hello", none,
            QStringList{"Adele|Hello - Single", "Adele|Hello"}, "Hello");
        row("the single, for a single", "Fleetwood Mac", "Dreams - Single", none,
            QStringList{"Fleetwood Mac|Dreams", "Fleetwood Mac|Dreams - Single"},
            "Dreams - Single");
        row("the clean version the tags name", "Kendrick Lamar", "good kid, m.A.A.d city",
            "cleaned",
            QStringList{"Kendrick Lamar|good kid, m.A.A.d city|1|explicit",
                        "Kendrick Lamar|good kid, m.A.A.d city|1|cleaned"},
            "good kid, m.A.A.d city");
        row("a trailing year is the title's", "Bob Dylan", "Live 1975", none,
            QStringList{"Bob Dylan|Live 1966"}, none);
        row("this year's hits, not last year's", "Various Artists", "Bravo Hits 2015", none,
            QStringList{"Various Artists|Bravo Hits 2016", "Various Artists|Bravo Hits 2015"},
            "Bravo Hits 2015");
        row("a year in brackets is not", "Taylor Swift", "Red (2012)", none,
            QStringList{"Taylor Swift|Red"}, "Red");
        row("a numeral by its value", "Various Artists", "Now That's Music Vol. II", none,
            QStringList{"Various Artists|Now That's Music Vol. 2"}, "Now That's Music Vol. 2");
        row("another volume", "Chicago", "Chicago XVII", none, QStringList{"Chicago|Chicago XVI"},
            none);
        row("numerals inside words", "Mix Masters", "Mix", none, QStringList{"Mix Masters|MIX"},
            "MIX");
        row("only a number", "Taylor Swift", "1989", none,
            QStringList{"Taylor Swift|Taylor Swift", "Taylor Swift|1989 (Deluxe Edition)"},
            "1989 (Deluxe Edition)");
        row("only another number", "Adele", "21", none, QStringList{"Adele|25"}, none);
        row("the article", "Quiet Hours", "Lanterns", none, QStringList{"The Quiet Hours|Lanterns"},
            "Lanterns");
        row("the sort form", "Quiet Hours, The", "Lanterns", none,
            QStringList{"The Quiet Hours|Lanterns"}, "Lanterns");
        row("a soundtrack's addition", "The Quiet Hours", "Hollow", none,
            QStringList{"The Quiet Hours|Hollow (Original Motion Picture Soundtrack)"},
            "Hollow (Original Motion Picture Soundtrack)");
        row("a disc of the album", "Pink Floyd", "The Wall (Disc 2)", none,
            QStringList{"Pink Floyd|The Wall"}, "The Wall");
        row("the orchestra beside the artist", "Jonny Greenwood", "Phantom Thread", none,
            QStringList{"Jonny Greenwood & London Contemporary Orchestra|Phantom Thread"},
            "Phantom Thread");
        row("letters of other scripts", "Sigur Rós", "Ágætis byrjun", none,
            QStringList{"Sigur Ros|Agaetis Byrjun (Deluxe Edition)"},
            "Agaetis Byrjun (Deluxe Edition)");
        row("a comma that is no sort form", "Tyler, the Creator", "Flower Boy", none,
            QStringList{"Tyler, The Creator|Flower Boy"}, "Flower Boy");
        row("same title, other artist", "The Beatles", "Abbey Road", none,
            QStringList{"Abbey Road Ensemble|Abbey Road"}, none);
        row("an album named after the artist", "Taylor Swift", "1989", none,
            QStringList{"Taylor Swift|Taylor Swift"}, none);
        row("a bracket that is no edition", "Muse", "Live (Part 1)", none,
            QStringList{"Muse|Live (Part 2)"}, none);
        row("two artists of one name", "Nirvana", "Greatest Hits", none,
            QStringList{"Nirvana|Greatest Hits|1", "Nirvana|Greatest Hits|2"}, "?");
    }
    void choosing() {
        QFETCH(QString, artist);
        QFETCH(QString, album);
        QFETCH(QString, version);
        QFETCH(QStringList, candidates);
        QFETCH(QString, taken);
        const auto match = AlbumMatcher::bestMatch(
            {artist, album, version, artist == QLatin1String("Various Artists")},
            listing(candidates));
        QVERIFY(match);
        QCOMPARE(match->ambiguous, taken == QLatin1String("?"));
        QCOMPARE(match->confident ? match->record.collectionName() : QString(),
                 taken == QLatin1String("?") ? QString() : taken);
        if (!version.isEmpty()) {
            QCOMPARE(match->record.explicitness(), version);
        }
    }

    // An album's artist and title from its files: the album artist, else the
    // artist most files credit, a featured part set aside only where it is one.
    void albumOfTheFiles_data() {
        TestSupport::columns<QList<TrackTags>, QString, QString, int>("tracks", "artist", "album",
                                                                      "kind");
        using TestSupport::row;
        using Kind = AlbumTags::Identity::Kind;
        row("the album artist",
            QList<TrackTags>{track("John", "Abbey Road", "The Beatles"),
                             track("Paul", "Abbey Road", "The Beatles")},
            "The Beatles", "Abbey Road", int(Kind::Album));
        row("featured artists set aside",
            QList<TrackTags>{track("Artist feat. Other", "Songs"), track("Artist & Guest", "Songs"),
                             track("Artist", "Songs")},
            "Artist", "Songs", int(Kind::Album));
        row("a name with an ampersand stays whole",
            QList<TrackTags>{track("Earth, Wind & Fire", "Gratitude"),
                             track("Earth, Wind & Fire", "Gratitude")},
            "Earth, Wind & Fire", "Gratitude", int(Kind::Album));
        row("discs of one album",
            QList<TrackTags>{track("A", "Set (Disc 1)"), track("A", "Set (Disc 2)")}, "A", "Set",
            int(Kind::Album));
        row("no artist most files share: a compilation",
            QList<TrackTags>{track("A", "Hits"), track("B", "Hits"), track("C", "Hits")},
            "Various Artists", "Hits", int(Kind::Compilation));
        row("singles of three albums",
            QList<TrackTags>{track("A", "One"), track("B", "Two"), track("C", "Three")}, QString(),
            QString(), int(Kind::Mixed));
        row("a tie between two albums", QList<TrackTags>{track("A", "One"), track("A", "Two")},
            QString(), QString(), int(Kind::Mixed));
        row("the majority wins",
            QList<TrackTags>{track("A", "One"), track("A", "One"), track("B", "Two")}, "A", "One",
            int(Kind::Album));
        row("no tags", QList<TrackTags>{TrackTags{}}, QString(), QString(), int(Kind::Unknown));
    }
    void albumOfTheFiles() {
        QFETCH(QList<TrackTags>, tracks);
        QFETCH(QString, artist);
        QFETCH(QString, album);
        QFETCH(int, kind);
        const AlbumTags::Identity identity = AlbumTags::identify(tracks);
        QCOMPARE(int(identity.kind), kind);
        QCOMPARE(identity.artist, artist);
        QCOMPARE(identity.album, album);
    }

    void folderNames_data() {
        TestSupport::columns<QString, QString, QString, int>("path", "artist", "album", "year");
        using TestSupport::row;
        row("a trailing year", "/m/Taylor Swift/1989 (2014)", "Taylor Swift", "1989", 2014);
        row("a leading year", "/m/Fleetwood Mac/1977 - Rumours", "Fleetwood Mac", "Rumours", 1977);
        row("a bracketed leading year", "/m/Fleetwood Mac/[1977] Rumours", "Fleetwood Mac",
            "Rumours", 1977);
        row("a format", "/m/Björk/Post [FLAC]", "Björk", "Post", 0);
        row("an edition stays", "/m/Fleetwood Mac/Rumours (Deluxe)", "Fleetwood Mac",
            "Rumours (Deluxe)", 0);
        row("sort form", "/m/Quiet Hours, The/Hollow", "The Quiet Hours", "Hollow", 0);
        row("a comma that is no sort form", "/m/Tyler, the Creator/Flower Boy",
            "Tyler, the Creator", "Flower Boy", 0);
    }
    void folderNames() {
        QFETCH(QString, path);
        QFETCH(QString, artist);
        QFETCH(QString, album);
        QFETCH(int, year);
        const AlbumTags::Identity identity = AlbumTags::fromFolderNames(path);
        QCOMPARE(identity.artist, artist);
        QCOMPARE(identity.album, album);
        QCOMPARE(identity.year, year);
    }

    void barcodes_data() {
        TestSupport::columns<QString, QStringList>("tagged", "asked");
        using TestSupport::row;
        row("a UPC, also as an EAN", "075992731324", QStringList{"075992731324", "0075992731324"});
        row("an EAN with a leading 0, also as a UPC", "0075992731324",
            QStringList{"0075992731324", "075992731324"});
        row("an EAN", "4006381333931", QStringList{"4006381333931"});
        row("spaces and dashes", "0 75992-73132 4", QStringList{"075992731324", "0075992731324"});
        row("a wrong check digit", "075992731325", QStringList());
        row("too short", "07599273132", QStringList());
        row("too long", "00075992731324", QStringList());
        row("letters", "07599273132X", QStringList());
    }
    void barcodes() {
        QFETCH(QString, tagged);
        QFETCH(QStringList, asked);
        const auto barcode = Barcode::normalised(tagged);
        QCOMPARE(barcode ? Barcode::forms(*barcode) : QStringList(), asked);
    }

    // The barcode most files carry is the album's; a tie is none.
    void albumBarcodeByMajority() {
        const QString a = "075992731324";
        const QString b = "4006381333931";
        QCOMPARE(AlbumTags::identify(
                     {track("X", "Y", {}, a), track("X", "Y", {}, a), track("X", "Y", {}, b)})
                     .barcode,
                 a);
        QCOMPARE(AlbumTags::identify({track("X", "Y", {}, a), track("X", "Y", {}, b)}).barcode,
                 QString());
    }

    // A cover nobody chose gives way only to a larger picture of the same thing.
    void upgradeDecision_data() {
        TestSupport::columns<QSize, QSize, bool, bool, int>("had", "would", "chosen", "same",
                                                             "keep");
        using TestSupport::row;
        using Keep = CoverUpgrade::Keep;
        row("larger, same", QSize(300, 300), QSize(600, 600), false, true, int(Keep::No));
        row("larger, other picture", QSize(300, 300), QSize(600, 600), false, false,
            int(Keep::Different));
        row("as large", QSize(600, 600), QSize(600, 600), false, true, int(Keep::Larger));
        row("wider but not taller", QSize(300, 200), QSize(600, 200), false, true,
            int(Keep::Larger));
        row("chosen", QSize(100, 100), QSize(1400, 1400), true, true, int(Keep::Chosen));
        row("size unknown", QSize(), QSize(600, 600), false, true, int(Keep::SizeUnknown));
    }
    void upgradeDecision() {
        QFETCH(QSize, had);
        QFETCH(QSize, would);
        QFETCH(bool, chosen);
        QFETCH(bool, same);
        QFETCH(int, keep);
        QCOMPARE(int(CoverUpgrade::decide(had, would, chosen, same)), keep);
    }
};

SLEEVANTA_TEST_MAIN(TestMatching, QCoreApplication)
#include "tst_matching.moc"

#include "CountryHelper.h"
#include "MediaTables.h"

#include <QCollator>
#include <QSet>
#include <QtTest>

class TestCountryHelper : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void mediaParameter_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("value");
        QTest::newRow("Music") << "Music"
                               << "music";
        QTest::newRow("Music Videos") << "Music Videos"
                                      << "musicVideo";
        QTest::newRow("TV Shows") << "TV Shows"
                                  << "tvShow";
        QTest::newRow("Short Films") << "Short Films"
                                     << "shortFilm";
        QTest::newRow("eBooks") << "eBooks"
                                << "ebook";
        QTest::newRow("lower-case music") << "music"
                                          << "ERROR";
        QTest::newRow("TV shows") << "TV shows"
                                  << "ERROR";
        QTest::newRow("empty") << ""
                               << "ERROR";
    }

    void mediaParameter() {
        QFETCH(QString, title);
        QFETCH(QString, value);
        QCOMPARE(MediaTables::mediaParameter(title), value);
    }

    void availability_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("country");
        QTest::addColumn<bool>("offered");
        QTest::newRow("audiobooks BR") << "Audiobooks"
                                       << "BR" << false;
        QTest::newRow("audiobooks JP") << "Audiobooks"
                                       << "JP" << true;
        QTest::newRow("movies RO") << "Movies"
                                   << "RO" << false;
        QTest::newRow("short films KE") << "Short Films"
                                        << "KE" << false;
        QTest::newRow("movies DE") << "Movies"
                                   << "DE" << true;
        QTest::newRow("tv shows JP") << "TV Shows"
                                     << "JP" << false;
        QTest::newRow("tv shows DE") << "TV Shows"
                                     << "DE" << true;
        QTest::newRow("music everywhere") << "Music"
                                          << "UZ" << true;
        QTest::newRow("unknown title") << "Vinyl"
                                       << "UZ" << true;
        QTest::newRow("lower-case code is not a storefront") << "TV Shows"
                                                             << "de" << false;
    }

    void availability() {
        QFETCH(QString, title);
        QFETCH(QString, country);
        QFETCH(bool, offered);
        QCOMPARE(MediaTables::isMediaAvailable(title, country), offered);
    }

    void tablesAreConsistent() {
        const QStringList& codes = MediaTables::countryCodes();
        QCOMPARE(codes.size(), 119);
        QStringList sorted = codes;
        sorted.sort();
        QCOMPARE(codes, sorted);
        for (const QStringList* list :
             {&MediaTables::audiobookCountries(), &MediaTables::noMovieCountries(),
              &MediaTables::tvShowCountries()}) {
            for (const QString& code : *list) {
                QVERIFY2(codes.contains(code), qPrintable(code));
            }
        }
        QCOMPARE(MediaTables::audiobookCountries().size(), 22);
        QCOMPARE(MediaTables::mediaTitles().size(), 9);
    }

    void displayNamesAreCldrEnglish_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("DE") << "DE"
                            << "Germany";
        QTest::newRow("GB") << "GB"
                            << "United Kingdom";
        QTest::newRow("US") << "US"
                            << "United States";
        QTest::newRow("KN") << "KN"
                            << "St. Kitts & Nevis";
        QTest::newRow("HK") << "HK"
                            << "Hong Kong SAR China";
    }

    void displayNamesAreCldrEnglish() {
        QFETCH(QString, code);
        QFETCH(QString, name);
        QCOMPARE(CountryHelper::displayName(code).value_or(QString()), name);
        QCOMPARE(CountryHelper::countryCode(name), code);
    }

    void noNameForNonCodes() {
        QVERIFY(!CountryHelper::displayName(QStringLiteral("ERROR")));
        QVERIFY(!CountryHelper::displayName(QStringLiteral("")));
        QCOMPARE(CountryHelper::countryCode(QStringLiteral("Atlantis")), QStringLiteral("ERROR"));
        QCOMPARE(CountryHelper::countryCode(QStringLiteral("germany")), QStringLiteral("ERROR"));
    }

    void countryNamesAreDistinctAndSorted() {
        const QStringList names = CountryHelper::countryNames();
        QCOMPARE(names.size(), 119);
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        for (qsizetype i = 1; i < names.size(); ++i) {
            QVERIFY2(collator.compare(names[i - 1], names[i]) < 0, qPrintable(names[i]));
        }
        for (const QString& name : names) {
            QVERIFY(MediaTables::countryCodes().contains(CountryHelper::countryCode(name)));
        }
    }
};

QTEST_GUILESS_MAIN(TestCountryHelper)
#include "tst_countryhelper.moc"

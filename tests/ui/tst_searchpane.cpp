#include "AlbumObjectHelper.h"
#include "AlertHelper.h"
#include "CountryHelper.h"
#include "CoverSelection.h"
#include "DefaultsHelper.h"
#include "FixtureServer.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "SearchResultDelegate.h"
#include "SearchViewController.h"
#include "ServiceOrigins.h"
#include "ThumbnailLoader.h"
#include "UserDefaults.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <QtTest>

using Fault = FixtureServer::Fault;

class TestSearchPane : public QObject {
    Q_OBJECT
private:
    FixtureServer m_server;
    QList<Notification> m_posted;
    std::unique_ptr<QWidget> m_window;
    SearchViewController* m_pane = nullptr;

    void record() {
        for (const QString& name :
             {NotificationNames::downloadCover, NotificationNames::removeCover,
              NotificationNames::disableMenuItems, NotificationNames::focusOnSearchField}) {
            NotificationCenter::defaultCenter().addObserver(
                name, this, [this](const Notification& n) { m_posted.append(n); });
        }
    }
    QStringList postedNames() const {
        QStringList names;
        for (const Notification& n : m_posted) {
            names.append(n.name);
        }
        return names;
    }
    void makePane() {
        m_window = std::make_unique<QWidget>();
        m_window->resize(360, 600);
        auto* layout = new QVBoxLayout(m_window.get());
        m_pane = new SearchViewController(m_window.get());
        layout->addWidget(m_pane);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void search(const QString& term) {
        m_pane->searchField()->setFocus();
        m_pane->searchField()->setText(term);
        QTest::keyClick(m_pane->searchField(), Qt::Key_Return);
    }
    bool waitForRows(int rows) {
        return QTest::qWaitFor([&] { return m_pane->tableView()->model()->rowCount() == rows; },
                               10000);
    }
    QMessageBox* shownAlert() const {
        const auto boxes = m_window->findChildren<QMessageBox*>();
        for (QMessageBox* box : boxes) {
            if (box->isVisible()) {
                return box;
            }
        }
        return nullptr;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_server.start());
        ServiceOrigins::setCurrent(ServiceOrigins::singleOrigin(m_server.origin()));
    }

    void init() {
        m_server.clearFaults();
        m_server.resetCounts();
        ServiceOrigins::setCurrent(ServiceOrigins::singleOrigin(m_server.origin()));
        for (const QString& key :
             {SettingsKeys::media, SettingsKeys::country, SettingsKeys::quality}) {
            UserDefaults::standard().removeObject(key);
        }
        NotificationCenter::defaultCenter().reset();
        m_posted.clear();
        record();
    }

    void cleanup() {
        m_window.reset();
        AlbumObjectHelper::clearAlbumObjects();
    }

    void setUpFillsThePickersWithoutSearching() {
        UserDefaults::standard().setInteger(SettingsKeys::quality, 1);
        UserDefaults::standard().setString(SettingsKeys::country, QStringLiteral("GB"));
        makePane();
        QCOMPARE(m_pane->qualityPicker()->count(), 2);
        QCOMPARE(m_pane->qualityPicker()->currentText(), QStringLiteral("High Quality"));
        QCOMPARE(m_pane->countryPicker()->currentText(), QStringLiteral("United Kingdom"));
        QCOMPARE(m_pane->countryPicker()->count(), 119);
        QCOMPARE(m_pane->mediaPicker()->currentText(), QStringLiteral("Music"));
        // Clearing at refill, then the (empty) search: no request.
        QCOMPARE(postedNames(),
                 (QStringList{NotificationNames::removeCover, NotificationNames::removeCover}));
        QCOMPARE(m_server.requestCount(QStringLiteral("/search")), 0);
    }

    void countryChangeRefreshesTheMediaPicker_data() {
        QTest::addColumn<QString>("storedMedia");
        QTest::addColumn<QString>("country");
        QTest::addColumn<QString>("expectedMedia");
        QTest::addColumn<QStringList>("missingTitles");
        QTest::addColumn<bool>("searches");
        QTest::newRow("audiobooks in BR") << "Audiobooks"
                                          << "BR"
                                          << "Music" << QStringList{"Audiobooks"} << false;
        QTest::newRow("short films in RO")
            << "Short Films"
            << "RO"
            << "Music" << QStringList{"Movies", "Short Films"} << false;
        QTest::newRow("TV shows in JP") << "TV Shows"
                                        << "JP"
                                        << "Music" << QStringList{} << false;
        QTest::newRow("TV shows in DE") << "TV Shows"
                                        << "DE"
                                        << "TV Shows" << QStringList{} << true;
    }
    void countryChangeRefreshesTheMediaPicker() {
        QFETCH(QString, storedMedia);
        QFETCH(QString, country);
        QFETCH(QString, expectedMedia);
        QFETCH(QStringList, missingTitles);
        QFETCH(bool, searches);
        UserDefaults::standard().setString(SettingsKeys::media, storedMedia);
        makePane();
        m_pane->searchField()->setText(QStringLiteral("abbey road"));
        m_server.resetCounts();

        QComboBox* picker = m_pane->countryPicker();
        const int index = picker->findText(*CountryHelper::displayName(country));
        QVERIFY(index >= 0);
        picker->setCurrentIndex(index);
        Q_EMIT picker->activated(index);

        QCOMPARE(DefaultsHelper::storedCountry(), country);
        QCOMPARE(DefaultsHelper::storedMedia(), expectedMedia);
        QCOMPARE(m_pane->mediaPicker()->currentText(), expectedMedia);
        for (const QString& title : missingTitles) {
            QCOMPARE(m_pane->mediaPicker()->findText(title), -1);
        }
        QVERIFY(m_pane->mediaPicker()->findText(QStringLiteral("Music")) >= 0);
        QTest::qWait(200);
        QCOMPARE(m_server.requestCount(QStringLiteral("/search")), searches ? 1 : 0);
    }

    void mediaPickWithEmptyFieldOnlyClears() {
        makePane();
        m_posted.clear();
        QComboBox* picker = m_pane->mediaPicker();
        picker->setCurrentIndex(picker->findText(QStringLiteral("Movies")));
        Q_EMIT picker->activated(picker->currentIndex());
        QCOMPARE(DefaultsHelper::storedMedia(), QStringLiteral("Movies"));
        QCOMPARE(postedNames(), QStringList{NotificationNames::removeCover});
        QTest::qWait(100);
        QCOMPARE(m_server.requestCount(QStringLiteral("/search")), 0);
        QVERIFY(!shownAlert());
    }

    void selectionPostsDownloadOrRemove() {
        makePane();
        search(QStringLiteral("abbey road"));
        QVERIFY(waitForRows(3));
        m_posted.clear();

        m_pane->tableView()->selectRow(1);
        QCOMPARE(postedNames(), QStringList{NotificationNames::downloadCover});
        const QVariantMap info = m_posted.last().userInfo;
        QCOMPARE(info.size(), 8);
        const AlbumObject& record = AlbumObjectHelper::albumObjects().at(1);
        QCOMPARE(CoverSelection::plainText(info, CoverSelection::Keys::collectionName),
                 record.collectionName().text);
        QCOMPARE(CoverSelection::integer(info, CoverSelection::Keys::collectionId),
                 record.collectionId());
        QCOMPARE(CoverSelection::url(info, CoverSelection::Keys::standardResolutionUrl),
                 QUrl(record.standardResolutionUrl()));

        // A quality change fetches the same record again, after storing the quality.
        m_posted.clear();
        m_pane->qualityPicker()->setCurrentIndex(1);
        Q_EMIT m_pane->qualityPicker()->activated(1);
        QCOMPARE(DefaultsHelper::storedQuality(), 1);
        QCOMPARE(postedNames(), QStringList{NotificationNames::downloadCover});
        QCOMPARE(m_posted.last().userInfo, info);

        m_posted.clear();
        m_pane->tableView()->clearSelection();
        QCOMPARE(postedNames(), QStringList{NotificationNames::removeCover});

        // Without a selection a quality change only stores the quality.
        m_posted.clear();
        m_pane->qualityPicker()->setCurrentIndex(0);
        Q_EMIT m_pane->qualityPicker()->activated(0);
        QCOMPARE(DefaultsHelper::storedQuality(), 0);
        QVERIFY(m_posted.isEmpty());
        QVERIFY(!shownAlert());
    }

    void emptySearchSendsNothing() {
        makePane();
        m_posted.clear();
        search(QString());
        QCOMPARE(postedNames(), QStringList{NotificationNames::removeCover});
        QTest::qWait(100);
        QCOMPARE(m_server.requestCount(QStringLiteral("/search")), 0);
        QVERIFY(!shownAlert());
    }

    void alerts_data() {
        QTest::addColumn<QString>("term");
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("origin");
        QTest::addColumn<QString>("text");
        QTest::newRow("no results")
            << "nothing" << int(Fault::None) << 0 << QString() << AlertTexts::noResults;
        QTest::newRow("special characters")
            << "json array" << int(Fault::None) << 0 << QString() << AlertTexts::specialCharacters;
        QTest::newRow("throttled")
            << "abbey road" << int(Fault::Status) << 403 << QString() << AlertTexts::throttled;
        QTest::newRow("offline") << "abbey road" << int(Fault::Reset) << 0 << QString()
                                 << AlertTexts::offline;
        QTest::newRow("no search URL") << "abbey road" << int(Fault::None) << 0
                                       << QStringLiteral("http://[broken") << AlertTexts::searchUrl;
        QTest::newRow("records: none")
            << "abbey road" << int(Fault::None) << 0 << QString() << QString();
    }
    void alerts() {
        QFETCH(QString, term);
        QFETCH(int, fault);
        QFETCH(int, status);
        QFETCH(QString, origin);
        QFETCH(QString, text);
        FixtureServer::FaultConfig config;
        config.fault = Fault(fault);
        config.statusCode = status;
        m_server.setFault(FixtureServer::Scope::Search, config);
        if (!origin.isEmpty()) {
            ServiceOrigins::setCurrent(ServiceOrigins::singleOrigin(origin));
        }
        makePane();
        search(term);
        if (text.isEmpty()) {
            QVERIFY(waitForRows(3));
            QTest::qWait(100);
            QVERIFY(!shownAlert());
            QCOMPARE(m_pane->tableView()->verticalScrollBar()->value(), 0);
            return;
        }
        QTRY_VERIFY(shownAlert());
        QMessageBox* alert = shownAlert();
        QCOMPARE(alert->text(), QStringLiteral("Whoops…"));
        QCOMPARE(alert->informativeText(), text);
        QCOMPARE(alert->buttons().size(), 1);
        QCOMPARE(alert->buttons().first()->text(), QStringLiteral("OK"));
        QCOMPARE(alert->windowModality(), Qt::WindowModal);
        QCOMPARE(m_pane->tableView()->model()->rowCount(), 0);
    }

    void noWindowNoAlert() {
        SearchViewController pane; // never shown
        pane.searchField()->setText(QStringLiteral("nothing"));
        pane.startSearch();
        QTest::qWait(500);
        QVERIFY(pane.findChildren<QMessageBox*>().isEmpty());
        QVERIFY(QApplication::topLevelWidgets().size() <= 2);
    }

    void keyboard() {
        makePane();
        search(QStringLiteral("abbey road"));
        QVERIFY(waitForRows(3));
        m_posted.clear();
        QTest::keyClick(m_pane->searchField(), Qt::Key_Down);
        QVERIFY(m_pane->tableView()->hasFocus());
        QCOMPARE(m_pane->tableView()->selectionModel()->selectedRows().value(0).row(), 0);
        QCOMPARE(postedNames(), QStringList{NotificationNames::downloadCover});
        QTest::keyClick(m_pane->tableView(), Qt::Key_Down);
        QCOMPARE(m_pane->tableView()->selectionModel()->selectedRows().value(0).row(), 1);

        m_posted.clear();
        m_pane->searchField()->setFocus();
        QTest::keyClick(m_pane->searchField(), Qt::Key_Escape);
        QVERIFY(m_pane->searchField()->text().isEmpty());
        QCOMPARE(m_pane->tableView()->model()->rowCount(), 0);
        QVERIFY(postedNames().contains(NotificationNames::removeCover));

        NotificationCenter::defaultCenter().post(NotificationNames::focusOnSearchField);
        QVERIFY(m_pane->searchField()->hasFocus());
    }

    void rowHeightFollowsTheStoredMedia_data() {
        QTest::addColumn<QString>("media");
        QTest::addColumn<int>("height");
        QTest::newRow("unset") << QString() << 101;
        QTest::newRow("Short Films") << "Short Films" << 151;
        QTest::newRow("eBooks") << "eBooks" << 151;
        QTest::newRow("Movies") << "Movies" << 151;
        QTest::newRow("Music Videos") << "Music Videos" << 101;
    }
    void rowHeightFollowsTheStoredMedia() {
        QFETCH(QString, media);
        QFETCH(int, height);
        if (!media.isEmpty()) {
            UserDefaults::standard().setString(SettingsKeys::media, media);
        }
        QCOMPARE(SearchResultDelegate::rowHeight(), height);
        makePane();
        search(QStringLiteral("generated 2"));
        QVERIFY(waitForRows(2));
        QCOMPARE(m_pane->tableView()->rowHeight(0), height);
    }

    void titleLayout_data() {
        QTest::addColumn<QString>("collection");
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("placeholders")
            << "No Collection Name\n"
            << "No Artist Name" << QStringList{"No Collection Name", "No Artist Name"};
        QTest::newRow("empty collection") << "\n"
                                          << "Artist" << QStringList{"", "Artist"};
    }
    void titleLayout() {
        QFETCH(QString, collection);
        QFETCH(QString, artist);
        QFETCH(QStringList, lines);
        const auto layout = SearchResultDelegate::layoutTitle(collection, artist, 400);
        QCOMPARE(layout.lines, lines);
        QVERIFY(!layout.truncated);
    }

    void longTitleIsCutToFourLines() {
        const QString longName = QStringLiteral("word ").repeated(60) + QLatin1Char('\n');
        const auto layout = SearchResultDelegate::layoutTitle(longName, QStringLiteral("A"), 150);
        QCOMPARE(layout.lines.size(), 4);
        QVERIFY(layout.truncated);
    }

    void titleIsCentredVertically() {
        // Taller than the base: moved up by half the excess.
        QCOMPARE(SearchResultDelegate::centredTitleRect(QRectF(10, 20, 100, 40), 60),
                 QRectF(10, 10, 100, 60));
        QCOMPARE(SearchResultDelegate::centredTitleRect(QRectF(10, 20, 100, 91), 31),
                 QRectF(10, 50, 100, 31));
    }

    void thumbnailsLoadForVisibleRowsOnly() {
        makePane();
        search(QStringLiteral("generated 200"));
        QVERIFY(waitForRows(200));
        QTRY_VERIFY(m_pane->thumbnails()->loadingCount() == 0 &&
                    m_server.requestCount(QStringLiteral("/image/thumb")) > 0);
        const int requested = m_server.requestCount(QStringLiteral("/image/thumb"));
        QVERIFY2(requested < 30, qPrintable(QString::number(requested)));

        // Scrolling to the end loads the rows that come into view there.
        m_pane->tableView()->scrollToBottom();
        QTRY_VERIFY(m_server.requestCount(QStringLiteral("/image/thumb")) > requested);
        const QList<QByteArray> targets = m_server.requestTargets();
        QVERIFY(targets.last().contains("/200x200bb.jpg"));
    }
};

QTEST_MAIN(TestSearchPane)
#include "tst_searchpane.moc"

// The search pane in a window: pickers, searching, selection, alerts,
// keyboard, result rows and their thumbnails.
#include "TestSupport.h"
#include "catalogue/CountryNames.h"
#include "catalogue/CoverItem.h"
#include "settings/Settings.h"
#include "sources/SearchMessages.h"
#include "sources/SearchResults.h"
#include "ui/common/Alerts.h"
#include "ui/search/ListOverlay.h"
#include "ui/search/SearchPane.h"
#include "ui/search/SearchResultDelegate.h"
#include "ui/search/ThumbnailLoader.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <QWheelEvent>

using Fault = FixtureServer::Fault;

class TestSearchPane : public QObject {
    Q_OBJECT
private:
    FixtureServer m_server;
    QStringList m_told; // what the pane said: "chosen" or "cleared"
    std::optional<CoverItem> m_chosen;
    std::unique_ptr<QWidget> m_window;
    SearchPane* m_pane = nullptr;

    static Settings& settings() { return TestSupport::context().settings(); }
    void makePane() {
        m_window = std::make_unique<QWidget>();
        m_window->resize(360, 600);
        m_pane = new SearchPane(TestSupport::context(), m_window.get());
        connect(m_pane, &SearchPane::itemChosen, this, [this](const CoverItem& item) {
            m_told << QStringLiteral("chosen");
            m_chosen = item;
        });
        connect(m_pane, &SearchPane::selectionCleared, this,
                [this] { m_told << QStringLiteral("cleared"); });
        (new QVBoxLayout(m_window.get()))->addWidget(m_pane);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    // Searches for `term`; true when it ends with `rows` results.
    bool search(const QString& term, int rows) {
        m_pane->searchField()->setFocus();
        m_pane->searchField()->setText(term);
        QTest::keyClick(m_pane->searchField(), Qt::Key_Return);
        return QTest::qWaitFor([&] { return !m_pane->isSearching(); }, 10000) &&
               m_pane->tableView()->model()->rowCount() == rows;
    }
    static void pick(QComboBox* picker, const QString& title) {
        picker->setCurrentIndex(picker->findText(title));
        Q_EMIT picker->activated(picker->currentIndex());
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_server.start()); }
    void init() {
        TestSupport::resetHome();
        TestSupport::useServer(m_server);
        m_told.clear();
    }
    void cleanup() { m_window.reset(); }

    void countryDecidesTheMediaOffered_data() {
        TestSupport::columns<QString, QString, QString, QStringList>("storedMedia", "country",
                                                                     "media", "missing");
        using TestSupport::row;
        row("audiobooks in BR", "Audiobooks", "BR", "Music", QStringList{"Audiobooks"});
        row("short films in RO", "Short Films", "RO", "Music",
            QStringList{"Movies", "Short Films"});
        row("TV shows in DE: searches again", "TV Shows", "DE", "TV Shows", QStringList());
    }
    void countryDecidesTheMediaOffered() {
        QFETCH(QString, storedMedia);
        QFETCH(QString, country);
        QFETCH(QString, media);
        QFETCH(QStringList, missing);
        settings().setValue(Settings::media, storedMedia);
        settings().setValue(Settings::highQuality, true);
        makePane();
        QCOMPARE(m_pane->qualityPicker()->currentText(), QStringLiteral("High Quality"));
        QCOMPARE(m_pane->countryPicker()->currentText(), QStringLiteral("United States"));
        QCOMPARE(m_server.requestCount(), 0); // the field is empty: no search
        m_pane->searchField()->setText(QStringLiteral("abbey road"));

        pick(m_pane->countryPicker(), *CountryNames::displayName(country));
        QCOMPARE(settings().value(Settings::country), country);
        QCOMPARE(settings().value(Settings::media), media);
        QCOMPARE(m_pane->mediaPicker()->currentText(), media);
        for (const QString& title : missing) {
            QCOMPARE(m_pane->mediaPicker()->findText(title), -1);
        }
        QTest::qWait(200);
        QCOMPARE(m_server.requestCount(QStringLiteral("/search")), media == storedMedia ? 1 : 0);
    }

    void selectionTellsTheCoverPane() {
        makePane();
        QVERIFY(search(QStringLiteral("abbey road"), 3));
        m_told.clear();
        m_pane->tableView()->selectRow(1);
        QCOMPARE(m_told, QStringList{"chosen"});
        const CatalogueItem& record = m_pane->results().items().at(1);
        QVERIFY(m_chosen);
        QCOMPARE(m_chosen->collectionName, record.collectionName());
        QCOMPARE(m_chosen->collectionId, record.collectionId());
        QCOMPARE(m_chosen->thumbnailUrl.toString(), record.artworkUrl());

        // A quality change stores the quality and fetches the selection again.
        const CoverItem chosen = *m_chosen;
        pick(m_pane->qualityPicker(), QStringLiteral("High Quality"));
        QVERIFY(settings().value(Settings::highQuality));
        QCOMPARE(*m_chosen, chosen);
        m_pane->tableView()->clearSelection();
        pick(m_pane->qualityPicker(), QStringLiteral("Standard Quality"));
        QCOMPARE(m_told, (QStringList{"chosen", "chosen", "cleared"}));
        QVERIFY(!settings().value(Settings::highQuality));

        // A media pick searches again, an empty field only clears.
        pick(m_pane->mediaPicker(), QStringLiteral("Movies"));
        QTRY_COMPARE(m_pane->tableView()->model()->rowCount(), 5); // videos are kept
        QVERIFY(search(QString(), 0));
        QTest::qWait(100);
        QCOMPARE(m_server.requestCount(QStringLiteral("/search")), 2);
        QCOMPARE(settings().value(Settings::media), QStringLiteral("Movies"));
        QVERIFY(!TestSupport::shownAlert(m_window.get()));
    }

    // A failed search says why in the list, with Try Again, over the results
    // shown before it (dimmed: not this term's); one without results says so.
    void failuresAndEmptyResults_data() {
        TestSupport::columns<QString, int, QString>("term", "status", "text");
        using TestSupport::row;
        row("no results", "nothing", 0,
            QStringLiteral("No results for “nothing” in Music, United States.\nTry another "
                           "storefront, or change the search term."));
        row("bad request", "x", 400,
            SearchMessages::failureText(SearchResultKind::AnswerUnreadable));
        row("not a search result", "json array", 0,
            SearchMessages::failureText(SearchResultKind::NotASearchResult));
        row("throttled", "x", 403, SearchMessages::failureText(SearchResultKind::Throttled));
        row("unavailable", "x", 503, SearchMessages::failureText(SearchResultKind::Unavailable));
    }
    void failuresAndEmptyResults() {
        QFETCH(QString, term);
        QFETCH(int, status);
        QFETCH(QString, text);
        makePane();
        QVERIFY(search(QStringLiteral("abbey road"), 3));
        if (status) {
            m_server.setFault(FixtureServer::Scope::Search,
                              TestSupport::fault(Fault::Status, status));
        }
        auto* overlay = m_pane->findChild<ListOverlay*>();
        if (status == 0 && term == QLatin1String("nothing")) {
            QVERIFY(search(term, 0));
            QCOMPARE(m_pane->listMessage(), text);
            QVERIFY(!overlay->tryAgainButton()->isVisibleTo(overlay));
            // Typing replaces the term that found nothing.
            QCOMPARE(m_pane->searchField()->selectedText(), term);
            return;
        }
        QVERIFY(!search(term, 0)); // the earlier results stay, dimmed
        QTRY_COMPARE(m_pane->listMessage(), text);
        QVERIFY(!TestSupport::shownAlert(m_window.get()));
        QCOMPARE(m_pane->tableView()->model()->rowCount(), 3);
        QVERIFY(overlay->isDimming() && overlay->tryAgainButton()->isVisibleTo(overlay));
        m_server.setFault(FixtureServer::Scope::Search, {});
        m_pane->searchField()->setText(QStringLiteral("abbey road"));
        overlay->tryAgainButton()->click();
        QTRY_VERIFY(m_pane->listMessage().isEmpty() && !overlay->isVisible());
    }

    void keyboard() {
        makePane();
        QVERIFY(search(QStringLiteral("abbey road"), 3));
        // Tab into the list chooses its current row; Down moves on from it.
        QTableView* table = m_pane->tableView();
        table->clearSelection();
        m_pane->activateWindow();
        m_pane->searchField()->setFocus();
        for (int i = 0; i < 6 && !table->hasFocus(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QVERIFY(table->hasFocus());
        QCOMPARE(table->selectionModel()->selectedRows().value(0).row(), 0);
        QTest::keyClick(table, Qt::Key_Down);
        QCOMPARE(table->selectionModel()->selectedRows().value(0).row(), 1);
        m_pane->searchField()->setFocus();
        QTest::keyClick(m_pane->searchField(), Qt::Key_Down);
        QVERIFY(m_pane->tableView()->hasFocus());
        QCOMPARE(m_pane->tableView()->currentIndex().row(), 0);
        QCOMPARE(m_told.last(), QStringLiteral("chosen"));
        QTest::keyClick(table, Qt::Key_Down);
        QCOMPARE(table->currentIndex().row(), 1);
        QTest::keyClick(table, Qt::Key_End);
        QCOMPARE(table->currentIndex().row(), 2);
        QTest::keyClick(table, Qt::Key_Home);
        QCOMPARE(table->currentIndex().row(), 0);
        // Up on the first row and Escape go back to the field, its text selected.
        for (Qt::Key key : {Qt::Key_Up, Qt::Key_Escape}) {
            table->setFocus();
            QTest::keyClick(table, key);
            QVERIFY(m_pane->searchField()->hasFocus() && m_pane->searchField()->hasSelectedText());
        }
        // Tab leaves the list at once, either way.
        table->setFocus();
        QTest::keyClick(table, Qt::Key_Backtab);
        QVERIFY(m_pane->countryPicker()->hasFocus());
        // A passing wheel changes no picker.
        QComboBox* media = m_pane->mediaPicker();
        const int before = media->currentIndex();
        QWheelEvent wheel(QPointF(5, 5), media->mapToGlobal(QPointF(5, 5)), {}, {0, -120},
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(media, &wheel);
        QCOMPARE(media->currentIndex(), before);

        m_pane->searchField()->setFocus();
        QTest::keyClick(m_pane->searchField(), Qt::Key_Escape);
        QVERIFY(m_pane->searchField()->text().isEmpty());
        QCOMPARE(m_pane->tableView()->model()->rowCount(), 0);
        QCOMPARE(m_told.last(), QStringLiteral("cleared"));
    }

    void rowsAndTitles() {
        settings().setValue(Settings::media, QStringLiteral("Movies"));
        makePane();
        QVERIFY(search(QStringLiteral("generated 2"), 2));
        QCOMPARE(m_pane->tableView()->rowHeight(0), 151);
        pick(m_pane->mediaPicker(), QStringLiteral("Music Videos"));
        QVERIFY(search(QStringLiteral("generated 2"), 2));
        QCOMPARE(m_pane->tableView()->rowHeight(0), 101);
        // Posters give their empty sides to the title; covers stay square.
        const QRect tall(0, 0, 300, 151);
        QCOMPARE(SearchResultDelegate::thumbnailBox(tall, QSize(), true), QRect(5, 5, 94, 141));
        QCOMPARE(SearchResultDelegate::thumbnailBox(tall, QSize(200, 100), true).width(), 141);
        QCOMPARE(SearchResultDelegate::thumbnailBox(tall, QSize(60, 100), true).width(), 85);
        QCOMPARE(SearchResultDelegate::thumbnailBox(tall, QSize(60, 100), false).width(), 141);

        auto layout =
            SearchResultDelegate::layoutTitle(QStringLiteral("\n"), QStringLiteral("Artist"), 400);
        QCOMPARE(layout.lines, (QStringList{QString(), QStringLiteral("Artist")}));
        layout = SearchResultDelegate::layoutTitle(QStringLiteral("word ").repeated(60) + '\n',
                                                   QStringLiteral("A"), 150);
        QCOMPARE(layout.lines.size(), 4); // the artist keeps the last line
        QCOMPARE(layout.lines.last(), QStringLiteral("A"));
        QVERIFY(layout.lines.at(2).endsWith(QChar(0x2026)) && layout.truncated);
    }

    void thumbnailsFollowTheVisibleRows() {
        FixtureServer::FaultConfig slow = TestSupport::fault(Fault::Delay);
        slow.delayMs = 1500;
        m_server.setFault(FixtureServer::Scope::Artwork, slow);
        makePane();
        QVERIFY(search(QStringLiteral("generated 200"), 200));
        ThumbnailLoader* thumbnails = m_pane->thumbnails();
        QTRY_VERIFY(thumbnails->isLoading(0));
        QVERIFY(!thumbnails->isLoading(60));

        // Rows far out of sight stop loading; the rows now shown start.
        m_pane->tableView()->scrollToBottom();
        QTRY_VERIFY(thumbnails->isLoading(199));
        QVERIFY(!thumbnails->isLoading(0));
        m_server.clearFaults();
        QTRY_VERIFY_WITH_TIMEOUT(thumbnails->loadingCount() == 0, 10000);
        const int requested = m_server.requestCount(QStringLiteral("/image/thumb"));
        QVERIFY2(requested < 30, qPrintable(QString::number(requested)));
        QVERIFY(m_server.requestTargets().last().endsWith("/200x200bb.jpg"));

        // A thumbnail that cannot be had: a drawn placeholder, not a blank square.
        m_server.setFault(FixtureServer::Scope::Artwork, TestSupport::fault(Fault::Status, 404));
        QVERIFY(search(QStringLiteral("generated 3"), 3));
        QTRY_VERIFY(thumbnails->hasFailed(0));
        const QImage row = m_pane->tableView()->viewport()->grab(QRect(0, 0, 101, 101)).toImage();
        QSet<QRgb> colours;
        for (int x = 5; x < 96; ++x) {
            colours.insert(row.pixel(x * row.width() / 101, row.height() / 2));
        }
        QVERIFY(colours.size() > 1);
        // Asked again once the catalogue is back (Try Again says so).
        m_server.clearFaults();
        m_pane->retryFailedThumbnails();
        QTRY_VERIFY(!thumbnails->scaledImage(2, QSize(10, 10)).isNull());
        QVERIFY(!thumbnails->hasFailed(0));
    }
};

SLEEVANTA_TEST_MAIN(TestSearchPane, QApplication)
#include "tst_searchpane.moc"

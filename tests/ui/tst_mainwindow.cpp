// The main window and the application delegate: start-up, the window frame,
// the menus, the cache read-out, termination, preferences, donation and mail.
#include "TestSupport.h"
#include "app/Application.h"
#include "app/DonateDialog.h"
#include "app/FeedbackMail.h"
#include "app/MainWindow.h"
#include "app/SingleInstance.h"
#include "catalogue/CoverItem.h"
#include "platform/Clipboard.h"
#include "platform/DesktopServices.h"
#include "platform/MailComposer.h"
#include "platform/SharingServices.h"
#include "settings/Settings.h"
#include "sources/SearchResults.h"
#include "ui/common/ColorScheme.h"
#include "ui/cover/AlbumBanner.h"
#include "ui/cover/CoverActions.h"
#include "ui/cover/CoverPane.h"
#include "ui/cover/SaveDialog.h"
#include "ui/library/CandidateStrip.h"
#include "ui/library/FillTable.h"
#include "ui/library/FillWindow.h"
#include "ui/preferences/PreferencesDialog.h"
#include "ui/search/SearchPane.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

namespace {

struct FakeService : SharingService {
    QString name;
    explicit FakeService(QString title) : name(std::move(title)) {}
    QString title() const override { return name; }
    QString iconName() const override { return {}; }
    void perform(const QList<QUrl>&, const Failed&) override {}
};

struct Recorder : MailComposer, Clipboard, DesktopServices {
    QString subject, body, text;
    QList<QUrl> opened;
    bool opens = true; // whether the desktop opens links and mail
    void compose(const QStringList&, const QString& s, const QString& b,
                 std::function<void(bool)> done) override {
        subject = s;
        body = b;
        done(opens);
    }
    void writeFile(const QUrl&, const QByteArray&) override {}
    void addPng(const QUrl&, const QByteArray&, const QByteArray&) override {}
    void writeText(const QString& value) override { text = value; }
    bool openUrl(const QUrl& url) override {
        opened.append(url);
        return opens;
    }
    bool launchApplication(const QString&, const QList<QUrl>&) override { return true; }
};

// The settings portal of a desktop, on a connection of its own to the test's
// session bus: its signals reach the window only through the bus's match rules.
class FakeSettingsPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    uint scheme = 1;
    void change(uint value) {
        scheme = value;
        QDBusMessage signal = QDBusMessage::createSignal(
            "/org/freedesktop/portal/desktop", "org.freedesktop.portal.Settings", "SettingChanged");
        signal << QStringLiteral("org.freedesktop.appearance") << QStringLiteral("color-scheme")
               << QVariant::fromValue(QDBusVariant(scheme));
        bus().send(signal);
    }
    static QDBusConnection bus() {
        return QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("portal"));
    }
public Q_SLOTS:
    QDBusVariant ReadOne(const QString&, const QString&) { return QDBusVariant(scheme); }
};

// The items of a menu (and of its submenus) without an access key, or with
// one another item of the same menu has; hidden and disabled items aside.
QStringList accessKeyFaults(const QList<QAction*>& items) {
    QStringList faults;
    QMap<QChar, QString> keys;
    for (QAction* item : items) {
        if (item->isSeparator() || !item->isVisible() || !item->isEnabled()) {
            continue;
        }
        const QString text = QString(item->text()).replace(QLatin1String("&&"), QString());
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        const QChar key = at >= 0 ? text.at(at + 1).toLower() : QChar();
        if (key.isNull()) {
            faults << item->text() + QStringLiteral(": no key");
        } else if (keys.contains(key)) {
            faults << item->text() + QStringLiteral(": the key of ") + keys[key];
        }
        keys[key] = item->text();
        if (item->menu()) {
            faults << accessKeyFaults(item->menu()->actions());
        }
    }
    return faults;
}

QString plain(const QString& html) {
    QTextDocument document;
    document.setHtml(html);
    return document.toPlainText();
}

// Across the middle of the area and inside it, with room above for a title bar.
bool centredOn(const QRect& frame, const QRect& area) {
    const QPointF offset = QRectF(frame).center() - QRectF(area).center();
    return qAbs(offset.x()) <= 0.5 && offset.y() >= 0 && offset.y() <= 20 && area.contains(frame);
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private:
    FixtureServer m_server;
    QStringList m_services;
    Recorder m_recorder;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<Application> m_delegate;

    static Settings& settings() { return TestSupport::context().settings(); }
    void open() {
        m_window = std::make_unique<MainWindow>(TestSupport::context());
        m_delegate = std::make_unique<Application>(TestSupport::context(), m_window.get());
    }
    // A cover shown in the pane, with its file.
    bool showCover() {
        const QString base = m_server.origin() + QStringLiteral("/image/thumb/Music/shown");
        CoverItem item;
        item.artistName = QStringLiteral("A");
        item.collectionName = QStringLiteral("B");
        item.entity = QStringLiteral("music");
        item.standardResolutionUrl = QUrl(base + "/600x600bb.jpg");
        m_window->coverPane()->showItem(item);
        return QTest::qWaitFor(
            [&] { return !m_window->coverPane()->session()->temporaryFile().isEmpty(); }, 10000);
    }
    QStringList shareTitles() const {
        QStringList titles;
        for (QAction* action : m_delegate->shareMenu()->actions()) {
            titles.append(QString(action->text()).remove(QRegularExpression("&(?!&)")));
        }
        return titles;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_server.start());
        AppContext::Doubles doubles;
        doubles.clipboard = &m_recorder;
        doubles.desktop = &m_recorder;
        doubles.mail = &m_recorder;
        doubles.sharing = [this](const QList<QUrl>&) {
            QList<SharingServicePtr> services;
            for (const QString& title : std::as_const(m_services)) {
                services.append(std::make_shared<FakeService>(title));
            }
            return services;
        };
        TestSupport::context(std::move(doubles));
    }
    void init() {
        TestSupport::resetHome();
        TestSupport::useServer(m_server);
        m_recorder.opened.clear();
        m_services = {QStringLiteral("Image Viewer"), QStringLiteral("Email")};
        SaveDialog::setAskerForTesting(
            [](QWidget*, const QString&, std::function<void(std::optional<QString>)> done) {
                done(std::nullopt);
            });
    }
    void cleanup() {
        m_delegate.reset();
        m_window.reset();
    }

    void startUpAndTheFrame() {
        TestSupport::context().settingsStore().setInteger(QStringLiteral("LAUNCHCOUNT"), 12);
        open();
        QVERIFY(!TestSupport::context().settingsStore().contains(QStringLiteral("LAUNCHCOUNT")));
        QVERIFY(!m_delegate->shareMenuItem()->isEnabled());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QTRY_COMPARE(QApplication::focusWidget(), m_window->searchPane()->searchField());
        QTRY_COMPARE(m_window->geometry().size(), QSize(700, 525));
        QVERIFY(centredOn(m_window->geometry(), m_window->screen()->availableGeometry()));

        const QRect moved(30, 50, 720, 520);
        m_window->setGeometry(moved);
        auto* splitter = m_window->findChild<QSplitter*>();
        splitter->setSizes({280, 440});
        Q_EMIT splitter->splitterMoved(280, 1);
        m_window->close(); // saves at once
        cleanup();
        open();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QTest::qWait(50);
        QCOMPARE(m_window->geometry(), moved);
        QCOMPARE(m_window->findChild<QSplitter*>()->sizes().value(0), 280);
        // Once shown, a wider window widens the list too.
        QTest::qWait(600);
        m_window->resize(moved.width() + 300, moved.height());
        QTRY_VERIFY(m_window->findChild<QSplitter*>()->sizes().value(0) > 320);
        m_window->findChild<QAction*>(QStringLiteral("restoreWindowToDefaultSize"))->trigger();
        QTRY_COMPARE(m_window->geometry().size(), QSize(700, 525));
        QVERIFY(centredOn(m_window->geometry(), m_window->screen()->availableGeometry()));
    }

    // A saved frame from another screen or scale is fitted into this one:
    // moved first, shrunk only where it is larger.
    void framesFitTheScreen_data() {
        TestSupport::columns<QRect, QRect>("frame", "fitted");
        using TestSupport::row;
        row("inside", QRect(50, 10, 600, 400), QRect(50, 10, 600, 400));
        row("above the top (2x)", QRect(0, -76, 700, 525), QRect(0, 0, 700, 450));
        row("off to the right", QRect(1200, 50, 700, 300), QRect(0, 50, 700, 300));
        row("on a screen left of it", QRect(-900, 20, 600, 400), QRect(0, 20, 600, 400));
        row("larger both ways", QRect(-10, -10, 2000, 1200), QRect(0, 0, 700, 450));
    }
    void framesFitTheScreen() {
        QFETCH(QRect, frame);
        QFETCH(QRect, fitted);
        QCOMPARE(MainWindow::fittedFrame(frame, QRect(0, 0, 700, 450)), fitted);
    }

    // The menu bar holds the very cover actions of the pane, which follow it.
    void menuBarHoldsTheCoverActions() {
        open();
        CoverActions* actions = m_window->coverPane()->actions();
        auto menu = [&](const char* name) {
            return m_window->findChild<QMenu*>(QLatin1String(name))->actions();
        };
        QCOMPARE(menu("fileMenu").mid(0, 4), actions->saveActions());
        QCOMPARE(menu("editMenu").mid(0, 3), actions->copyActions());
        QCOMPARE(menu("viewMenu"), actions->viewActions());
        QVERIFY(!actions->action(CoverAction::SaveCoverAs)->isEnabled());
        QVERIFY(!m_delegate->shareMenuItem()->isEnabled());
        QVERIFY(showCover());
        for (QAction* item :
             actions->saveActions() + actions->viewActions() + actions->copyActions()) {
            // Those for an album of the library stay away without one.
            QCOMPARE(item->isEnabled(), item->isVisible());
        }
        QCOMPARE(actions->action(CoverAction::ViewCoverListing)->text(),
                 QStringLiteral("View Cover &Listing in Music"));
        QVERIFY(m_delegate->shareMenuItem()->isEnabled());
        QCOMPARE(shareTitles(), m_services);
        // Every item of every menu can be reached by a key of its own, those
        // for a library album among them.
        AlbumFolder album;
        album.path = QStringLiteral("/music/A/B");
        album.audioFiles = {"/music/A/B/01.mp3"};
        m_window->coverPane()->setAlbumTarget(album, {});
        QVERIFY(actions->action(CoverAction::SaveIntoAlbumFolder)->isVisible());
        std::unique_ptr<QMenu> context(m_window->coverPane()->buildContextMenu());
        QCOMPARE(accessKeyFaults(m_window->menuBar()->actions()) +
                     accessKeyFaults(context->actions()),
                 QStringList());
        m_window->coverPane()->setAlbumTarget(std::nullopt, {});

        m_window->coverPane()->removeCover();
        QVERIFY(!actions->action(CoverAction::CopyCoverTitleToClipboard)->isEnabled());
        QVERIFY(!m_delegate->shareMenuItem()->isEnabled());
        QVERIFY(shareTitles().isEmpty());
    }

    void shortcuts_data() {
        TestSupport::columns<QKeySequence, int>("keys", "action");
        using TestSupport::row;
        row("Ctrl+S", QKeySequence(QStringLiteral("Ctrl+S")), int(CoverAction::SaveCoverAs));
        row("Ctrl+Shift+S", QKeySequence(QStringLiteral("Ctrl+Shift+S")),
            int(CoverAction::SaveCoverToDownloads));
        row("Ctrl+C", QKeySequence(QStringLiteral("Ctrl+C")),
            int(CoverAction::CopyCoverImageToClipboard));
        row("Ctrl+Shift+C", QKeySequence(QStringLiteral("Ctrl+Shift+C")),
            int(CoverAction::CopyCoverUrlToClipboard));
        row("Ctrl+Alt+C", QKeySequence(QStringLiteral("Ctrl+Alt+C")),
            int(CoverAction::CopyCoverTitleToClipboard));
    }
    void shortcuts() {
        QFETCH(QKeySequence, keys);
        QFETCH(int, action);
        open();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QVERIFY(showCover());
        QWidget* table = m_window->findChild<QWidget*>(QStringLiteral("tableView"));
        table->setFocus();
        QList<QSignalSpy*> spies;
        CoverActions* actions = m_window->coverPane()->actions();
        for (int which = 0; which < kCoverActionCount; ++which) {
            spies.append(new QSignalSpy(actions->action(CoverAction(which)), &QAction::triggered));
        }
        QTest::keySequence(table, keys);
        for (int which = 0; which < kCoverActionCount; ++which) {
            QCOMPARE(spies[which]->count(), which == action ? 1 : 0);
        }
        qDeleteAll(spies);
    }

    void keysThatMoveAndClose() {
        open();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_window->findChild<QWidget*>(QStringLiteral("tableView"))->setFocus();
        QTest::keySequence(m_window.get(), QKeySequence(QKeySequence::Find));
        QVERIFY(m_window->searchPane()->searchField()->hasFocus());
        m_delegate->showPreferences();
        // Preferences: its content's size, on the screen below a title bar's room.
        QWidget* preferences = m_delegate->preferences();
        QCOMPARE(preferences->size(), preferences->sizeHint());
        const QRect screen = preferences->screen()->availableGeometry();
        QVERIFY(m_window->usableArea(screen).contains(preferences->geometry()));
        QApplication::setActiveWindow(preferences);
        QTest::keyClick(preferences, Qt::Key_Escape);
        m_delegate->showDonation();
        QApplication::setActiveWindow(m_delegate->donation());
        QTest::keySequence(m_delegate->donation(), QKeySequence(QStringLiteral("Ctrl+W")));
        QTRY_VERIFY(!m_delegate->preferences() && !m_delegate->donation());
    }

    // A fill from the window: the albums listed before Start, a run stopped
    // and continued, then an album it could not settle searched by hand and
    // its cover saved into the album's folder from the cover pane. Each row
    // keeps what this window did to it, and so does the summary.
    void fillingAFolderAndSearchingByHand() {
        const QString music = TestSupport::homeFolder().filePath(QStringLiteral("Music"));
        for (const char* folder :
             {"The Beatles/Abbey Road", "Taylor Swift/Speak Now", "Taylor Swift/Red", "Had/One"}) {
            QDir().mkpath(music + '/' + folder);
            QFile(music + '/' + folder + "/01.mp3").open(QIODevice::WriteOnly); // no tags
        }
        QFile(music + "/Had/One/art.jpg").open(QIODevice::WriteOnly);
        settings().setValue(Settings::media, QStringLiteral("Movies"));
        open();
        FillOptions options;
        options.root = QFile::encodeName(music);
        options.intervalMs = 300;
        FillWindow* fill = m_delegate->showFillWindow(options);
        FillTable* table = fill->table();
        const auto status = [table](int row) {
            return table->text(row, FillReportModel::StatusColumn);
        };
        // Listed before Start; what counts as covered follows the cover name.
        QVERIFY(fill->windowTitle().endsWith(QStringLiteral("— Music")));
        QVERIFY(m_window->findChild<QMenu*>("windowMenu")
                    ->actions()
                    .last()
                    ->text()
                    .endsWith(fill->windowTitle()));
        QTRY_COMPARE(table->model()->rowCount(), 4);
        QCOMPARE(status(0), QStringLiteral("Waiting…"));
        auto* name = fill->findChild<QLineEdit*>();
        name->setText(QStringLiteral("art.jpg"));
        Q_EMIT name->editingFinished();
        QTRY_COMPARE(status(0), QStringLiteral("Already had a cover"));
        // Sized for ten rows and every column; Return starts, the list has no focus.
        fill->resize(fill->sizeHint());
        QTRY_VERIFY(table->viewport()->height() >= 10 * table->rowHeight(0));
        QVERIFY(!table->horizontalScrollBar()->isVisible());
        QVERIFY(!table->hasFocus());
        QTest::keyClick(fill->focusWidget(), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(status(1).startsWith(QStringLiteral("Saved")) ||
                                     status(3).startsWith(QStringLiteral("Saved")),
                                 20000);
        fill->runButton()->click(); // Stop (or Start Again, when all was done already)
        QTRY_VERIFY(!fill->isRunning());
        fill->runButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(fill->runButton()->text(), QStringLiteral("Start Again"), 20000);
        QCOMPARE(table->model()->rowCount(), 4); // in the order of their folders
        QCOMPARE(status(0), QStringLiteral("Already had a cover"));
        QCOMPARE(status(1), QStringLiteral("Saved as “art.jpg”"));
        QCOMPARE(status(2), QStringLiteral("Not in the catalogue"));
        QCOMPARE(status(3), QStringLiteral("Saved as “art.jpg”"));
        QVERIFY(QFileInfo::exists(music + "/The Beatles/Abbey Road/art.jpg"));
        QTRY_VERIFY(!table->model()
                         ->index(3, FillReportModel::CoverColumn)
                         .data(Qt::DecorationRole)
                         .isNull());
        auto* summary = fill->findChild<QLabel*>(QStringLiteral("state"));
        QCOMPARE(summary->text(),
                 QStringLiteral("Done: 2 saved, 1 already had a cover, 1 without a confident "
                                "match, 0 failed."));

        table->selectRow(1);
        QVERIFY(!fill->searchButton()->isEnabled());
        table->selectRow(2);
        fill->searchButton()->click();
        SearchPane* search = m_window->searchPane();
        QCOMPARE(search->searchField()->text(), QStringLiteral("Taylor Swift Speak Now"));
        QCOMPARE(search->mediaPicker()->currentText(), QStringLiteral("Music"));
        CoverActions* actions = m_window->coverPane()->actions();
        QAction* saveInto = actions->action(CoverAction::SaveIntoAlbumFolder);
        QVERIFY(saveInto->isVisible());
        AlbumBanner* banner = m_window->coverPane()->albumBanner();
        QVERIFY(banner->isVisibleTo(m_window.get()));
        QCOMPARE(
            banner->title(),
            QStringLiteral("Finding the cover for Speak Now (~/Music/Taylor Swift/Speak Now)"));
        // The user widens the search; the album stays the one the cover is for.
        search->searchField()->setText(QStringLiteral("Taylor Swift"));
        QTest::keyClick(search->searchField(), Qt::Key_Return);
        QTRY_VERIFY(!search->results().items().isEmpty());
        search->tableView()->selectRow(0);
        QTRY_VERIFY_WITH_TIMEOUT(saveInto->isEnabled(), 10000);
        QSignalSpy saved(m_window->coverPane(), &CoverPane::saveFinished);
        saveInto->trigger();
        QVERIFY(saved.wait());
        QCOMPARE(saved.first().first().toString(), music + "/Taylor Swift/Speak Now/art.jpg");
        QCOMPARE(status(2), QStringLiteral("Saved as “art.jpg”"));
        QCOMPARE(banner->outcome(), QStringLiteral("Saved “art.jpg” into Speak Now."));
        QCOMPARE(table->text(2, FillReportModel::FoundByColumn), QStringLiteral("by hand"));
        QTRY_VERIFY(!table->model()
                         ->index(2, FillReportModel::CoverColumn)
                         .data(Qt::DecorationRole)
                         .isNull());
        QVERIFY(summary->text().startsWith(QStringLiteral("Done: 3 saved, 1 already had a cover")));
        // A plain search is no longer for the album.
        search->searchForTerm(QStringLiteral("x"));
        QVERIFY(!saveInto->isVisible() && !banner->isVisibleTo(m_window.get()));
    }

    // An album the matcher will not decide alone shows its candidates; the
    // keyboard chooses one, and its cover is saved into the album's folder.
    void choosingACandidateByKeyboard() {
        const QString music = TestSupport::homeFolder().filePath(QStringLiteral("Music"));
        const QString album = music + "/Nirvana/Greatest Hits";
        QDir().mkpath(album);
        QFile(album + "/01.mp3").open(QIODevice::WriteOnly); // named by its folders
        open();
        FillOptions options;
        options.root = QFile::encodeName(music);
        options.intervalMs = 50;
        FillWindow* fill = m_delegate->showFillWindow(options);
        FillTable* table = fill->table();
        QTRY_COMPARE(table->model()->rowCount(), 1);
        fill->runButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(
            table->text(0, FillReportModel::StatusColumn).startsWith(QStringLiteral("Ambiguous")),
            20000);
        // In another window, it is remembered with its candidates: none is asked for.
        QTRY_COMPARE(fill->runButton()->text(), QStringLiteral("Start Again"));
        fill->close();
        m_server.resetCounts();
        fill = m_delegate->showFillWindow(options);
        table = fill->table();
        QTRY_COMPARE(table->model()->rowCount(), 1);
        fill->runButton()->click();
        QTRY_VERIFY(
            table->text(0, FillReportModel::StatusColumn).startsWith(QStringLiteral("Ambiguous")));
        QCOMPARE(m_server.requestCount("/search") + m_server.requestCount("/lookup"), 0);
        CandidateStrip* strip = fill->candidateStrip();
        QVERIFY(!strip->isVisible());
        table->selectRow(0);
        QTRY_VERIFY(strip->isVisible());
        QCOMPARE(strip->count(), 2);
        QVERIFY(strip->item(1)->data(Qt::AccessibleTextRole).toString().contains("Nirvana"));
        strip->setFocus();
        QTest::keyClick(strip, Qt::Key_Right);
        const qint64 second = strip->candidates().at(1).collectionId();
        QTest::keyClick(strip, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(
            table->text(0, FillReportModel::StatusColumn).startsWith(QStringLiteral("Saved")),
            20000);
        QVERIFY(QFileInfo::exists(album + "/cover.jpg"));
        QCOMPARE(table->text(0, FillReportModel::FoundByColumn), QStringLiteral("by hand"));
        QCOMPARE(table->reports()->row(0)->report->match->collectionId(), second);
        QVERIFY(!strip->isVisible()); // no longer ambiguous
    }

    // Music dropped from a file manager: a picture gets a hint, one album is
    // searched for, several open the Fill window.
    void droppingMusic() {
        const QString music = TestSupport::homeFolder().filePath(QStringLiteral("Music"));
        for (const char* folder : {"The Beatles/Abbey Road", "Taylor Swift/Red"}) {
            QDir().mkpath(music + '/' + folder);
            QFile(music + '/' + folder + "/01.mp3").open(QIODevice::WriteOnly);
        }
        QFile(music + "/cover.jpg").open(QIODevice::WriteOnly);
        open();
        const auto drop = [this](const QStringList& paths) {
            QMimeData data;
            QList<QUrl> urls;
            for (const QString& path : paths) {
                urls << QUrl::fromLocalFile(path);
            }
            data.setUrls(urls);
            QSignalSpy opened(m_delegate.get(), &Application::musicOpened);
            QWidget* field = m_window->searchPane()->searchField();
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(field, &enter);
            QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(field, &event);
            return enter.isAccepted() && event.isAccepted() && opened.wait();
        };
        QVERIFY(drop({music + "/cover.jpg"}));
        QVERIFY(m_window->searchPane()->listMessage().startsWith("Pictures are not searched"));
        QVERIFY(m_window->searchPane()->searchField()->text().isEmpty());

        QVERIFY(drop({music + "/The Beatles/Abbey Road"}));
        QCOMPARE(m_window->searchPane()->searchField()->text(),
                 QStringLiteral("The Beatles Abbey Road"));
        QVERIFY(m_window->coverPane()->actions()->action(CoverAction::EmbedIntoFiles)->isVisible());

        QVERIFY(drop({music + "/The Beatles/Abbey Road/01.mp3", music + "/Taylor Swift"}));
        auto* fill = m_window->findChild<FillWindow*>();
        QVERIFY(fill && fill->isVisible());
        fill->runButton()->click();
        QTRY_COMPARE(fill->table()->model()->rowCount(), 2);
    }

    // A later start hands its files to the first one, over D-Bus.
    void aSecondStartBringsTheFirstForward() {
        if (!QDBusConnection::sessionBus().isConnected()) {
            QSKIP("no session bus (ctest runs this suite under dbus-run-session)");
        }
        SingleInstance first;
        QVERIFY(first.registerService());
        QSignalSpy activated(&first, &SingleInstance::activated);
        QSignalSpy opened(&first, &SingleInstance::opened);
        const QString folder = TestSupport::homeFolder().path();
        for (const QStringList& arguments :
             {QStringList{}, QStringList{folder, "https://example.org/a"}}) {
            QProcess second;
            second.start(QStringLiteral(SLEEVANTA_APP), arguments);
            QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 20000);
            QCOMPARE(second.exitStatus(), QProcess::NormalExit);
            QCOMPARE(second.exitCode(), 0);
        }
        QCOMPARE(activated.count(), 2);
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.first().at(0).value<QList<QByteArray>>(),
                 QList<QByteArray>{QFile::encodeName(folder)});
        QCOMPARE(opened.first().at(1).toStringList(), QStringList{"https://example.org/a"});
    }

    // The window is dark when the desktop prefers it, from the start and live.
    void followsTheDesktopColourScheme() {
        if (!QDBusConnection::sessionBus().isConnected()) {
            QSKIP("no session bus (ctest runs this suite under dbus-run-session)");
        }
        FakeSettingsPortal portal;
        QDBusConnection bus = FakeSettingsPortal::bus();
        QVERIFY(bus.registerObject("/org/freedesktop/portal/desktop", &portal,
                                   QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService("org.freedesktop.portal.Desktop"));
        const QPalette light = QApplication::palette();
        {
            ColorScheme scheme;
            QTRY_VERIFY(ColorScheme::isDark(QApplication::palette()));
            for (const auto& [value, dark] :
                 {std::pair{2u, false}, {1u, true}, {0u, false}, {7u, false}, {1u, true}}) {
                portal.change(value);
                QTRY_COMPARE(ColorScheme::isDark(QApplication::palette()), dark);
            }
        }
        QApplication::setPalette(light);
        bus.unregisterService("org.freedesktop.portal.Desktop");
        bus.unregisterObject("/org/freedesktop/portal/desktop");
    }

    void cacheReadoutAndClearing() {
        open();
        QCOMPARE(Application::cacheReadoutText(2, 1047039), QStringLiteral("2 Images: 1,022 kB"));
        QCOMPARE(Application::cacheReadoutText(2, 1048575), QStringLiteral("2 Images: 1 MB"));
        QCOMPARE(Application::cacheReadoutText(1, 17804820), QStringLiteral("1 Images: 17 MB"));
        TestSupport::context().cache().storeImageDataToDiskSync(QByteArray(2048, 'x'),
                                                                QStringLiteral("a"));
        QSignalSpy refreshed(m_delegate.get(), &Application::cacheReadoutRefreshed);
        m_delegate->refreshCacheReadout();
        QVERIFY(refreshed.wait());
        QCOMPARE(m_delegate->cacheCountSize()->text(), QStringLiteral("1 Images: 2 kB"));
        m_delegate->clearCache();
        QVERIFY(refreshed.wait());
        QCOMPARE(m_delegate->cacheCountSize()->text(), QStringLiteral("0 Images: 0 bytes"));
    }

    void termination_data() {
        TestSupport::columns<qint64, quint64>("clearOnExit", "remaining");
        TestSupport::row("keep the cache", qint64(0), quint64(2)); // "k" and the cover
        TestSupport::row("clear the cache", qint64(1), quint64(0));
    }
    void termination() {
        QFETCH(qint64, clearOnExit);
        QFETCH(quint64, remaining);
        open();
        settings().setValue(Settings::clearCacheOnExit, clearOnExit == 1);
        TestSupport::context().cache().storeImageDataToDiskSync(QByteArray(100, 'x'),
                                                                QStringLiteral("k"));
        QVERIFY(showCover());
        const QString file = m_window->coverPane()->session()->temporaryFile().toLocalFile();
        QVERIFY(QFileInfo::exists(file));
        m_delegate->cleanUpAtQuit();
        QVERIFY(!QFileInfo::exists(TemporaryCoverFile::processFolder()));
        QCOMPARE(TestSupport::context().cache().diskUsageSync().count, remaining);
    }

    void preferencesShowTheirExample() {
        settings().setValue(Settings::media, QStringLiteral("Music"));
        PreferencesDialog preferences(settings());
        auto* picker = preferences.findChild<QComboBox*>(QStringLiteral("defaultNameFormatPicker"));
        auto* example = preferences.findChild<QTextEdit*>(QStringLiteral("exampleText"));
        auto* hint = preferences.findChild<QLabel*>(QStringLiteral("nameFormatHint"));
        auto check = [&](const char* name) {
            preferences.findChild<QCheckBox*>(QLatin1String(name))->click();
        };
        QCOMPARE(example->toPlainText(), QStringLiteral("folder.jpg"));
        picker->setCurrentIndex(3);
        Q_EMIT picker->activated(3);
        check("replaceCharactersButton");
        QCOMPARE(example->toPlainText(),
                 QStringLiteral("Iron Maiden - The Book of Souls_ The Live Chapter.jpg"));
        check("replaceSpacesButton");
        check("lowercaseCharactersButton");
        QCOMPARE(example->toPlainText(),
                 QStringLiteral("iron_maiden_-_the_book_of_souls__the_live_chapter.jpg"));
        check("clearCacheOnExitButton");
        QVERIFY(settings().value(Settings::clearCacheOnExit));
        const QString both = QStringLiteral("%{artistName} - %{collectionName}.jpg");
        QCOMPARE(settings().value(Settings::nameFormat), both);

        // Typed: what cannot name a file is hinted at and not stored.
        QTest::keyClicks(picker->lineEdit(), QStringLiteral("x"));
        QVERIFY(!hint->isHidden() &&
                hint->text().endsWith(QStringLiteral("The name stays “%1”.").arg(both)));
        QCOMPARE(settings().value(Settings::nameFormat), both);
        Q_EMIT picker->lineEdit()->editingFinished();
        QVERIFY(hint->isHidden());
        QCOMPARE(picker->currentText(), both);

        // Movies take Music's format until they have their own.
        auto* media = preferences.findChild<QComboBox*>(QStringLiteral("nameFormatMediaPicker"));
        auto* same = preferences.findChild<QCheckBox*>(QStringLiteral("sameAsMusicButton"));
        media->setCurrentText(QStringLiteral("Movies"));
        Q_EMIT media->activated(media->currentIndex());
        QVERIFY(same->isChecked() && !picker->isEnabled());
        same->click();
        picker->lineEdit()->clear();
        QTest::keyClicks(picker->lineEdit(), QStringLiteral("%{collectionName} ("));
        auto* year = preferences.findChild<QPushButton*>(QStringLiteral("insertTokenButton"))
                         ->menu()
                         ->actions()
                         .at(2);
        year->trigger();
        QTest::keyClicks(picker->lineEdit(), QStringLiteral(").jpg"));
        QCOMPARE(settings().nameFormatFor(QStringLiteral("Movies")),
                 QStringLiteral("%{collectionName} (%{year}).jpg"));
        QCOMPARE(example->toPlainText(), QStringLiteral("the_dark_knight_(2008).jpg")); // a film
        QCOMPARE(settings().value(Settings::nameFormat), both);
    }

    void donationAndMail() {
        DonateDialog donate(TestSupport::context());
        const QString normal = plain(donate.addressTitle());
        donate.findChild<QPushButton*>(QStringLiteral("copyAddressButton"))->click();
        QVERIFY(normal.endsWith(m_recorder.text) && !m_recorder.text.isEmpty());
        QCOMPARE(plain(donate.addressTitle()),
                 QStringLiteral("Copied ") + m_recorder.text + QStringLiteral(" to Clipboard."));
        QTRY_COMPARE_WITH_TIMEOUT(plain(donate.addressTitle()), normal, 3000);
        auto* payPal = donate.findChild<QPushButton*>(QStringLiteral("donateWithPayPalButton"));
        payPal->click();
        QCOMPARE(m_recorder.opened.value(0).toEncoded(),
                 DonateDialog::donationUrlText(TestSupport::context().origins()));
        QVERIFY(
            m_recorder.opened.value(0).toEncoded().contains("&item_name=Sleevanta%20Donation&"));

        // Links and mail that nothing opens say so where the user looks.
        m_recorder.opens = false;
        payPal->click();
        QCOMPARE(payPal->text(), QStringLiteral("Couldn't open the link"));
        open();
        QCoreApplication::setApplicationVersion(QStringLiteral("1.2.0"));
        m_window->findChild<QAction*>(QStringLiteral("reportBug"))->trigger();
        QCOMPARE(m_recorder.subject, QStringLiteral("Sleevanta — Bug Report"));
        QVERIFY(m_recorder.body.startsWith(QStringLiteral("\n\nUsing Sleevanta 1.2.0 (")));
        QCOMPARE(m_window->coverPane()->titleLabel()->text(),
                 QStringLiteral("Couldn't open the link"));
        m_recorder.opens = true;
    }
};

SLEEVANTA_TEST_MAIN(TestMainWindow, QApplication)
#include "tst_mainwindow.moc"

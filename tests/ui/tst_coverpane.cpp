// The cover pane in a window: what it shows of its session, the cover actions
// as one table, what they do, the save dialog and the context menu.
#include "TestSupport.h"
#include "catalogue/CoverItem.h"
#include "imaging/ImageGeometry.h"
#include "platform/Clipboard.h"
#include "platform/DesktopServices.h"
#include "platform/SharingServices.h"
#include "settings/Settings.h"
#include "ui/common/ShareMenu.h"
#include "ui/cover/CoverActions.h"
#include "ui/cover/CoverPane.h"
#include "ui/cover/DraggableImageView.h"
#include "ui/cover/SaveDialog.h"

#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using Fault = FixtureServer::Fault;

namespace {

struct RecordingPasteboard : Clipboard {
    QUrl file;
    QByteArray bytes;
    QString text;
    void writeFile(const QUrl& url, const QByteArray& jpeg) override {
        file = url;
        bytes = jpeg;
    }
    void addPng(const QUrl&, const QByteArray&, const QByteArray& bytes) override { png = bytes; }
    void writeText(const QString& value) override { text = value; }
    QByteArray png;
};

struct RecordingWorkspace : DesktopServices {
    QList<QUrl> opened;
    QStringList launched;
    QStringList unhandled; // schemes nothing opens
    bool openUrl(const QUrl& url) override {
        opened.append(url);
        return !unhandled.contains(url.scheme());
    }
    bool launchApplication(const QString& id, const QList<QUrl>&) override {
        launched.append(id);
        return true;
    }
};

struct FakeService : SharingService {
    QString name;
    QList<QUrl> performed;
    explicit FakeService(QString title) : name(std::move(title)) {}
    QString title() const override { return name; }
    QString iconName() const override { return {}; }
    void perform(const QList<QUrl>& items, const Failed&) override { performed += items; }
};

} // namespace

class TestCoverPane : public QObject {
    Q_OBJECT
private:
    FixtureServer m_server;
    RecordingPasteboard m_pasteboard;
    RecordingWorkspace m_workspace;
    std::shared_ptr<FakeService> m_photos = std::make_shared<FakeService>("Add to Photos");
    QList<bool> m_shareable; // what the pane told the menu bar
    std::unique_ptr<QWidget> m_window;
    CoverPane* m_pane = nullptr;

    CoverItem selection(const QString& name) {
        const QString base = m_server.origin() + QStringLiteral("/image/thumb/Music/") + name;
        CoverItem item;
        item.artistName = QStringLiteral("Artist");
        item.collectionName = name;
        item.collectionId = qHash(name) % 100000;
        item.entity = QStringLiteral("music");
        item.standardResolutionUrl = QUrl(base + QStringLiteral("/600x600bb.jpg"));
        item.thumbnailUrl = QUrl(base + QStringLiteral("/200x200bb.jpg"));
        item.listingUrl = QUrl(QStringLiteral("musics://music.example/us/album/1"));
        item.webBrowserUrl = QUrl(QStringLiteral("https://music.example/us/album/1"));
        return item;
    }
    void select(const CoverItem& item) { m_pane->showItem(item); }
    bool shows(const QString& name) {
        m_shareable.clear();
        select(selection(name));
        return QTest::qWaitFor([&] { return m_shareable.contains(true); }, 10000);
    }
    QString saved(const std::function<void()>& save) {
        QSignalSpy finished(m_pane, &CoverPane::saveFinished);
        save();
        return finished.count() > 0 || finished.wait(10000) ? finished.first().first().toString()
                                                            : "<no answer>";
    }
    QMessageBox* alert() const { return TestSupport::shownAlert(m_window.get()); }
    static QStringList titles(const QList<QAction*>& actions) {
        QStringList list;
        for (QAction* action : actions) {
            if (!action->isVisible()) {
                continue; // those for a library album, without one
            }
            list << (action->isSeparator()
                         ? QStringLiteral("-")
                         : action->text() + QLatin1Char('|') + action->shortcut().toString());
        }
        return list;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_server.start());
        AppContext::Doubles doubles;
        doubles.clipboard = &m_pasteboard;
        doubles.desktop = &m_workspace;
        doubles.sharing = [this](const QList<QUrl>&) {
            return QList<SharingServicePtr>{std::make_shared<FakeService>("Image Viewer"),
                                            m_photos};
        };
        TestSupport::context(std::move(doubles));
    }
    void init() {
        TestSupport::resetHome();
        TestSupport::useServer(m_server);
        m_pasteboard = RecordingPasteboard();
        m_workspace = RecordingWorkspace();
        m_window = std::make_unique<QWidget>();
        m_window->resize(420, 560);
        m_pane = new CoverPane(TestSupport::context(), m_window.get());
        connect(m_pane, &CoverPane::shareableChanged, this,
                [this](bool shareable) { m_shareable.append(shareable); });
        (new QVBoxLayout(m_window.get()))->addWidget(m_pane);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_shareable.clear();
    }
    void cleanup() {
        SaveDialog::setAskerForTesting({});
        m_window.reset();
        QCoreApplication::processEvents();
    }

    void paneShowsWhatTheSessionSays() {
        QVERIFY(!m_pane->saveCoverButton()->isEnabled());
        FixtureServer::FaultConfig drip = TestSupport::fault(Fault::SlowDrip);
        drip.dripIntervalMs = 40;
        drip.onlyPathsContaining = "600x600";
        m_server.setFault(FixtureServer::Scope::Artwork, drip);
        select(selection(QStringLiteral("first")));
        // The thumbnail stands in, marked, the progress below it, and it can be stopped.
        QTRY_VERIFY(m_pane->coverImageView()->showsPreview());
        QCOMPARE(m_pane->coverFactsLabel()->text(), QStringLiteral("Preview"));
        QCOMPARE(m_pane->titleLabel()->text(), QStringLiteral("first — Artist"));
        QTRY_VERIFY(m_pane->progressTextField()->text().contains(QStringLiteral(" MB · ")));
        QVERIFY(m_pane->progressIndicator()->isVisible() && m_pane->cancelButton()->isVisible());
        QVERIFY(!m_pane->saveCoverButton()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(m_shareable.contains(true), 10000);
        QVERIFY(!m_pane->progressIndicator()->isVisible() && !m_pane->cancelButton()->isVisible());
        QVERIFY(m_pane->saveCoverButton()->isEnabled() &&
                !m_pane->coverImageView()->showsPreview());
        QVERIFY(
            m_pane->coverFactsLabel()->text().startsWith(QStringLiteral("600 × 600 · JPEG · ")));
        QCOMPARE(m_pane->coverImageView()->coverFile(), m_pane->session()->temporaryFile());

        // A failure says why, over the preview, and offers to try again.
        FixtureServer::FaultConfig missing = TestSupport::fault(Fault::Status, 404);
        missing.exceptPathsContaining = "200x200";
        m_server.setFault(FixtureServer::Scope::Artwork, missing);
        select(selection(QStringLiteral("missing")));
        QTRY_VERIFY(m_pane->tryAgainButton()->isVisible());
        QCOMPARE(m_pane->failureLabel()->text(),
                 QStringLiteral("Couldn't download the cover (the server answered 404)."));
        QTRY_VERIFY(m_pane->coverImageView()->showsPreview());
        QVERIFY(!m_pane->saveCoverButton()->isEnabled());
        m_server.clearFaults();
        m_pane->tryAgainButton()->click();
        QTRY_VERIFY(m_pane->saveCoverButton()->isEnabled());
        QVERIFY(!m_pane->failureLabel()->isVisible());

        m_shareable.clear();
        m_pane->removeCover();
        QVERIFY(!m_pane->coverImageView()->hasImage() && m_pane->titleLabel()->text().isEmpty());
        QCOMPARE(m_shareable, QList<bool>{false});
    }

    // The buttons' menus and the context menu show the very actions of the table.
    void actionsAreOneTable() {
        CoverActions* actions = m_pane->actions();
        QCOMPARE(m_pane->viewButton()->menu()->actions(), actions->viewActions());
        QCOMPARE(m_pane->copyButton()->menu()->actions(), actions->copyActions());
        QVERIFY(!m_pane->buildContextMenu()); // no cover, no file
        QVERIFY(!actions->action(CoverAction::SaveCoverAs)->isEnabled());
        QVERIFY(shows(QStringLiteral("menu")));
        std::unique_ptr<QMenu> menu(m_pane->buildContextMenu());
        QCOMPARE(titles(menu->actions()),
                 (QStringList{"Save Cover &As…|Ctrl+S", "Save Cover to “&Downloads”|Ctrl+Shift+S",
                              "-", "View Cover in &Browser|", "View Cover &Listing in Music|", "-",
                              "Copy Cover &Image to Clipboard|Ctrl+C",
                              "Copy Cover &URL to Clipboard|Ctrl+Shift+C",
                              "Copy Cover &Title to Clipboard|Ctrl+Alt+C", "-", "S&hare|"}));
        for (QAction* action : menu->actions()) {
            QCOMPARE(action->isEnabled(), action->isVisible());
        }
        // An action does what it says, wherever it is chosen.
        QSignalSpy saved(m_pane, &CoverPane::saveFinished);
        menu->actions().at(1)->trigger();
        QTRY_COMPARE(saved.count(), 1);
        QVERIFY(saved.first().first().toString().startsWith(TestSupport::downloads()));
        // "Add to Photos" launches the photos application, then shares.
        menu->actions().last()->menu()->actions().at(1)->trigger();
        QCOMPARE(m_workspace.launched, QStringList{SharingServices::photosDesktopId});
        QTRY_COMPARE(m_photos->performed.size(), 1);
    }

    void actionsOnTheShownCover() {
        m_pane->saveCover(); // nothing shown yet
        QTRY_VERIFY(alert());
        QCOMPARE(alert()->informativeText(), CoverPane::noCover());
        alert()->close();
        QVERIFY(shows(QStringLiteral("acts")));
        const QUrl artwork = m_pane->session()->artworkUrl();
        m_pane->viewButton()->menu()->actions().at(0)->trigger();
        QTRY_COMPARE(m_workspace.opened, QList<QUrl>{artwork});
        // Only web links are opened: the web listing for the store's own link,
        // else a word why not.
        m_pane->viewCoverListing();
        const QUrl web("https://music.example/us/album/1");
        QCOMPARE(m_workspace.opened, (QList<QUrl>{artwork, web}));
        m_workspace.unhandled << "https";
        m_pane->viewCoverListing();
        QCOMPARE(m_pane->titleLabel()->text(), CoverPane::linkNotOpened());
        m_pane->copyCoverImage();
        QTRY_COMPARE(m_pasteboard.file, m_pane->session()->temporaryFile());
        QVERIFY(ImageCodec::isJpeg(m_pasteboard.bytes));
        QTRY_VERIFY(m_pasteboard.png.startsWith("\x89PNG"));
        QCOMPARE(ImageCodec::decode(m_pasteboard.png).size(), QSize(600, 600)); // the original's
        m_pane->copyButton()->menu()->actions().at(1)->trigger();
        QTRY_COMPARE(m_pasteboard.text, artwork.toString());
        m_pane->copyCoverTitle();
        QCOMPARE(m_pasteboard.text, QStringLiteral("acts — Artist")); // not the status shown
        QCOMPARE(m_pane->titleLabel()->text(), CoverPane::copiedTitle());
        QTRY_COMPARE_WITH_TIMEOUT(m_pane->titleLabel()->text(), QStringLiteral("acts — Artist"),
                                  3000);

        std::unique_ptr<QMimeData> data(Clipboard::mimeDataForFile(
            QUrl::fromLocalFile(QStringLiteral("/t/A b.jpg")), "\xFF\xD8\xFF", "\x89PNG"));
        QCOMPARE(data->data(QStringLiteral("image/png")), QByteArray("\x89PNG"));
        QCOMPARE(data->data(QStringLiteral("x-special/gnome-copied-files")),
                 QByteArray("copy\nfile:///t/A%20b.jpg"));
        QCOMPARE(data->text(), QStringLiteral("/t/A b.jpg"));
        QCOMPARE(data->data(QStringLiteral("image/jpeg")), QByteArray("\xFF\xD8\xFF"));
    }

    void savingConfirmsOrSaysWhy() {
        QVERIFY(shows(QStringLiteral("dialog")));
        QString suggested;
        std::optional<QString> answer = TestSupport::downloads() + QStringLiteral("/chosen.jpeg");
        SaveDialog::setAskerForTesting(
            [&](QWidget*, const QString& name, std::function<void(std::optional<QString>)> done) {
                suggested = name;
                done(answer);
            });
        QCOMPARE(saved([&] { m_pane->actions()->action(CoverAction::SaveCoverAs)->trigger(); }),
                 *answer);
        QCOMPARE(suggested, QStringLiteral("folder.jpg"));
        QCOMPARE(m_pane->titleLabel()->text(), QStringLiteral("Saved “chosen.jpeg” to Downloads."));
        // Show in Folder shows the saved file's folder, or says why it cannot.
        const SharingServices desktops(m_workspace); // the desktop's own services
        const auto showInFolder = [this, &desktops] {
            QMenu menu;
            ShareMenu::addServices(&menu, m_pane->session(), desktops, m_pane->statusSaying());
            menu.actions().last()->trigger();
        };
        showInFolder();
        QTRY_COMPARE(m_workspace.opened.value(0), QUrl::fromLocalFile(TestSupport::downloads()));
        m_workspace.unhandled << "file";
        showInFolder();
        QTRY_VERIFY(m_pane->titleLabel()->text().startsWith(SharingServices::noFileManager()));
        QVERIFY(m_pane->titleLabel()->text().contains(TestSupport::downloads()));
        // The dialog opens where it saved last.
        QVERIFY(QDir(TestSupport::downloads()).mkdir(QStringLiteral("covers")));
        answer = TestSupport::downloads() + QStringLiteral("/covers/bare");
        QCOMPARE(saved([&] { m_pane->saveCover(); }), *answer + QStringLiteral(".jpg"));
        std::unique_ptr<QFileDialog> dialog(SaveDialog::make(
            nullptr, "x.jpg", TestSupport::context().settings().value(Settings::lastSaveFolder)));
        QCOMPARE(dialog->directory().absolutePath(), TestSupport::downloads() + "/covers");
        QCOMPARE(dialog->nameFilters(), QStringList{"JPEG image (*.jpg *.jpeg)"});
        answer.reset(); // cancelled
        QCOMPARE(saved([&] { m_pane->saveCover(); }), QString());

        // A failed save is a warning that names the file and the reason.
        answer = TestSupport::downloads() + QStringLiteral("/missing/chosen.jpeg");
        QCOMPARE(saved([&] { m_pane->saveCover(); }), QString());
        QTRY_VERIFY(alert());
        QCOMPARE(alert()->icon(), QMessageBox::Warning);
        QCOMPARE(alert()->informativeText(),
                 QStringLiteral("Couldn't save “chosen.jpeg” in %1/missing: the folder does not "
                                "exist.")
                     .arg(TestSupport::downloads()));
    }

    void dragThresholdAndPlacement_data() {
        TestSupport::columns<QSizeF, QRect>("image", "shown");
        TestSupport::row("smaller", QSizeF(100, 80), QRect(100, 110, 100, 80));
        TestSupport::row("wider", QSizeF(600, 300), QRect(0, 75, 300, 150));
        TestSupport::row("narrower but taller", QSizeF(200, 400), QRect(75, 0, 150, 300));
        TestSupport::row("rounding", QSizeF(600, 602), QRect(1, 0, 299, 300));
    }
    void dragThresholdAndPlacement() {
        QFETCH(QSizeF, image);
        QFETCH(QRect, shown);
        QCOMPARE(ImageGeometry::displayedImageRect(QSizeF(300, 300), image), shown);
        QVERIFY(!DraggableImageView::passesDragThreshold(QPointF(10, 10), QPointF(12.9, 10)));
        QVERIFY(DraggableImageView::passesDragThreshold(QPointF(10, 10), QPointF(13, 10)));
    }
};

SLEEVANTA_TEST_MAIN(TestCoverPane, QApplication)
#include "tst_coverpane.moc"

// The cover pane in a window: downloading and showing a cover, its states,
// the temporary file, the actions, saving and the context menu.
#include "CoverSelection.h"
#include "CoverViewController.h"
#include "DefaultsHelper.h"
#include "DraggableImageView.h"
#include "ImageGeometry.h"
#include "NotificationNames.h"
#include "Pasteboard.h"
#include "SharingServices.h"
#include "TestSupport.h"
#include "Workspace.h"

#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using Fault = FixtureServer::Fault;

namespace {

struct RecordingPasteboard : Pasteboard {
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

struct RecordingWorkspace : Workspace {
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
    void perform(const QList<QUrl>& items) override { performed += items; }
};

} // namespace

class TestCoverPane : public QObject {
    Q_OBJECT
private:
    FixtureServer m_server;
    RecordingPasteboard m_pasteboard;
    RecordingWorkspace m_workspace;
    std::shared_ptr<FakeService> m_photos = std::make_shared<FakeService>("Add to Photos");
    QStringList m_posted;
    std::unique_ptr<QWidget> m_window;
    CoverViewController* m_pane = nullptr;

    QVariantMap selection(const QString& name, const QString& artist = QStringLiteral("Artist")) {
        const QString base = m_server.origin() + QStringLiteral("/image/thumb/Music/") + name;
        using namespace CoverSelection;
        return {
            {Keys::artistName, QVariant::fromValue(AttributedText::thin(artist))},
            {Keys::collectionName, QVariant::fromValue(AttributedText::semibold(name + '\n'))},
            {Keys::collectionId, QVariant::fromValue<qint64>(qHash(name) % 100000)},
            {Keys::entityString, QStringLiteral("music")},
            {Keys::standardResolutionUrl, QUrl(base + QStringLiteral("/600x600bb.jpg"))},
            {Keys::highResolutionUrl,
             QUrl(m_server.origin() + QStringLiteral("/us/r1000/0/Music/%1-s900.jpg").arg(name))},
            {Keys::iTunesUrl, QUrl(QStringLiteral("musics://music.example/us/album/1"))},
            {Keys::webBrowserUrl, QUrl(QStringLiteral("https://music.example/us/album/1"))},
        };
    }
    void select(const QVariantMap& info) {
        NotificationCenter::defaultCenter().post(NotificationNames::downloadCover, info);
    }
    bool shows(const QString& name) {
        m_posted.clear();
        select(selection(name));
        return QTest::qWaitFor(
            [&] {
                return m_pane->state() == CoverViewController::State::Shown &&
                       m_posted.contains(NotificationNames::enableMenuItems);
            },
            10000);
    }
    QString temporaryFile() const {
        return UserDefaults::standard().urlForKey(SettingsKeys::temporaryFileUrl).toLocalFile();
    }
    QString saved(const std::function<void()>& save) {
        QSignalSpy finished(m_pane, &CoverViewController::saveFinished);
        save();
        return finished.wait(10000) ? finished.first().first().toString() : "<no answer>";
    }
    QString alertText() const {
        QMessageBox* alert = TestSupport::shownAlert(m_window.get());
        return alert ? alert->informativeText() : QString();
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_server.start());
        Pasteboard::setGeneralForTesting(&m_pasteboard);
        Workspace::setSharedForTesting(&m_workspace);
        SharingServices::setProviderForTesting([this](const QList<QUrl>&) {
            return QList<SharingServicePtr>{std::make_shared<FakeService>("Image Viewer"),
                                            m_photos};
        });
    }
    void init() {
        TestSupport::resetHome();
        TestSupport::useServer(m_server);
        m_pasteboard = RecordingPasteboard();
        m_workspace = RecordingWorkspace();
        m_posted.clear();
        for (const QString& name :
             {NotificationNames::enableMenuItems, NotificationNames::disableMenuItems,
              NotificationNames::coverActionHelper}) {
            NotificationCenter::defaultCenter().addObserver(
                name, this, [this](const Notification& n) { m_posted.append(n.name); });
        }
        m_window = std::make_unique<QWidget>();
        m_window->resize(420, 560);
        m_pane = new CoverViewController(m_window.get());
        (new QVBoxLayout(m_window.get()))->addWidget(m_pane);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_posted.clear();
    }
    void cleanup() {
        CoverViewController::setSaveDialogForTesting({});
        m_window.reset();
        QCoreApplication::processEvents();
    }

    void downloadShowRemoveAndShowFromDisk() {
        FixtureServer::FaultConfig drip = TestSupport::fault(Fault::SlowDrip);
        drip.dripIntervalMs = 40;
        m_server.setFault(FixtureServer::Scope::Artwork, drip);
        select(selection(QStringLiteral("first")));
        QTRY_COMPARE(m_pane->state(), CoverViewController::State::Loading);
        QVERIFY(m_pane->progressIndicator()->isVisible());
        QVERIFY(!m_pane->saveCoverButton()->isEnabled());
        QTRY_VERIFY(m_pane->progressTextField()->text().startsWith("Downloading Cover\n0."));
        QTRY_VERIFY_WITH_TIMEOUT(m_posted.contains(NotificationNames::enableMenuItems), 10000);
        QCOMPARE(m_pane->state(), CoverViewController::State::Shown);
        QVERIFY(!m_pane->progressIndicator()->isVisible());
        QVERIFY(m_pane->saveCoverButton()->isEnabled());
        QCOMPARE(m_pane->titleLabel()->text(), QStringLiteral("Artist - first"));
        QCOMPARE(m_pane->coverImageView()->coverImage().pictureSize(), QSize(600, 600));
        QCOMPARE(m_pane->coverImageView()->image().size(),
                 m_pane->coverImageView()->wantedImageSize());
        QVERIFY(
            m_pane->coverFactsLabel()->text().startsWith(QStringLiteral("600 × 600 · JPEG · ")));
        QVERIFY(QFileInfo::exists(temporaryFile()));
        QCOMPARE(m_pane->viewButton()->menu()->actions().last()->text(),
                 QStringLiteral("View Cover Listing in Music"));
        QCOMPARE(m_pane->shareButton()->menu()->actions().size(), 2);

        m_posted.clear();
        m_pane->removeCover();
        QCOMPARE(m_pane->state(), CoverViewController::State::Idle);
        QVERIFY(!m_pane->coverImageView()->hasImage() && !m_pane->artworkUrl);
        QVERIFY(m_pane->titleLabel()->text().isEmpty());
        QCOMPARE(m_posted, QStringList{NotificationNames::disableMenuItems});
        ImageDataHelper::waitForPendingWork();
        QVERIFY(!UserDefaults::standard().contains(SettingsKeys::temporaryFileUrl));

        // Again with the memory cleared: from disk, without a request or progress.
        m_server.clearFaults();
        ImageCache::shared().clearMemory();
        QVERIFY(shows(QStringLiteral("first")));
        QVERIFY(!m_pane->progressIndicator()->isVisible());
        QCOMPARE(m_server.requestCount(), 1);

        UserDefaults::standard().setInteger(SettingsKeys::quality, 1);
        QVERIFY(shows(QStringLiteral("high")));
        QCOMPARE(m_pane->coverImageView()->coverImage().pictureSize(), QSize(900, 900));
        QVERIFY(m_pane->coverFactsLabel()->text().endsWith(QStringLiteral(" · original")));
    }

    void coverIsDecodedForTheView() {
        UserDefaults::standard().setInteger(SettingsKeys::quality, 1);
        QVERIFY(shows(QStringLiteral("large-s2400")));
        ImageView* view = m_pane->coverImageView();
        const QSize small = view->image().size();
        QCOMPARE(small, view->wantedImageSize());
        QVERIFY(small.width() < 1000 && small.width() >= view->displayedImageRect().width());
        // A larger window: decoded again at the new size, the old image shown meanwhile.
        QSignalSpy redecoded(view, &ImageView::imageRedecoded);
        m_window->resize(1200, 1400);
        QVERIFY(view->hasImage());
        QVERIFY(redecoded.wait(5000));
        QCOMPARE(view->image().size(), view->wantedImageSize());
        QVERIFY(view->image().width() > small.width());
        QCOMPARE(view->coverImage().encodedData.size(),
                 TestSupport::readFile(
                     ImageCache::shared().diskPathForKey(m_pane->artworkUrl->toString()))
                     .size());
    }

    void failedDownloadsSaySo_data() {
        TestSupport::columns<int, int, QString>("fault", "status", "reason");
        TestSupport::row("404", int(Fault::Status), 404, "the server answered 404");
        TestSupport::row("no image", int(Fault::Garbage), 0, "the data is not an image");
        TestSupport::row("stalled", int(Fault::Delay), 0, "the transfer stalled");
    }
    void failedDownloadsSaySo() {
        QFETCH(int, fault);
        QFETCH(int, status);
        QFETCH(QString, reason);
        FixtureServer::FaultConfig config = TestSupport::fault(Fault(fault), status);
        config.delayMs = 3000;
        m_server.setFault(FixtureServer::Scope::Artwork, config);
        NetworkAccess::setTransferTimeout(300);
        select(selection(QStringLiteral("missing")));
        if (Fault(fault) == Fault::Delay) {
            // Something to read from the first moment, and a bar that moves.
            QTRY_COMPARE(m_pane->state(), CoverViewController::State::Loading);
            QCOMPARE(m_pane->progressTextField()->text(), QStringLiteral("Requesting Cover…"));
            QCOMPARE(m_pane->progressIndicator()->maximum(), 0);
        }
        QTRY_COMPARE(m_pane->state(), CoverViewController::State::Failed);
        QCOMPARE(m_pane->failureLabel()->text(),
                 QStringLiteral("Couldn't download the cover (%1).").arg(reason));
        QVERIFY(m_pane->tryAgainButton()->isVisible() && !m_pane->progressIndicator()->isVisible());
        QVERIFY(!m_pane->coverImageView()->hasImage() && !m_pane->saveCoverButton()->isEnabled());
        QVERIFY(!m_posted.contains(NotificationNames::enableMenuItems));
        QCOMPARE(ImageCache::shared().diskUsageSync().count, quint64(0));

        m_server.clearFaults();
        m_pane->tryAgainButton()->click();
        QTRY_VERIFY(m_posted.contains(NotificationNames::enableMenuItems));
        QVERIFY(!m_pane->tryAgainButton()->isVisible() && !m_pane->failureLabel()->isVisible());
        QCOMPARE(m_pane->titleLabel()->text(), QStringLiteral("Artist - missing"));
    }

    void damagedCacheEntryIsDownloadedAgain() {
        const QVariantMap info = selection(QStringLiteral("damaged"));
        const QString key = CoverSelection::url(info, CoverSelection::Keys::standardResolutionUrl)
                                ->toString(QUrl::FullyEncoded);
        QVERIFY(ImageCache::shared().storeImageDataToDiskSync("<html>not an image", key));
        QVERIFY(shows(QStringLiteral("damaged")));
        QCOMPARE(m_server.requestCount(), 1);
    }

    void temporaryFileIsAlwaysTheShownCovers() {
        QVERIFY(shows(QStringLiteral("one")));
        QAction* copyImage = m_pane->copyButton()->menu()->actions().first();
        QVERIFY(copyImage->isEnabled());
        m_posted.clear();
        select(selection(QStringLiteral("two")));
        QVERIFY(!UserDefaults::standard().contains(SettingsKeys::temporaryFileUrl));
        QVERIFY(!copyImage->isEnabled());
        QTRY_VERIFY(m_posted.contains(NotificationNames::enableMenuItems));
        QCOMPARE(QFileInfo(temporaryFile()).dir().dirName(),
                 QString::number(qHash(QStringLiteral("two")) % 100000));
        QVERIFY(copyImage->isEnabled());
    }

    void newerSelectionsWin() {
        QVERIFY(shows(QStringLiteral("newer")));
        FixtureServer::FaultConfig slow = TestSupport::fault(Fault::Delay);
        slow.delayMs = 500;
        m_server.setFault(FixtureServer::Scope::Artwork, slow);
        select(selection(QStringLiteral("older")));
        QTRY_COMPARE(m_pane->state(), CoverViewController::State::Loading);
        QVERIFY(shows(QStringLiteral("newer")));
        QTest::qWait(800);
        QCOMPARE(m_pane->titleLabel()->text(), QStringLiteral("Artist - newer"));
        select(selection(QStringLiteral("newer"))); // in memory, shown on the next turn
        select(selection(QStringLiteral("later"))); // but a download came first
        QTest::qWait(100);
        QCOMPARE(m_pane->state(), CoverViewController::State::Loading);
        QVERIFY(m_pane->artworkUrl->path().contains(QStringLiteral("/later/")));

        // A cover removed before its temporary file is written never enables the menus.
        m_posted.clear();
        connect(
            m_pane->coverImageView(), &ImageView::imageChanged, m_pane,
            [this] {
                if (m_pane->coverImageView()->hasImage()) {
                    m_pane->removeCover();
                }
            },
            Qt::QueuedConnection);
        select(selection(QStringLiteral("removed")));
        QTRY_COMPARE(m_posted.size(), 2);
        ImageDataHelper::waitForPendingWork();
        QTest::qWait(100);
        QCOMPARE(m_posted, (QStringList{NotificationNames::disableMenuItems,
                                        NotificationNames::disableMenuItems}));
        QVERIFY(!UserDefaults::standard().contains(SettingsKeys::temporaryFileUrl));
    }

    void actionsNeedACover_data() {
        TestSupport::columns<qint64>("action");
        for (qint64 action : {0, 1, 2, 3, 4, 5, 7, -1}) {
            TestSupport::row(qPrintable(QString::number(action)), action);
        }
    }
    void actionsNeedACover() {
        QFETCH(qint64, action);
        NotificationCenter::defaultCenter().post(
            NotificationNames::coverActionHelper,
            {{NotificationNames::selectedCoverActionKey, QVariant::fromValue(action)}});
        QTRY_COMPARE(alertText(), QStringLiteral("It seems something went wrong in:\n"
                                                 "Sleevanta.CoverViewController.coverAction("
                                                 "actionNumber:)"));
    }

    void actionsOnTheShownCover() {
        QVERIFY(shows(QStringLiteral("acts")));
        m_pane->viewButton()->menu()->actions().at(0)->trigger();
        m_pane->coverAction(3);
        // A store link nothing opens: the web listing instead, else a word why not.
        m_workspace.unhandled = QStringList{"musics"};
        m_pane->coverAction(3);
        const QUrl store("musics://music.example/us/album/1");
        const QUrl web("https://music.example/us/album/1");
        QCOMPARE(m_workspace.opened, (QList<QUrl>{*m_pane->artworkUrl, store, store, web}));
        m_workspace.unhandled << "https";
        m_pane->coverAction(3);
        QCOMPARE(m_pane->titleLabel()->text(), CoverViewController::linkNotOpened);
        m_pane->coverAction(4);
        QTRY_COMPARE(m_pasteboard.file.toLocalFile(), temporaryFile());
        QVERIFY(ImageCodec::isJpeg(m_pasteboard.bytes));
        QTRY_VERIFY(m_pasteboard.png.startsWith("\x89PNG"));
        QCOMPARE(ImageCodec::decode(m_pasteboard.png).size(), QSize(600, 600)); // the original's
        m_pane->copyButton()->menu()->actions().at(1)->trigger();
        QCOMPARE(m_pasteboard.text, m_pane->artworkUrl->toString());
        m_pane->coverAction(6); // the title, not the status shown in its place
        QCOMPARE(m_pasteboard.text, QStringLiteral("Artist - acts"));
        QCOMPARE(m_pane->titleLabel()->text(), CoverViewController::copiedTitle);
        QTRY_COMPARE_WITH_TIMEOUT(m_pane->titleLabel()->text(), QStringLiteral("Artist - acts"),
                                  3000);

        std::unique_ptr<QMimeData> data(Pasteboard::mimeDataForFile(
            QUrl::fromLocalFile(QStringLiteral("/t/A b.jpg")), "\xFF\xD8\xFF", "\x89PNG"));
        QCOMPARE(data->data(QStringLiteral("image/png")), QByteArray("\x89PNG"));
        QCOMPARE(data->data(QStringLiteral("x-special/gnome-copied-files")),
                 QByteArray("copy\nfile:///t/A%20b.jpg"));
        QCOMPARE(data->text(), QStringLiteral("/t/A b.jpg"));
        QCOMPARE(data->data(QStringLiteral("image/jpeg")), QByteArray("\xFF\xD8\xFF"));
    }

    void saveToDownloads() {
        UserDefaults::standard().setString(SettingsKeys::defaultNameFormat,
                                           QStringLiteral("%{artistName} - %{collectionName}"));
        QVERIFY(shows(QStringLiteral("saved")));
        const QString first = saved([&] { m_pane->coverAction(1); });
        QCOMPARE(first, TestSupport::downloads() + QStringLiteral("/Artist - saved"));
        QCOMPARE(QFileInfo(saved([&] { m_pane->saveCoverToDownloads(); })).fileName(),
                 QStringLiteral("Artist - saved-1."));
        QCOMPARE(m_pane->titleLabel()->text(),
                 QStringLiteral("Saved “Artist - saved-1.” to Downloads."));
        QCOMPARE(TestSupport::readFile(first), m_pane->coverImageView()->coverImage().encodedData);

        // A file where the Downloads folder should be.
        QVERIFY(QDir(TestSupport::downloads()).removeRecursively());
        QFile blocker(TestSupport::downloads());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        m_posted.clear();
        QCOMPARE(saved([&] { m_pane->saveCoverToDownloads(); }), QString());
        QTRY_VERIFY(alertText().endsWith(QStringLiteral(".saveCoverToDownloads()")));
        QCOMPARE(m_posted, QStringList{NotificationNames::disableMenuItems});
        QCOMPARE(QFileInfo(TestSupport::downloads()).size(), 0);
    }

    void saveAs() {
        QVERIFY(shows(QStringLiteral("dialog")));
        QString suggested;
        std::optional<QString> answer = TestSupport::downloads() + QStringLiteral("/chosen.jpeg");
        CoverViewController::setSaveDialogForTesting(
            [&](QWidget*, const QString& name, std::function<void(std::optional<QString>)> done) {
                suggested = name;
                done(answer);
            });
        QCOMPARE(saved([&] { m_pane->coverAction(0); }), *answer);
        QCOMPARE(suggested, QStringLiteral("folder.jpg"));
        QVERIFY(QFileInfo::exists(*answer));
        // A bare name is a JPEG file, and the dialog opens where it saved last.
        QVERIFY(QDir(TestSupport::downloads()).mkdir(QStringLiteral("covers")));
        answer = TestSupport::downloads() + QStringLiteral("/covers/bare");
        QCOMPARE(saved([&] { m_pane->saveCover(); }), *answer + QStringLiteral(".jpg"));
        std::unique_ptr<QFileDialog> dialog(CoverViewController::makeSaveDialog(nullptr, "x.jpg"));
        QCOMPARE(dialog->directory().absolutePath(), TestSupport::downloads() + "/covers");
        QCOMPARE(dialog->nameFilters(), QStringList{"JPEG image (*.jpg *.jpeg)"});
        QCOMPARE(dialog->defaultSuffix(), QStringLiteral("jpg"));
        answer.reset(); // cancelled
        QCOMPARE(saved([&] { m_pane->saveCover(); }), QString());
        answer = TestSupport::downloads() + QStringLiteral("/missing/chosen.jpeg");
        QCOMPARE(saved([&] { m_pane->saveCover(); }), QString());
        QTRY_VERIFY(alertText().endsWith(QStringLiteral(".saveCover()")));
    }

    void contextMenuAndDragging() {
        QVERIFY(!m_pane->coverImageView()->buildContextMenu()); // no temporary file
        QVERIFY(shows(QStringLiteral("menu")));
        std::unique_ptr<QMenu> menu(m_pane->coverImageView()->buildContextMenu());
        QStringList titles;
        for (QAction* action : menu->actions()) {
            titles.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        QCOMPARE(titles,
                 (QStringList{"Save Cover As…", "Save Cover to “Downloads”", "-",
                              "View Cover in Browser", "View Cover Listing in iTunes", "-",
                              "Copy Cover Image to Clipboard", "Copy Cover URL to Clipboard",
                              "Copy Cover Title to Clipboard", "-", "Share"}));
        m_posted.clear();
        menu->actions().at(1)->trigger();
        QCOMPARE(m_posted, QStringList{NotificationNames::coverActionHelper});
        // "Add to Photos" launches the photos application, then shares.
        menu->actions().last()->menu()->actions().at(1)->trigger();
        QCOMPARE(m_workspace.launched, QStringList{SharingServices::photosDesktopId});
        QTRY_COMPARE(m_photos->performed.size(), 1);

        QVERIFY(!DraggableImageView::passesDragThreshold(QPointF(10, 10), QPointF(12.9, 10)));
        QVERIFY(DraggableImageView::passesDragThreshold(QPointF(10, 10), QPointF(13, 10)));
    }

    void imageIsCentredAndNeverEnlarged_data() {
        TestSupport::columns<QSizeF, QRect>("image", "shown");
        TestSupport::row("smaller", QSizeF(100, 80), QRect(100, 110, 100, 80));
        TestSupport::row("wider", QSizeF(600, 300), QRect(0, 75, 300, 150));
        TestSupport::row("narrower but taller", QSizeF(200, 400), QRect(75, 0, 150, 300));
        TestSupport::row("rounding", QSizeF(600, 602), QRect(1, 0, 299, 300));
    }
    void imageIsCentredAndNeverEnlarged() {
        QFETCH(QSizeF, image);
        QFETCH(QRect, shown);
        QCOMPARE(ImageGeometry::displayedImageRect(QSizeF(300, 300), image), shown);
    }
};

SLEEVANTA_TEST_MAIN(TestCoverPane, QApplication)
#include "tst_coverpane.moc"

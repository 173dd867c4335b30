#include "CoverSelection.h"
#include "CoverViewController.h"
#include "DefaultsHelper.h"
#include "DraggableImageView.h"
#include "FixtureServer.h"
#include "ImageCache.h"
#include "ImageDataHelper.h"
#include "ImageService.h"
#include "NotificationNames.h"
#include "Pasteboard.h"
#include "SharingServices.h"
#include "UserDefaults.h"
#include "Workspace.h"

#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

using Fault = FixtureServer::Fault;

namespace {

struct RecordingPasteboard : Pasteboard {
    QUrl file;
    QByteArray bytes;
    std::optional<QString> text;
    void writeFile(const QUrl& url, const QByteArray& jpeg) override {
        file = url;
        bytes = jpeg;
        text.reset();
    }
    void writeText(const QString& value) override {
        text = value;
        file.clear();
    }
};

struct RecordingWorkspace : Workspace {
    QList<QUrl> opened;
    QStringList launched;
    bool openUrl(const QUrl& url) override {
        opened.append(url);
        return true;
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
    QList<std::shared_ptr<FakeService>> m_services;
    QStringList m_posted;
    std::unique_ptr<QWidget> m_window;
    CoverViewController* m_pane = nullptr;
    QString m_downloads;

    QVariantMap selection(const QString& name, const QString& entity = QStringLiteral("music"),
                          const QString& artist = QStringLiteral("The Artist")) const {
        const QString base = m_server.origin() + QStringLiteral("/image/thumb/Music/") + name;
        return {
            {CoverSelection::Keys::artistName, QVariant::fromValue(AttributedText::thin(artist))},
            {CoverSelection::Keys::collectionName,
             QVariant::fromValue(AttributedText::semibold(name + QLatin1Char('\n')))},
            {CoverSelection::Keys::collectionId, QVariant::fromValue<qint64>(qHash(name) % 100000)},
            {CoverSelection::Keys::entityString, entity},
            {CoverSelection::Keys::standardResolutionUrl,
             QUrl(base + QStringLiteral("/600x600bb.jpg"))},
            {CoverSelection::Keys::highResolutionUrl,
             QUrl(m_server.origin() + QStringLiteral("/us/r1000/0/Music/") + name +
                  QStringLiteral("-s900.jpg"))},
            {CoverSelection::Keys::iTunesUrl,
             QUrl(QStringLiteral("musics://music.example/us/album/1"))},
            {CoverSelection::Keys::webBrowserUrl,
             QUrl(QStringLiteral("https://music.example/us/album/1"))},
        };
    }
    void select(const QVariantMap& info) {
        NotificationCenter::defaultCenter().post(NotificationNames::downloadCover, info);
    }
    bool waitForShown() {
        return QTest::qWaitFor(
            [&] {
                return m_pane->state() == CoverViewController::State::Shown &&
                       m_posted.contains(NotificationNames::enableMenuItems);
            },
            10000);
    }
    QMessageBox* shownAlert() const {
        for (QMessageBox* box : m_window->findChildren<QMessageBox*>()) {
            if (box->isVisible()) {
                return box;
            }
        }
        return nullptr;
    }
    void closeAlerts() {
        for (QMessageBox* box : m_window->findChildren<QMessageBox*>()) {
            box->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QString savedPath(std::function<void()> save) {
        QSignalSpy finished(m_pane, &CoverViewController::saveFinished);
        save();
        if (!finished.wait(10000) && finished.isEmpty()) {
            return QStringLiteral("<no answer>");
        }
        return finished.first().first().toString();
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_server.start());
        Pasteboard::setGeneralForTesting(&m_pasteboard);
        Workspace::setSharedForTesting(&m_workspace);
        SharingServices::setProviderForTesting([this](const QList<QUrl>&) {
            QList<SharingServicePtr> list;
            for (const auto& s : m_services) {
                list.append(s);
            }
            return list;
        });
        m_downloads = QDir::homePath() + QStringLiteral("/Downloads");
    }

    void init() {
        m_server.clearFaults();
        m_server.resetCounts();
        ImageCache::shared().clearMemory();
        ImageCache::shared().clearDiskSync();
        QDir(m_downloads).removeRecursively();
        QVERIFY(QDir().mkpath(m_downloads));
        for (const QString& key : {SettingsKeys::quality, SettingsKeys::defaultNameFormat,
                                   SettingsKeys::replaceCharacters}) {
            UserDefaults::standard().removeObject(key);
        }
        m_services = {std::make_shared<FakeService>(QStringLiteral("Image Viewer")),
                      std::make_shared<FakeService>(QStringLiteral("Add to Photos"))};
        m_pasteboard = RecordingPasteboard();
        m_workspace = RecordingWorkspace();
        NotificationCenter::defaultCenter().reset();
        m_posted.clear();
        for (const QString& name :
             {NotificationNames::enableMenuItems, NotificationNames::disableMenuItems,
              NotificationNames::coverActionHelper}) {
            NotificationCenter::defaultCenter().addObserver(
                name, this, [this](const Notification& n) { m_posted.append(n.name); });
        }
        m_window = std::make_unique<QWidget>();
        m_window->resize(420, 560);
        auto* layout = new QVBoxLayout(m_window.get());
        m_pane = new CoverViewController(m_window.get());
        layout->addWidget(m_pane);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_posted.clear();
    }

    void cleanup() {
        CoverViewController::setSaveDialogForTesting({});
        m_window.reset();
        ImageDataHelper::waitForPendingWork();
        QCoreApplication::processEvents();
    }

    void progressText_data() {
        QTest::addColumn<qint64>("expected");
        QTest::addColumn<QString>("text");
        QTest::newRow("1.5 MB") << qint64(1572864) << "Downloading Cover\n1.50 MB";
        QTest::newRow("1,048 bytes") << qint64(1048) << "Requesting Cover…";
        QTest::newRow("1,049 bytes") << qint64(1049) << "Downloading Cover\n0.00 MB";
        QTest::newRow("zero") << qint64(0) << "Requesting Cover…";
        QTest::newRow("unknown") << qint64(-1) << "Requesting Cover…";
    }
    void progressText() {
        QFETCH(qint64, expected);
        QFETCH(QString, text);
        QCOMPARE(CoverViewController::progressText(expected), text);
        m_pane->progressIndicator()->setValue(7);
        m_pane->updateProgress(expected / 2, expected);
        QCOMPARE(m_pane->progressTextField()->text(), text);
        // An unknown size leaves the bar where it was.
        QCOMPARE(m_pane->progressIndicator()->value(), expected >= 1049 ? 50 : 7);
    }

    void titleRules_data() {
        QTest::addColumn<QString>("entity");
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QString>("collection");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("listing");
        QTest::newRow("movie") << "movie"
                               << "South"
                               << "North"
                               << "North"
                               << "";
        QTest::newRow("music") << "music"
                               << "South"
                               << "North"
                               << "South - North"
                               << "View Cover Listing in Music";
        QTest::newRow("software without name") << "software"
                                               << "South" << QString() << ""
                                               << "View Cover Listing in App Store";
        QTest::newRow("line feed") << "ebook"
                                   << "A"
                                   << "B\n"
                                   << "A - B"
                                   << "View Cover Listing in Books";
        QTest::newRow("audiobook") << "audiobook"
                                   << "A"
                                   << "B"
                                   << "A - B"
                                   << "View Cover Listing in Books";
        QTest::newRow("podcast") << "podcast"
                                 << "A"
                                 << "B"
                                 << "A - B"
                                 << "View Cover Listing in Podcasts";
        QTest::newRow("tv season") << "tvSeason"
                                   << "A"
                                   << "B"
                                   << "B"
                                   << "";
    }
    void titleRules() {
        QFETCH(QString, entity);
        QFETCH(QString, artist);
        QFETCH(QString, collection);
        QFETCH(QString, title);
        QFETCH(QString, listing);
        const auto optional = [](const QString& s) {
            return s.isNull() ? std::nullopt : std::optional<QString>(s);
        };
        QCOMPARE(CoverViewController::titleText(entity, artist, optional(collection)), title);
        QCOMPARE(CoverViewController::listingTitle(entity), listing);
    }

    void downloadThenCacheThenRemove() {
        FixtureServer::FaultConfig slow;
        slow.fault = Fault::SlowDrip;
        slow.dripChunk = 4096;
        slow.dripIntervalMs = 40;
        m_server.setFault(FixtureServer::Scope::Artwork, slow);
        select(selection(QStringLiteral("first")));
        QTRY_COMPARE(m_pane->state(), CoverViewController::State::Loading);
        QVERIFY(m_pane->progressIndicator()->isVisible());
        QVERIFY(!m_pane->saveCoverButton()->isEnabled());
        QTRY_VERIFY(
            m_pane->progressTextField()->text().startsWith(QStringLiteral("Downloading Cover\n")));
        QVERIFY(waitForShown());
        QVERIFY(!m_pane->progressIndicator()->isVisible());
        QVERIFY(m_pane->saveCoverButton()->isEnabled());
        QCOMPARE(m_pane->titleLabel()->text(), QStringLiteral("The Artist - first"));
        QCOMPARE(m_pane->coverImageView()->image().size(), QSize(600, 600));
        const QUrl file = UserDefaults::standard().urlForKey(SettingsKeys::temporaryFileUrl);
        QVERIFY(QFileInfo::exists(file.toLocalFile()));
        QCOMPARE(m_server.requestCount(QStringLiteral("/image/thumb")), 1);
        QCOMPARE(m_pane->viewButton()->menu()->actions().size(), 2);
        QCOMPARE(m_pane->shareButton()->menu()->actions().size(), 2);

        m_server.clearFaults();
        m_posted.clear();
        m_pane->removeCover();
        QCOMPARE(m_pane->state(), CoverViewController::State::Idle);
        QVERIFY(!m_pane->coverImageView()->hasImage());
        QVERIFY(!m_pane->artworkUrl && !m_pane->artistName && !m_pane->collectionId);
        QCOMPARE(m_posted, QStringList{NotificationNames::disableMenuItems});
        QVERIFY(m_pane->titleLabel()->text().isEmpty());
        ImageDataHelper::waitForPendingWork();
        QVERIFY(!UserDefaults::standard().contains(SettingsKeys::temporaryFileUrl));

        // Again, with the memory cleared: from disk, no request, no progress.
        ImageCache::shared().clearMemory();
        m_posted.clear();
        select(selection(QStringLiteral("first")));
        QVERIFY(m_pane->state() != CoverViewController::State::Loading);
        QVERIFY(waitForShown());
        QVERIFY(!m_pane->progressIndicator()->isVisible());
        QCOMPARE(m_server.requestCount(QStringLiteral("/image/thumb")), 1);
    }

    void qualityChoosesTheUrl() {
        UserDefaults::standard().setInteger(SettingsKeys::quality, 1);
        select(selection(QStringLiteral("high")));
        QVERIFY(waitForShown());
        QCOMPARE(m_pane->coverImageView()->image().size(), QSize(900, 900));
        QVERIFY(m_pane->artworkUrl->path().startsWith(QStringLiteral("/us/r1000/0/")));
    }

    void failedSelection() {
        select(selection(QStringLiteral("kept")));
        QVERIFY(waitForShown());
        m_posted.clear();
        QVariantMap broken = selection(QStringLiteral("broken"));
        broken.remove(CoverSelection::Keys::standardResolutionUrl);
        select(broken);
        QTRY_VERIFY(shownAlert());
        QCOMPARE(shownAlert()->informativeText(),
                 QStringLiteral("It seems something went wrong in:\n"
                                "Sleevanta.CoverViewController.downloadCover(notification:)"));
        QCOMPARE(m_posted, QStringList{NotificationNames::disableMenuItems});
        QCOMPARE(m_pane->state(), CoverViewController::State::Shown);
        QCOMPARE(*m_pane->collectionName, QStringLiteral("kept\n"));
        closeAlerts();
        select({});
        QTRY_VERIFY(shownAlert());
    }

    void supersededDownloadNeverLands() {
        // The newer cover first, so that it is in memory.
        select(selection(QStringLiteral("newer")));
        QVERIFY(waitForShown());
        FixtureServer::FaultConfig slow;
        slow.fault = Fault::Delay;
        slow.delayMs = 600;
        m_server.setFault(FixtureServer::Scope::Artwork, slow);
        select(selection(QStringLiteral("older")));
        QTRY_COMPARE(m_pane->state(), CoverViewController::State::Loading);
        select(selection(QStringLiteral("newer")));
        QVERIFY(waitForShown());
        QTest::qWait(900);
        QCOMPARE(*m_pane->collectionName, QStringLiteral("newer\n"));
        QCOMPARE(m_pane->titleLabel()->text(), QStringLiteral("The Artist - newer"));
        QCOMPARE(m_pane->state(), CoverViewController::State::Shown);
    }

    void actionsNeedTheirPrerequisites_data() {
        QTest::addColumn<qint64>("action");
        for (qint64 action : {0, 1, 2, 3, 4, 5, 7, -1}) {
            QTest::newRow(qPrintable(QString::number(action))) << action;
        }
    }
    void actionsNeedTheirPrerequisites() {
        QFETCH(qint64, action);
        NotificationCenter::defaultCenter().post(
            NotificationNames::coverActionHelper,
            {{NotificationNames::selectedCoverActionKey, QVariant::fromValue(action)}});
        QTRY_VERIFY(shownAlert());
        QCOMPARE(shownAlert()->informativeText(),
                 QStringLiteral("It seems something went wrong in:\n"
                                "Sleevanta.CoverViewController.coverAction(actionNumber:)"));
        QVERIFY(!m_posted.contains(NotificationNames::disableMenuItems));
    }

    void malformedActionNotificationsDoNothing() {
        NotificationCenter::defaultCenter().post(NotificationNames::coverActionHelper);
        NotificationCenter::defaultCenter().post(
            NotificationNames::coverActionHelper,
            {{NotificationNames::selectedCoverActionKey, QStringLiteral("5")}});
        QTest::qWait(50);
        QVERIFY(!shownAlert());
    }

    void actionsWithACover() {
        select(selection(QStringLiteral("acts")));
        QVERIFY(waitForShown());
        const QUrl file = UserDefaults::standard().urlForKey(SettingsKeys::temporaryFileUrl);

        m_pane->coverAction(2);
        m_pane->coverAction(3);
        QCOMPARE(m_workspace.opened,
                 (QList<QUrl>{*m_pane->artworkUrl,
                              QUrl(QStringLiteral("musics://music.example/us/album/1"))}));

        m_pane->coverAction(4);
        QCOMPARE(m_pasteboard.file, file);
        QVERIFY(m_pasteboard.bytes.startsWith("\xFF\xD8\xFF"));
        QCOMPARE(m_pane->titleLabel()->text(), CoverViewController::copiedImage);

        m_pane->coverAction(5);
        QCOMPARE(m_pasteboard.text.value_or(QString()), m_pane->artworkUrl->toString());

        // The title, not the status message standing in its place.
        m_pane->coverAction(6);
        QCOMPARE(m_pasteboard.text.value_or(QString()), QStringLiteral("The Artist - acts"));
        QCOMPARE(m_pane->titleLabel()->text(), CoverViewController::copiedTitle);
        // Overlapping messages end on the title, 1.5 s after the last one.
        QTRY_COMPARE_WITH_TIMEOUT(m_pane->titleLabel()->text(), QStringLiteral("The Artist - acts"),
                                  3000);
        QVERIFY(!shownAlert());
    }

    void copyTitleWithoutCover() {
        m_pane->coverAction(6);
        QCOMPARE(m_pasteboard.text, std::optional<QString>(QString()));
        QCOMPARE(m_pane->titleLabel()->text(), CoverViewController::copiedTitle);
    }

    void paneButtonsMapToActions() {
        select(selection(QStringLiteral("buttons")));
        QVERIFY(waitForShown());
        const QList<QAction*> view = m_pane->viewButton()->menu()->actions();
        QCOMPARE(view.last()->text(), QStringLiteral("View Cover Listing in Music"));
        view.last()->trigger();
        QCOMPARE(m_workspace.opened.value(0), *m_pane->iTunesUrl);
        m_pane->copyButton()->menu()->actions().at(1)->trigger();
        QCOMPARE(m_pasteboard.text.value_or(QString()), m_pane->artworkUrl->toString());
    }

    void saveToDownloadsNumbers() {
        UserDefaults::standard().setString(SettingsKeys::defaultNameFormat,
                                           QStringLiteral("%{artistName} - %{collectionName}.jpg"));
        select(selection(QStringLiteral("saved")));
        QVERIFY(waitForShown());
        QStringList names;
        for (int i = 0; i < 3; ++i) {
            names.append(QFileInfo(savedPath([&] { m_pane->coverAction(1); })).fileName());
        }
        QCOMPARE(names, (QStringList{"The Artist - saved.jpg", "The Artist - saved-1.jpg",
                                     "The Artist - saved-2.jpg"}));
        QCOMPARE(m_pane->titleLabel()->text(), CoverViewController::savedToDownloads);
        QVERIFY(QFile::remove(m_downloads + QStringLiteral("/The Artist - saved-1.jpg")));
        QCOMPARE(QFileInfo(savedPath([&] { m_pane->saveCoverToDownloads(); })).fileName(),
                 QStringLiteral("The Artist - saved-1.jpg"));
        // The bytes as downloaded: the cover was a JPEG.
        QFile saved(m_downloads + QStringLiteral("/The Artist - saved.jpg"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), m_pane->coverImageView()->coverImage().encodedData);

        // A name without an extension.
        UserDefaults::standard().setString(SettingsKeys::defaultNameFormat,
                                           QStringLiteral("%{collectionName}"));
        savedPath([&] { m_pane->saveCoverToDownloads(); });
        QCOMPARE(QFileInfo(savedPath([&] { m_pane->saveCoverToDownloads(); })).fileName(),
                 QStringLiteral("saved-1."));
    }

    void saveFailures_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("artist");
        QTest::newRow("missing sub-folder") << "%{artistName} - %{collectionName}.jpg"
                                            << "AC/DC";
        QTest::newRow("leaving the folder") << "%{artistName}/x.jpg"
                                            << "..";
    }
    void saveFailures() {
        QFETCH(QString, format);
        QFETCH(QString, artist);
        UserDefaults::standard().setString(SettingsKeys::defaultNameFormat, format);
        UserDefaults::standard().setInteger(SettingsKeys::replaceCharacters, 0);
        select(selection(QStringLiteral("fails"), QStringLiteral("music"), artist));
        QVERIFY(waitForShown());
        m_posted.clear();
        QCOMPARE(savedPath([&] { m_pane->saveCoverToDownloads(); }), QString());
        QTRY_VERIFY(shownAlert());
        QVERIFY(
            shownAlert()->informativeText().endsWith(QStringLiteral(".saveCoverToDownloads()")));
        QCOMPARE(m_posted, QStringList{NotificationNames::disableMenuItems});
        QVERIFY(QDir(m_downloads).isEmpty());
        QVERIFY(!QFileInfo::exists(QDir::homePath() + QStringLiteral("/x.jpg")));
    }

    void saveAsThroughTheDialog() {
        select(selection(QStringLiteral("dialog")));
        QVERIFY(waitForShown());
        QString suggested;
        std::optional<QString> answer = m_downloads + QStringLiteral("/chosen.jpeg");
        CoverViewController::setSaveDialogForTesting(
            [&](QWidget*, const QString& name, std::function<void(std::optional<QString>)> done) {
                suggested = name;
                done(answer);
            });
        QCOMPARE(savedPath([&] { m_pane->coverAction(0); }), *answer);
        QCOMPARE(suggested, QStringLiteral("folder.jpg"));
        QVERIFY(QFileInfo::exists(*answer));

        answer.reset(); // cancelled
        QCOMPARE(savedPath([&] { m_pane->saveCover(); }), QString());
        QVERIFY(!shownAlert());

        answer = m_downloads + QStringLiteral("/missing/chosen.jpeg");
        QCOMPARE(savedPath([&] { m_pane->saveCover(); }), QString());
        QTRY_VERIFY(shownAlert());
        QVERIFY(shownAlert()->informativeText().endsWith(QStringLiteral(".saveCover()")));
    }

    void clipboardMimeData() {
        const QUrl file = QUrl::fromLocalFile(QStringLiteral("/tmp/x/Cover A.jpg"));
        std::unique_ptr<QMimeData> data(Pasteboard::mimeDataForFile(file, "\xFF\xD8\xFFjpeg"));
        QCOMPARE(data->urls(), QList<QUrl>{file});
        QCOMPARE(data->data(QStringLiteral("text/uri-list")).trimmed(),
                 QByteArray("file:///tmp/x/Cover%20A.jpg"));
        QCOMPARE(data->data(QStringLiteral("x-special/gnome-copied-files")),
                 QByteArray("copy\nfile:///tmp/x/Cover%20A.jpg"));
        QCOMPARE(data->text(), QStringLiteral("/tmp/x/Cover A.jpg"));
        QCOMPARE(data->data(QStringLiteral("image/jpeg")), QByteArray("\xFF\xD8\xFFjpeg"));
    }

    void contextMenu() {
        QVERIFY(!m_pane->coverImageView()->buildContextMenu()); // no temporary file
        select(selection(QStringLiteral("menu")));
        QVERIFY(waitForShown());
        QMenu* menu = m_pane->coverImageView()->buildContextMenu();
        QVERIFY(menu);
        QStringList titles;
        for (QAction* action : menu->actions()) {
            titles.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        QCOMPARE(titles,
                 (QStringList{"Save Cover As…", "Save Cover to “Downloads”", "-",
                              "View Cover in Browser", "View Cover Listing in iTunes", "-",
                              "Copy Cover Image to Clipboard", "Copy Cover URL to Clipboard",
                              "Copy Cover Title to Clipboard", "-", "Share"}));
        QCOMPARE(menu->actions().at(0)->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(menu->actions().at(1)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
        QMenu* share = menu->actions().last()->menu();
        QCOMPARE(share->actions().size(), 2);

        m_posted.clear();
        QSignalSpy helper(this, &QObject::destroyed); // keeps the event loop honest
        menu->actions().at(1)->trigger();
        QCOMPARE(m_posted, QStringList{NotificationNames::coverActionHelper});

        // "Add to Photos" launches the photos application and shares afterwards.
        share->actions().at(1)->trigger();
        QCOMPARE(m_workspace.launched, QStringList{SharingServices::photosDesktopId});
        QVERIFY(m_services.at(1)->performed.isEmpty());
        QTRY_COMPARE(m_services.at(1)->performed.size(), 1);
        delete menu;
    }

    void dragThreshold_data() {
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<bool>("drags");
        QTest::newRow("2.9") << QPointF(12.9, 10) << false;
        QTest::newRow("3.0") << QPointF(13, 10) << true;
        QTest::newRow("diagonal") << QPointF(12.2, 12.2) << true;
    }
    void dragThreshold() {
        QFETCH(QPointF, to);
        QFETCH(bool, drags);
        QCOMPARE(DraggableImageView::passesDragThreshold(QPointF(10, 10), to), drags);
    }
};

QTEST_MAIN(TestCoverPane)
#include "tst_coverpane.moc"

#include "AppDelegate.h"
#include "DefaultsHelper.h"
#include "DonateViewController.h"
#include "ImageCache.h"
#include "ImageDataHelper.h"
#include "MailComposer.h"
#include "MainViewController.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "Pasteboard.h"
#include "PreferencesViewController.h"
#include "SendMailHelper.h"
#include "SharingServices.h"
#include "UserDefaults.h"
#include "Workspace.h"
#include <QPushButton>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTextDocument>
#include <QtTest>

namespace {

struct FakeService : SharingService {
    QString name;
    explicit FakeService(QString title) : name(std::move(title)) {}
    QString title() const override { return name; }
    QString iconName() const override { return {}; }
    void perform(const QList<QUrl>&) override {}
};

struct RecordingComposer : MailComposer {
    QStringList recipients;
    QString subject;
    QString body;
    void compose(const QStringList& to, const QString& s, const QString& b) override {
        recipients = to;
        subject = s;
        body = b;
    }
};

struct RecordingPasteboard : Pasteboard {
    QString text;
    void writeFile(const QUrl&, const QByteArray&) override {}
    void writeText(const QString& value) override { text = value; }
};

struct RecordingWorkspace : Workspace {
    QList<QUrl> opened;
    bool openUrl(const QUrl& url) override {
        opened.append(url);
        return true;
    }
    bool launchApplication(const QString&, const QList<QUrl>&) override { return true; }
};

// Reaches the controls of a window by their object names.
struct Child {
    QWidget* root;
    template <typename T = QWidget> T* get(const char* name) const {
        return root->findChild<T*>(QLatin1String(name));
    }
};

QString plain(const QString& html) {
    QTextDocument document;
    document.setHtml(html);
    return document.toPlainText();
}

} // namespace

class TestAppDelegate : public QObject {
    Q_OBJECT
private:
    QStringList m_serviceTitles{QStringLiteral("Image Viewer"), QStringLiteral("Email")};
    QList<qint64> m_actions;
    std::unique_ptr<MainViewController> m_window;
    std::unique_ptr<AppDelegate> m_delegate;

    void setTemporaryFile(bool present) {
        // The cover pane clears the temporary files on a worker when it appears.
        ImageDataHelper::waitForPendingWork();
        if (present) {
            UserDefaults::standard().setUrl(SettingsKeys::temporaryFileUrl,
                                            QUrl::fromLocalFile(QStringLiteral("/tmp/cover.jpg")));
        } else {
            UserDefaults::standard().removeObject(SettingsKeys::temporaryFileUrl);
        }
    }
    QStringList shareTitles() const {
        QStringList titles;
        for (QAction* action : m_delegate->shareMenu()->actions()) {
            titles.append(action->text());
        }
        return titles;
    }

private Q_SLOTS:
    void initTestCase() {
        SharingServices::setProviderForTesting([this](const QList<QUrl>&) {
            QList<SharingServicePtr> services;
            for (const QString& title : m_serviceTitles) {
                services.append(std::make_shared<FakeService>(title));
            }
            return services;
        });
    }

    void init() {
        NotificationCenter::defaultCenter().reset();
        m_actions.clear();
        NotificationCenter::defaultCenter().addObserver(
            NotificationNames::coverActionHelper, this, [this](const Notification& n) {
                m_actions.append(
                    n.userInfo.value(NotificationNames::selectedCoverActionKey).toLongLong());
            });
        m_window = std::make_unique<MainViewController>();
        m_delegate = std::make_unique<AppDelegate>(m_window.get());
    }

    void cleanup() {
        m_delegate.reset();
        m_window.reset();
    }

    void itemsFollowTheNotifications() {
        for (QAction* item : m_delegate->coverItems()) {
            QVERIFY(!item->isEnabled());
        }
        setTemporaryFile(true);
        NotificationCenter::defaultCenter().post(NotificationNames::enableMenuItems);
        for (QAction* item : m_delegate->coverItems()) {
            QVERIFY(item->isEnabled());
        }
        QVERIFY(m_delegate->shareMenuItem()->isEnabled());
        QCOMPARE(shareTitles(), m_serviceTitles);

        // Rebuilt from scratch each time.
        m_serviceTitles = {QStringLiteral("Other Viewer")};
        NotificationCenter::defaultCenter().post(NotificationNames::enableMenuItems);
        QCOMPARE(shareTitles(), m_serviceTitles);

        NotificationCenter::defaultCenter().post(NotificationNames::disableMenuItems);
        for (QAction* item : m_delegate->coverItems()) {
            QVERIFY(!item->isEnabled());
        }
        QVERIFY(!m_delegate->shareMenuItem()->isEnabled());
        QVERIFY(shareTitles().isEmpty());

        // Without a temporary file "enable" disables.
        setTemporaryFile(false);
        NotificationCenter::defaultCenter().post(NotificationNames::enableMenuItems);
        QVERIFY(!m_delegate->coverItems().first()->isEnabled());
        m_serviceTitles = {QStringLiteral("Image Viewer"), QStringLiteral("Email")};
    }

    void coverItemsPostTheirTags() {
        setTemporaryFile(true);
        NotificationCenter::defaultCenter().post(NotificationNames::enableMenuItems);
        for (QAction* item : m_delegate->coverItems()) {
            item->trigger();
        }
        QCOMPARE(m_actions, (QList<qint64>{0, 1, 2, 3, 4, 5, 6}));
    }

    void shortcutsReachTheItems_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<qint64>("action");
        QTest::newRow("Ctrl+S") << int(Qt::Key_S) << int(Qt::ControlModifier) << qint64(0);
        QTest::newRow("Ctrl+Shift+S")
            << int(Qt::Key_S) << int(Qt::ControlModifier | Qt::ShiftModifier) << qint64(1);
        QTest::newRow("Ctrl+Shift+C")
            << int(Qt::Key_C) << int(Qt::ControlModifier | Qt::ShiftModifier) << qint64(5);
        QTest::newRow("Ctrl+Alt+C")
            << int(Qt::Key_C) << int(Qt::ControlModifier | Qt::AltModifier) << qint64(6);
    }
    void shortcutsReachTheItems() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(qint64, action);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        setTemporaryFile(true);
        NotificationCenter::defaultCenter().post(NotificationNames::enableMenuItems);
        QWidget* table = m_window->findChild<QWidget*>(QStringLiteral("tableView"));
        table->setFocus();
        QTest::keyClick(table, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(m_actions, QList<qint64>{action});
    }

    void cacheReadoutText_data() {
        QTest::addColumn<quint64>("count");
        QTest::addColumn<quint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << quint64(0) << quint64(0) << "0 Images: 0 KB";
        QTest::newRow("1 MB") << quint64(1) << quint64(1048576) << "1 Images: 1 MB";
        QTest::newRow("just under") << quint64(2) << quint64(1048575) << "2 Images: 1023 KB";
        QTest::newRow("1,023 bytes") << quint64(3) << quint64(1023) << "3 Images: 0 KB";
        QTest::newRow("2.5 MB") << quint64(3) << quint64(2500000) << "3 Images: 2 MB";
    }
    void cacheReadoutText() {
        QFETCH(quint64, count);
        QFETCH(quint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(AppDelegate::cacheReadoutText(count, bytes), text);
    }

    void clearCacheRewritesTheReadout() {
        ImageCache& cache = ImageCache::shared();
        cache.storeImageDataToDiskSync(QByteArray(2048, 'x'), QStringLiteral("a"));
        QSignalSpy refreshed(m_delegate.get(), &AppDelegate::cacheReadoutRefreshed);
        m_delegate->refreshCacheReadout();
        QVERIFY(refreshed.wait());
        QCOMPARE(m_delegate->cacheCountSize()->text(), QStringLiteral("1 Images: 2 KB"));
        m_delegate->clearCache();
        QVERIFY(refreshed.wait());
        QCOMPARE(m_delegate->cacheCountSize()->text(), QStringLiteral("0 Images: 0 KB"));
    }

    void termination_data() {
        QTest::addColumn<qint64>("clearOnExit");
        QTest::addColumn<quint64>("remaining");
        QTest::newRow("keep the cache") << qint64(0) << quint64(1);
        QTest::newRow("clear the cache") << qint64(1) << quint64(0);
    }
    void termination() {
        QFETCH(qint64, clearOnExit);
        QFETCH(quint64, remaining);
        UserDefaults::standard().setInteger(SettingsKeys::clearCacheOnExit, clearOnExit);
        ImageCache::shared().clearDiskSync();
        ImageCache::shared().storeImageDataToDiskSync(QByteArray(100, 'x'), QStringLiteral("k"));
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        ImageDataHelper::waitForPendingWork();
        ImageDataHelper::createTemporaryFile(CoverImage{image, {}}, QStringLiteral("A"), 1,
                                             QStringLiteral("B"));
        const QUrl file = UserDefaults::standard().urlForKey(SettingsKeys::temporaryFileUrl);
        QVERIFY(QFileInfo::exists(file.toLocalFile()));

        m_delegate->applicationWillTerminate();
        QVERIFY(!QFileInfo::exists(file.toLocalFile()));
        QVERIFY(!UserDefaults::standard().contains(SettingsKeys::temporaryFileUrl));
        QCOMPARE(ImageCache::shared().diskUsageSync().count, remaining);
    }

    void feedbackMail() {
        RecordingComposer composer;
        MailComposer::setSharedForTesting(&composer);
        QCoreApplication::setApplicationVersion(QStringLiteral("1.2.0"));
        SendMailHelper::composeBugReportMail();
        QCOMPARE(composer.subject, QStringLiteral("Sleevanta — Bug Report"));
        QCOMPARE(composer.recipients.size(), 1);
        QVERIFY(composer.body.startsWith(QStringLiteral("\n\nUsing Sleevanta 1.2.0 (")));
        SendMailHelper::composeSuggestionMail();
        QCOMPARE(composer.subject, QStringLiteral("Sleevanta — Suggestion"));
        MailComposer::setSharedForTesting(nullptr);

        QCOMPARE(SendMailHelper::mailBody(QStringLiteral("1.2"), std::nullopt),
                 QStringLiteral("\n\nUsing Sleevanta 1.2 (ERROR)"));
        QCOMPARE(SendMailHelper::mailBody(std::nullopt, std::nullopt),
                 QStringLiteral("\n\nUsing Sleevanta ERROR (ERROR)"));
        const QUrl mailto = MailComposer::mailtoUrl({QStringLiteral("a@b.org")},
                                                    QStringLiteral("Sleevanta — Suggestion"),
                                                    QStringLiteral("\n\nx y"));
        QCOMPARE(mailto.scheme(), QStringLiteral("mailto"));
        QVERIFY(mailto.toEncoded().contains("body=%0A%0Ax%20y"));
    }

    void preferencesExample() {
        for (const QString& key : {SettingsKeys::defaultNameFormat, SettingsKeys::replaceSpaces,
                                   SettingsKeys::replaceCharacters, SettingsKeys::lowercase,
                                   SettingsKeys::clearCacheOnExit}) {
            UserDefaults::standard().removeObject(key);
        }
        PreferencesViewController preferences;
        const Child ui{&preferences};
        QCOMPARE(ui.get<QComboBox>("defaultNameFormatPicker")->currentText(),
                 QStringLiteral("folder.jpg"));
        QCOMPARE(ui.get<QLabel>("exampleLabel")->text(), QStringLiteral("folder.jpg"));
        QVERIFY(UserDefaults::standard().contains(SettingsKeys::lowercase));
        QCOMPARE(ui.get<QCheckBox>("replaceCharactersButton")->text().size(), 42);

        ui.get<QComboBox>("defaultNameFormatPicker")->setCurrentIndex(3);
        Q_EMIT ui.get<QComboBox>("defaultNameFormatPicker")->activated(3);
        QCOMPARE(ui.get<QLabel>("exampleLabel")->text(),
                 QStringLiteral("Iron Maiden - The Book of Souls: The Live Chapter.jpg"));
        ui.get<QCheckBox>("replaceCharactersButton")->click();
        QCOMPARE(ui.get<QLabel>("exampleLabel")->text(),
                 QStringLiteral("Iron Maiden - The Book of Souls_ The Live Chapter.jpg"));
        ui.get<QCheckBox>("replaceSpacesButton")->click();
        ui.get<QCheckBox>("lowercaseCharactersButton")->click();
        QCOMPARE(ui.get<QLabel>("exampleLabel")->text(),
                 QStringLiteral("iron_maiden_-_the_book_of_souls__the_live_chapter.jpg"));

        ui.get<QCheckBox>("replaceSpacesButton")->click();
        ui.get<QCheckBox>("replaceCharactersButton")->click();
        ui.get<QComboBox>("defaultNameFormatPicker")->setCurrentIndex(2);
        Q_EMIT ui.get<QComboBox>("defaultNameFormatPicker")->activated(2);
        QCOMPARE(ui.get<QLabel>("exampleLabel")->text(),
                 QStringLiteral("the book of souls: the live chapter.jpg"));

        const QString before = ui.get<QLabel>("exampleLabel")->text();
        ui.get<QCheckBox>("clearCacheOnExitButton")->click();
        QCOMPARE(DefaultsHelper::storedClearCacheOnExit(), 1);
        QCOMPARE(ui.get<QLabel>("exampleLabel")->text(), before);
    }

    void donationWindow() {
        QString joined;
        for (const auto& run : DonateViewController::messageRuns()) {
            joined += run.text;
        }
        QCOMPARE(DonateViewController::messageRuns().size(), 11);
        QCOMPARE(joined, QStringLiteral("Sleevanta is free of ads and free of charge. However, to "
                                        "cover the costs for hosting, maintenance, and coffee, "
                                        "we'd deeply appreciate you helping us with a small "
                                        "donation."));
        QVERIFY(DonateViewController::donationUrlText().endsWith(
            QStringLiteral("/cgi-bin/webscr?cmd=_donations&business=donate@sleevanta.org"
                           "&item_name=Sleevanta%2520Donation&currency_code=USD&lc=en_US"
                           "&country.x=US&locale.x=US")));

        RecordingPasteboard pasteboard;
        RecordingWorkspace workspace;
        Pasteboard::setGeneralForTesting(&pasteboard);
        Workspace::setSharedForTesting(&workspace);
        DonateViewController donate;
        QCOMPARE(plain(Child{&donate}.get<QLabel>("messageTextField")->text()), joined);
        const QString normal = plain(donate.addressTitle());
        QVERIFY(normal.startsWith(QStringLiteral("bitcoin:")));
        Child{&donate}.get<QPushButton>("copyAddressButton")->click();
        QCOMPARE(pasteboard.text.size(), 42);
        QCOMPARE(plain(donate.addressTitle()),
                 QStringLiteral("Copied ") + pasteboard.text + QStringLiteral(" to Clipboard."));
        QTRY_COMPARE_WITH_TIMEOUT(plain(donate.addressTitle()), normal, 3000);

        Child{&donate}.get<QPushButton>("donateWithPayPalButton")->click();
        QCOMPARE(workspace.opened.size(), 1);
        QVERIFY(workspace.opened.first().toEncoded().contains("item_name=Sleevanta%2520Donation"));
        Pasteboard::setGeneralForTesting(nullptr);
        Workspace::setSharedForTesting(nullptr);
    }
};

QTEST_MAIN(TestAppDelegate)
#include "tst_appdelegate.moc"

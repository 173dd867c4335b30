#include "AlertHelper.h"
#include "DefaultsHelper.h"
#include "MainViewController.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "UserDefaults.h"

#include <QMessageBox>
#include <QScreen>
#include <QtTest>

namespace {

// Centres agree to within the half point of a 525-point-high frame.
bool centredOn(const QRect& frame, const QRect& area) {
    const QPointF offset = QRectF(frame).center() - QRectF(area).center();
    return qAbs(offset.x()) <= 0.5 && qAbs(offset.y()) <= 0.5;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private:
    QStringList m_posted;

private Q_SLOTS:
    void init() {
        UserDefaults::standard().removeObject(SettingsKeys::mainWindowFrame);
        NotificationCenter::defaultCenter().reset();
        m_posted.clear();
        for (const QString& name :
             {NotificationNames::removeCover, NotificationNames::disableMenuItems,
              NotificationNames::focusOnSearchField}) {
            NotificationCenter::defaultCenter().addObserver(
                name, this, [this](const Notification& n) { m_posted.append(n.name); });
        }
    }

    void startUpOrder() {
        UserDefaults::standard().setInteger(QStringLiteral("LAUNCHCOUNT"), 12);
        MainViewController window;
        // The search pane clears while filling its pickers; then the window
        // disables the cover menu items and puts the focus into the search field.
        QCOMPARE(m_posted,
                 (QStringList{NotificationNames::removeCover, NotificationNames::removeCover,
                              NotificationNames::disableMenuItems,
                              NotificationNames::focusOnSearchField}));
        QCOMPARE(window.windowTitle(), QStringLiteral("Sleevanta"));
        const QStringList obsolete = DefaultsHelper::obsoleteKeys();
        for (const QString& key : obsolete) {
            QVERIFY2(!UserDefaults::standard().contains(key), qPrintable(key));
        }
    }

    void firstLaunchIsCentredAtTheDefaultSize() {
        MainViewController window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect available = window.screen()->availableGeometry();
        QTRY_COMPARE(window.geometry().size(), QSize(700, 525));
        QVERIFY(centredOn(window.geometry(), available));
        // The default frame is saved like any other.
        QTRY_VERIFY(UserDefaults::standard().contains(SettingsKeys::mainWindowFrame));
    }

    void defaultFrame_data() {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("frame");
        QTest::newRow("full HD") << QRect(0, 0, 1920, 1080) << QRect(610, 278, 700, 525);
        QTest::newRow("offset panel") << QRect(0, 32, 1280, 768) << QRect(290, 154, 700, 525);
        QTest::newRow("second screen") << QRect(1920, 0, 1280, 1024) << QRect(2210, 250, 700, 525);
    }
    void defaultFrame() {
        QFETCH(QRect, available);
        QFETCH(QRect, frame);
        QCOMPARE(MainViewController::defaultFrame(available), frame);
    }

    void savedFrameIsRestored() {
        const QRect moved(40, 60, 820, 610);
        {
            MainViewController window;
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QTRY_COMPARE(window.geometry().size(), QSize(700, 525));
            window.setGeometry(moved);
            window.close(); // saves at once
        }
        MainViewController window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(50);
        QCOMPARE(window.geometry(), moved);

        NotificationCenter::defaultCenter().post(NotificationNames::restoreWindowToDefaultSize);
        QTRY_COMPARE(window.geometry().size(), QSize(700, 525));
        QVERIFY(centredOn(window.geometry(), window.screen()->availableGeometry()));
    }

    void errorAlertComposition() {
        MainViewController window;
        const QString name = AlertHelper::qualifiedClassName(&window);
        QCOMPARE(name, QStringLiteral("Sleevanta.MainViewController"));
        std::unique_ptr<QMessageBox> alert(
            AlertHelper::errorAlert(name, QStringLiteral("saveCover()")));
        QCOMPARE(alert->text(), QStringLiteral("Whoops…"));
        QCOMPARE(
            alert->informativeText(),
            QStringLiteral(
                "It seems something went wrong in:\nSleevanta.MainViewController.saveCover()"));
        QCOMPARE(alert->informativeText().count(QLatin1Char('\n')), 1);
        QCOMPARE(alert->buttons().size(), 1);
    }

    void alertNeedsAVisibleWindow() {
        QWidget pane;
        QPointer<QMessageBox> alert = AlertHelper::alert(QStringLiteral("x"));
        QVERIFY(!AlertHelper::showSheet(alert, &pane));
        QVERIFY(alert.isNull()); // deleted, never shown
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        alert = AlertHelper::alert(QStringLiteral("y"));
        QVERIFY(AlertHelper::showSheet(alert, &pane));
        QVERIFY(alert->isVisible());
        QCOMPARE(alert->parentWidget(), &pane);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

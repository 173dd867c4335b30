#include "MainViewController.h"
#include "ui_MainWindow.h"

#include "CoverActions.h"
#include "CoverViewController.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "SearchViewController.h"
#include "StoredSettings.h"
#include "UserDefaults.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTableView>

MainViewController::MainViewController(QWidget* parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::MainWindow>()) {
    m_ui->setupUi(this);
    m_ui->splitter->setStretchFactor(0, 0);
    m_ui->splitter->setStretchFactor(1, 1);
    // The list is as wide as the user left it.
    const QVariant width = UserDefaults::standard().value(SettingsKeys::resultsWidth);
    const int results =
        width.metaType().id() == QMetaType::LongLong ? int(width.toLongLong()) : 300;
    m_ui->splitter->setSizes({results, kDefaultWidth - results});
    connect(m_ui->splitter, &QSplitter::splitterMoved, this, [this] { m_saveTimer.start(); });
    // Ctrl+F and Ctrl+L: to the search field, its text selected.
    for (const QKeySequence& keys :
         {QKeySequence(QKeySequence::Find), QKeySequence(Qt::CTRL | Qt::Key_L)}) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [] {
            NotificationCenter::defaultCenter().post(NotificationNames::focusOnSearchField);
        });
    }
    // Tab goes through the search pane, past the list in one step, then the cover's buttons.
    SearchViewController* search = m_ui->searchPane;
    CoverViewController* cover = m_ui->coverPane;
    const QList<QWidget*> order{search->searchField(),    search->mediaPicker(),
                                search->qualityPicker(),  search->countryPicker(),
                                search->tableView(),      cover->viewButton(),
                                cover->copyButton(),      cover->shareButton(),
                                cover->saveCoverButton(), cover->tryAgainButton()};
    for (qsizetype i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    // The cover actions in the menu bar: the very actions of the cover pane.
    CoverActions* actions = cover->actions();
    m_ui->fileMenu->insertActions(m_ui->fileMenu->actions().value(0), actions->saveActions());
    m_ui->editMenu->insertActions(m_ui->editMenu->actions().value(0), actions->copyActions());
    m_ui->viewMenu->addActions(actions->viewActions());
    // Small enough for a small screen, large enough that nothing is cut.
    setMinimumSize(minimumSizeHint().expandedTo(QSize(0, kMinimumHeight)));
    // Moves and resizes come in bursts; the frame is written once it settles.
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(300);
    connect(&m_saveTimer, &QTimer::timeout, this, &MainViewController::saveFrame);
    viewDidLoad();
}

MainViewController::~MainViewController() = default;

SearchViewController* MainViewController::searchPane() const {
    return m_ui->searchPane;
}

CoverViewController* MainViewController::coverPane() const {
    return m_ui->coverPane;
}

void MainViewController::viewDidLoad() {
    StoredSettings::removeObsoleteKeys();
    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(NotificationNames::restoreWindowToDefaultSize, this,
                       [this](const Notification&) { restoreWindowToDefaultSize(); });
    center.post(NotificationNames::disableMenuItems);
    center.post(NotificationNames::focusOnSearchField);
}

void MainViewController::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_appeared) {
        m_appeared = true;
        viewWillAppear();
    }
}

void MainViewController::viewWillAppear() {
    const QByteArray saved =
        UserDefaults::standard().value(SettingsKeys::mainWindowFrame).toByteArray();
    if (!saved.isEmpty() && restoreGeometry(saved)) {
        return;
    }
    restoreWindowToDefaultSize();
}

QRect MainViewController::defaultFrame(const QRect& availableGeometry) {
    const QPointF centre = QRectF(availableGeometry).center();
    return QRect(qRound(centre.x() - kDefaultWidth / 2.0),
                 qRound(centre.y() - kDefaultHeight / 2.0), kDefaultWidth, kDefaultHeight);
}

void MainViewController::restoreWindowToDefaultSize() {
    QScreen* screen = this->screen();
    if (!screen) {
        return;
    }
    const QRect frame = defaultFrame(screen->availableGeometry());
    QMetaObject::invokeMethod(
        this,
        [this, frame] {
            if (isMaximized() || isFullScreen()) {
                showNormal();
            }
            setGeometry(frame);
            m_saveTimer.start();
        },
        Qt::QueuedConnection);
}

void MainViewController::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (m_appeared) {
        m_saveTimer.start();
    }
}

void MainViewController::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (m_appeared) {
        m_saveTimer.start();
    }
}

void MainViewController::closeEvent(QCloseEvent* event) {
    if (m_saveTimer.isActive()) {
        m_saveTimer.stop();
        saveFrame();
    }
    QMainWindow::closeEvent(event);
}

void MainViewController::saveFrame() {
    UserDefaults::standard().setBytes(SettingsKeys::mainWindowFrame, saveGeometry());
    UserDefaults::standard().setInteger(SettingsKeys::resultsWidth,
                                        m_ui->splitter->sizes().value(0));
}

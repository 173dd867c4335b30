#include "app/MainWindow.h"
#include "ui_MainWindow.h"

#include "library/AppContext.h"
#include "library/MusicOpening.h"
#include "settings/Settings.h"
#include "ui/common/AccessibleWidgets.h"
#include "ui/cover/CoverActions.h"
#include "ui/cover/CoverPane.h"
#include "ui/search/SearchPane.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTableView>

MainWindow::MainWindow(AppContext& context, QWidget* parent)
    : QMainWindow(parent), m_settings(context.settings()),
      m_ui(std::make_unique<Ui::MainWindow>()) {
    AccessibleWidgets::install(); // before any of its widgets is asked about
    m_ui->setupUi(this);
    m_searchPane = new SearchPane(context, m_ui->splitter);
    m_searchPane->setObjectName(QStringLiteral("searchPane"));
    m_searchPane->setMinimumWidth(qMax(260, m_searchPane->minimumSizeHint().width()));
    m_coverPane = new CoverPane(context, m_ui->splitter);
    m_coverPane->setObjectName(QStringLiteral("coverPane"));
    m_ui->splitter->addWidget(m_searchPane);
    m_ui->splitter->addWidget(m_coverPane);
    m_ui->splitter->setStretchFactor(0, 0); // kept as left while the frame is restored
    m_ui->splitter->setStretchFactor(1, 1);
    // The list is as wide as the user left it.
    const int results = m_settings.value(Settings::resultsWidth);
    m_ui->splitter->setSizes({results, kDefaultWidth - results});
    connect(m_ui->splitter, &QSplitter::splitterMoved, this, [this] { m_saveTimer.start(); });
    // Ctrl+F and Ctrl+L: to the search field, its text selected.
    for (const QKeySequence& keys :
         {QKeySequence(QKeySequence::Find), QKeySequence(Qt::CTRL | Qt::Key_L)}) {
        connect(new QShortcut(keys, this), &QShortcut::activated, m_searchPane,
                &SearchPane::focusSearchField);
    }
    // Tab goes through the search pane, past the list in one step, then the cover's buttons.
    SearchPane* search = m_searchPane;
    CoverPane* cover = m_coverPane;
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
    connect(&m_saveTimer, &QTimer::timeout, this, &MainWindow::saveFrame);
    // Files dropped on the search field are music to open, not text to type.
    setAcceptDrops(true);
    search->searchField()->installEventFilter(this);
    // The panes: the chosen item's cover, the album it is for, thumbnails
    // asked again with the cover.
    connect(search, &SearchPane::itemChosen, cover, &CoverPane::showItem);
    connect(search, &SearchPane::selectionCleared, cover, &CoverPane::removeCover);
    connect(search, &SearchPane::albumTargetChanged, cover, &CoverPane::setAlbumTarget);
    connect(cover, &CoverPane::albumSearchLeft, search, &SearchPane::leaveAlbum);
    connect(cover, &CoverPane::retryRequested, search, &SearchPane::retryFailedThumbnails);
    m_settings.removeObsoleteKeys();
    search->focusSearchField();
}

MainWindow::~MainWindow() = default;

namespace {

// A drag of files from another program (our own cover drags are not music).
bool carriesFiles(const QDropEvent* event) {
    return !event->source() && event->mimeData()->hasUrls();
}

} // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (carriesFiles(event)) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    if (!carriesFiles(event)) {
        return;
    }
    event->acceptProposedAction();
    QStringList uris;
    for (const QUrl& url : event->mimeData()->urls()) {
        uris.append(url.toString(QUrl::FullyEncoded));
    }
    QStringList refused;
    const QList<QByteArray> paths = MusicOpening::localPaths(uris, &refused);
    Q_EMIT musicDropped(paths, refused);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) &&
        carriesFiles(static_cast<QDropEvent*>(event))) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (type == QEvent::Drop) {
            dropEvent(drop);
        } else {
            drop->acceptProposedAction();
        }
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

SearchPane* MainWindow::searchPane() const {
    return m_searchPane;
}

CoverPane* MainWindow::coverPane() const {
    return m_coverPane;
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_appeared) {
        m_appeared = true;
        restoreFrame();
        // The window manager's frame comes later; then the frame itself must fit.
        QTimer::singleShot(500, this, [this] {
            keepFrameOnScreen(this);
            // From now on a wider window widens both: titles need room as the cover does.
            m_ui->splitter->setStretchFactor(0, 1);
            m_ui->splitter->setStretchFactor(1, 2);
        });
    }
}

void MainWindow::keepFrameOnScreen(QWidget* window) {
    QScreen* screen = window->screen();
    if (!screen || window->isMaximized() || window->isFullScreen()) {
        return;
    }
    const QRect frame = window->frameGeometry();
    const QRect fitted = fittedFrame(frame, screen->availableGeometry());
    if (fitted != frame) {
        const QRect client = window->geometry();
        const QMargins border(client.left() - frame.left(), client.top() - frame.top(),
                              frame.right() - client.right(), frame.bottom() - client.bottom());
        window->setGeometry(fitted.marginsRemoved(border));
    }
}

void MainWindow::restoreFrame() {
    const QByteArray saved = m_settings.value(Settings::mainWindowFrame);
    if (saved.isEmpty() || !restoreGeometry(saved)) {
        restoreWindowToDefaultSize();
        return;
    }
    // Saved on another screen, or at another scale: brought back into this one.
    if (QScreen* screen = this->screen()) {
        const QRect room = usableArea(screen->availableGeometry());
        setMinimumSize(minimumSize().boundedTo(room.size()));
        const QRect fitted = fittedFrame(geometry(), room);
        if (fitted != geometry()) {
            setGeometry(fitted);
        }
    }
}

// The screen's area less the room a window manager's title bar takes.
QRect MainWindow::usableArea(const QRect& availableGeometry) const {
    const int titleBar = std::max(frameGeometry().height() - geometry().height(),
                                  style()->pixelMetric(QStyle::PM_TitleBarHeight));
    return availableGeometry.adjusted(0, titleBar, 0, 0);
}

QRect MainWindow::fittedFrame(QRect frame, const QRect& area) {
    frame.setSize(frame.size().boundedTo(area.size()));
    frame.moveLeft(std::clamp(frame.left(), area.left(), area.right() - frame.width() + 1));
    frame.moveTop(std::clamp(frame.top(), area.top(), area.bottom() - frame.height() + 1));
    return frame;
}

QRect MainWindow::defaultFrame(const QRect& availableGeometry) {
    const QPointF centre = QRectF(availableGeometry).center();
    return fittedFrame(QRect(qRound(centre.x() - kDefaultWidth / 2.0),
                             qRound(centre.y() - kDefaultHeight / 2.0), kDefaultWidth,
                             kDefaultHeight),
                       availableGeometry);
}

void MainWindow::restoreWindowToDefaultSize() {
    QScreen* screen = this->screen();
    if (!screen) {
        return;
    }
    const QRect room = usableArea(screen->availableGeometry());
    setMinimumSize(minimumSize().boundedTo(room.size()));
    const QRect frame = defaultFrame(room);
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

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (m_appeared) {
        m_saveTimer.start();
    }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (m_appeared) {
        m_saveTimer.start();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_saveTimer.isActive()) {
        m_saveTimer.stop();
        saveFrame();
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::saveFrame() {
    m_settings.setValue(Settings::mainWindowFrame, saveGeometry());
    m_settings.setValue(Settings::resultsWidth, m_ui->splitter->sizes().value(0));
}

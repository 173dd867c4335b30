#include "app/Application.h"

#include "app/DonateDialog.h"
#include "app/FeedbackMail.h"
#include "app/MainWindow.h"
#include "imaging/ImageCache.h"
#include "imaging/TemporaryCoverFile.h"
#include "library/AppContext.h"
#include "library/MusicOpening.h"
#include "platform/LocaleFormat.h"
#include "platform/SettingsStore.h"
#include "settings/Settings.h"
#include "ui/common/AccessibleWidgets.h"
#include "ui/common/ShareMenu.h"
#include "ui/cover/CoverPane.h"
#include "ui/library/FillWindow.h"
#include "ui/preferences/PreferencesDialog.h"
#include "ui/search/SearchPane.h"

#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QMenu>
#include <QMessageBox>
#include <QShortcut>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>

Application::Application(AppContext& context, MainWindow* window, QObject* parent)
    : QObject(parent), m_context(context), m_window(window) {
    AccessibleWidgets::install();
    m_shareMenu = window->findChild<QMenu*>(QStringLiteral("shareMenu"));
    m_cacheCountSize = action("cacheCountSize");

    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive) {
                    m_window->searchPane()->focusSearchField();
                }
            });
    connect(qApp, &QCoreApplication::aboutToQuit, this, &Application::cleanUpAtQuit);

    connect(action("restoreWindowToDefaultSize"), &QAction::triggered, window,
            &MainWindow::restoreWindowToDefaultSize);
    // A mail that could not be started is said where covers say what happened.
    auto mailOpened = [this](bool opened) {
        if (!opened) {
            m_window->coverPane()->showStatus(CoverPane::linkNotOpened());
        }
    };
    connect(action("sendSuggestion"), &QAction::triggered, this, [this, mailOpened] {
        FeedbackMail::composeSuggestionMail(m_context.mail(), mailOpened);
    });
    connect(action("reportBug"), &QAction::triggered, this, [this, mailOpened] {
        FeedbackMail::composeBugReportMail(m_context.mail(), mailOpened);
    });
    connect(action("clearCache"), &QAction::triggered, this, &Application::clearCache);
    connect(window, &MainWindow::musicDropped, this, &Application::openMusic);
    connect(action("preferencesAction"), &QAction::triggered, this, &Application::showPreferences);
    connect(action("donateAction"), &QAction::triggered, this, &Application::showDonation);
    connect(action("fillCoversInFolder"), &QAction::triggered, this, [this] {
        // The picker starts in the library worked on last.
        const QUrl last = m_context.settings().value(Settings::lastFillFolder);
        const QString start = last.isLocalFile() && QFileInfo(last.toLocalFile()).isDir()
                                  ? last.toLocalFile()
                                  : musicFolder();
        const QString folder =
            QFileDialog::getExistingDirectory(m_window, tr("Fill Covers in Folder"), start);
        if (!folder.isEmpty()) {
            m_context.settings().setValue(Settings::lastFillFolder, QUrl::fromLocalFile(folder));
            showFillWindow(QFile::encodeName(folder));
        }
    });
    connect(action("quitAction"), &QAction::triggered, qApp, &QCoreApplication::quit,
            Qt::QueuedConnection);
    connect(action("aboutAction"), &QAction::triggered, this, [this] {
        QMessageBox::about(m_window, tr("About Sleevanta"),
                           tr("<b>Sleevanta %1</b><p>Finds cover artwork in the iTunes "
                              "Store catalogue and saves it.</p>")
                               .arg(QCoreApplication::applicationVersion().toHtmlEscaped()));
    });
    if (QMenu* edit = window->findChild<QMenu*>(QStringLiteral("editMenu"))) {
        connect(edit, &QMenu::aboutToShow, this, &Application::refreshCacheReadout);
    }
    // Folders of instances that ended without cleaning up (a crash, a power cut).
    TemporaryCoverFile::removeAbandonedFoldersAsync();
    connect(window->coverPane(), &CoverPane::shareableChanged, this, &Application::updateShareMenu);
    updateShareMenu(false); // nothing to share before a cover is shown
}

QAction* Application::action(const char* name) const {
    auto* found = m_window->findChild<QAction*>(QLatin1String(name));
    Q_ASSERT(found);
    return found;
}

QWidget* Application::preferences() const {
    return m_preferences;
}

QWidget* Application::donation() const {
    return m_donation;
}

QAction* Application::shareMenuItem() const {
    return m_shareMenu->menuAction();
}

// The share submenu lists what can take the cover's file, once there is one.
void Application::updateShareMenu(bool shareable) {
    m_shareMenu->clear();
    if (shareable) {
        CoverPane* pane = m_window->coverPane();
        ShareMenu::addServices(m_shareMenu, pane->session(), m_context.sharing(),
                               pane->statusSaying());
    }
    shareMenuItem()->setEnabled(shareable &&
                                !m_window->coverPane()->session()->temporaryFile().isEmpty());
}

QString Application::cacheReadoutText(quint64 count, quint64 bytes) {
    // To the nearest unit: 16.98 MB is "17 MB", and what rounds to 1024 kB is "1 MB".
    const quint64 megabyte = 1048576;
    const quint64 shown = qMin<quint64>(bytes, LLONG_MAX);
    const QString size =
        LocaleFormat::dataSize(shown >= megabyte - 512 ? qMax(shown, megabyte) : shown, 0);
    //: The cache readout in the Edit menu: how many images, and their size.
    return tr("%Ln Images: %1", nullptr, int(qMin<quint64>(count, INT_MAX))).arg(size);
}

void Application::refreshCacheReadout() {
    // The walk over the cache folder runs on the cache's worker.
    m_context.cache().diskUsage(this, [this](ImageCache::DiskUsage usage) {
        m_cacheCountSize->setText(cacheReadoutText(usage.count, usage.bytes));
        Q_EMIT cacheReadoutRefreshed();
    });
}

void Application::clearCache() {
    m_context.cache().clearMemory();
    m_context.cache().clearDisk(this, [this] { refreshCacheReadout(); });
}

void Application::cleanUpAtQuit() {
    *m_quitting = true;
    // A temporary file still being written must not outlive the clean-up.
    TemporaryCoverFile::waitForPendingWork();
    TemporaryCoverFile::removeAll();
    if (m_context.settings().value(Settings::clearCacheOnExit)) {
        m_context.cache().clearMemory();
        m_context.cache().waitForDiskWork();
        m_context.cache().clearDiskSync();
    }
    m_context.cache().waitForDiskWork();
    m_context.settingsStore().flush();
}

void Application::closeOnEscape(QWidget* window) {
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        connect(new QShortcut(keys, window), &QShortcut::activated, window, &QWidget::close);
    }
}

// Where music libraries usually live: ~/Music (as the desktop names it), else home.
QString Application::musicFolder() {
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    return QFileInfo(music).isDir() ? music : QDir::homePath();
}

void Application::centreOnMainWindow(QWidget* window, QSize size) const {
    if (size.isEmpty()) {
        window->adjustSize();
        size = window->size();
    }
    QRect frame(QPoint(), size);
    frame.moveCenter(m_window->geometry().center());
    // On the screen, its title bar too.
    if (QScreen* screen = m_window->screen()) {
        frame = MainWindow::fittedFrame(frame, m_window->usableArea(screen->availableGeometry()));
    }
    window->setGeometry(frame);
}

// The Window menu lists the Fill windows, each by its title.
void Application::updateWindowMenu() {
    qDeleteAll(m_windowItems);
    m_windowItems.clear();
    m_fillWindows.removeAll(nullptr);
    auto* menu = m_window->findChild<QMenu*>(QStringLiteral("windowMenu"));
    if (!m_fillWindows.isEmpty()) {
        m_windowItems.append(menu->addSeparator());
    }
    for (qsizetype i = 0; i < m_fillWindows.size(); ++i) {
        QPointer<FillWindow> window = m_fillWindows[i];
        const QString title = window->windowTitle().replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction* item =
            menu->addAction(i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(title) : title);
        connect(item, &QAction::triggered, window, [window] {
            window->showNormal();
            window->raise();
            window->activateWindow();
        });
        m_windowItems.append(item);
    }
}

void Application::showPreferences() {
    if (!m_preferences) {
        m_preferences = new PreferencesDialog(m_context.settings(), m_window);
        m_preferences->setWindowFlag(Qt::Window);
        AccessibleWidgets::setRole(m_preferences, QAccessible::Dialog);
        m_preferences->setAttribute(Qt::WA_DeleteOnClose);
        closeOnEscape(m_preferences);
        m_preferences->fitToContent();
        centreOnMainWindow(m_preferences);
        QTimer::singleShot(500, m_preferences,
                           [dialog = m_preferences] { MainWindow::keepFrameOnScreen(dialog); });
    }
    m_preferences->refreshInterface();
    m_preferences->show();
    m_preferences->raise();
    m_preferences->activateWindow();
}

FillWindow* Application::showFillWindow(const QByteArray& library,
                                        const QList<QByteArray>& folders) {
    FillOptions options;
    options.root = library;
    options.folders = folders;
    options.highQuality = m_context.settings().value(Settings::highQuality);
    options.country = m_context.settings().value(Settings::country);
    return showFillWindow(options);
}

FillWindow* Application::showFillWindow(const FillOptions& options) {
    auto* window = new FillWindow(options, m_context, m_window);
    window->setWindowFlag(Qt::Window);
    AccessibleWidgets::setRole(window, QAccessible::Window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // Escape and Ctrl+W close it, asking first while a run goes on.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        connect(new QShortcut(keys, window), &QShortcut::activated, window, &QWidget::close);
    }
    // Search by Hand: the main window comes forward and searches for the
    // album; what is saved there by hand the Fill window hears of.
    connect(window, &FillWindow::searchByHandRequested, this,
            [this](const AlbumFolder& album, const QString& coverName) {
                m_window->raise();
                m_window->activateWindow();
                m_window->searchPane()->searchForAlbum(album, coverName);
            });
    connect(m_window->coverPane(), &CoverPane::albumCoverSaved, window,
            &FillWindow::showSavedByHand);
    // Opened at the size last given to one, else showing ten albums and every column.
    const Settings& settings = m_context.settings();
    const QSize remembered(settings.value(Settings::fillWindowWidth),
                           settings.value(Settings::fillWindowHeight));
    centreOnMainWindow(window, remembered.isEmpty() ? window->sizeHint() : remembered);
    m_fillWindows.append(window);
    connect(window, &QObject::destroyed, this, &Application::updateWindowMenu,
            Qt::QueuedConnection);
    updateWindowMenu();
    window->show();
    QTimer::singleShot(500, window, [window] { MainWindow::keepFrameOnScreen(window); });
    return window;
}

void Application::openMusic(const QList<QByteArray>& paths, const QStringList& refused) {
    if (!refused.isEmpty()) {
        m_window->searchPane()->showHint(tr("Only files on this computer can be opened, not %1.")
                                             .arg(refused.join(QStringLiteral(", "))));
    }
    if (paths.isEmpty()) {
        Q_EMIT musicOpened();
        return;
    }
    using Opened = MusicOpening::Opened;
    auto* reading = new QFutureWatcher<Opened>(this);
    connect(reading, &QFutureWatcher<Opened>::finished, this, [this, reading] {
        reading->deleteLater();
        const Opened opened = reading->result();
        if (opened.several) {
            showFillWindow(opened.commonFolder, opened.folders);
        } else if (opened.albums.size() == 1) {
            m_window->searchPane()->searchForAlbum(opened.albums.first(), FillOptions().coverName);
        }
        if (const QString hint = MusicOpening::hintFor(opened); !hint.isEmpty()) {
            m_window->searchPane()->showHint(hint);
        }
        Q_EMIT musicOpened();
    });
    reading->setFuture(QtConcurrent::run(
        [paths, quitting = m_quitting] { return MusicOpening::open(paths, *quitting); }));
}

void Application::showDonation() {
    if (!m_donation) {
        m_donation = new DonateDialog(m_context, m_window);
        m_donation->setWindowFlag(Qt::Window);
        AccessibleWidgets::setRole(m_donation, QAccessible::Dialog);
        m_donation->setAttribute(Qt::WA_DeleteOnClose);
        closeOnEscape(m_donation);
        centreOnMainWindow(m_donation);
    }
    m_donation->show();
    m_donation->raise();
    m_donation->activateWindow();
}

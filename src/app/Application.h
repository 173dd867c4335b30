#pragma once

#include "library/FillOptions.h"

#include <QObject>
#include <QPointer>
#include <QSize>

#include <atomic>
#include <memory>

class AppContext;
class FillWindow;
class MainWindow;
class PreferencesDialog;
class DonateDialog;
class QAction;
class QMenu;
class QWidget;

// The application's menus and life cycle: the cover items follow the cover
// pane's notifications and ask it to act; the share submenu, the cache
// read-out, the feedback mails, the preferences and donation windows, and the
// clean-up at exit.
class Application : public QObject {
    Q_OBJECT
public:
    Application(AppContext& context, MainWindow* window, QObject* parent = nullptr);

    QAction* shareMenuItem() const;
    QMenu* shareMenu() const { return m_shareMenu; }
    QWidget* preferences() const;
    QWidget* donation() const;
    QAction* cacheCountSize() const { return m_cacheCountSize; }

    // "<count> Images: <size>", the size rounded to whole MB from 1 MB on, else to KB.
    static QString cacheReadoutText(quint64 count, quint64 bytes);

    // The share submenu: the services that can take the shown cover's file.
    void updateShareMenu(bool shareable);
    void refreshCacheReadout();
    void clearCache();
    // At quit: temporary files removed, the cache emptied when asked, the
    // settings written.
    void cleanUpAtQuit();
    void showPreferences();
    void showDonation();
    // The Fill Covers in Folder window for a library (or some folders of
    // it), ready to start.
    FillWindow* showFillWindow(const QByteArray& library, const QList<QByteArray>& folders = {});
    FillWindow* showFillWindow(const FillOptions& options);
    // Music to find covers for (dropped, named at start, sent over D-Bus):
    // one album is searched, several open the Fill window, anything else
    // gets a hint. Tags are read off the GUI thread.
    void openMusic(const QList<QByteArray>& paths, const QStringList& refused = {});

Q_SIGNALS:
    // The read-out was rewritten (tests wait on this).
    void cacheReadoutRefreshed();
    // Opened music was searched, handed to a Fill window or hinted at.
    void musicOpened();

private:
    QAction* action(const char* name) const;
    // `size`: the window's own; its size hint when empty.
    void centreOnMainWindow(QWidget* window, QSize size = {}) const;
    void updateWindowMenu();
    static QString musicFolder();
    // Escape and Ctrl+W close the window, as in other desktop applications.
    static void closeOnEscape(QWidget* window);

    AppContext& m_context;
    MainWindow* m_window;
    // Tells a tag read under way that the application quits.
    std::shared_ptr<std::atomic<bool>> m_quitting = std::make_shared<std::atomic<bool>>(false);
    QMenu* m_shareMenu = nullptr;
    QAction* m_cacheCountSize = nullptr;
    QPointer<PreferencesDialog> m_preferences;
    QPointer<DonateDialog> m_donation;
    QList<QPointer<FillWindow>> m_fillWindows;
    QList<QAction*> m_windowItems; // the Window menu's items for them
};

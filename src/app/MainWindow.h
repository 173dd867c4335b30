#pragma once

#include <QMainWindow>
#include <QTimer>

#include <memory>

namespace Ui {
class MainWindow;
}
class AppContext;
class CoverPane;
class Settings;
class SearchPane;

// The main window: the search pane on the left, the cover pane on the right;
// music dropped anywhere on it is handed on (musicDropped).
// It does the start-up work, and keeps the window's frame: restored when the
// window is first shown, saved after moves and resizes, and put back to the
// default 700 by 525 centred on request.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kDefaultWidth = 700;
    static constexpr int kDefaultHeight = 525;
    static constexpr int kMinimumHeight = 440;

    explicit MainWindow(AppContext& context, QWidget* parent = nullptr);
    ~MainWindow() override;

    SearchPane* searchPane() const;
    CoverPane* coverPane() const;

public Q_SLOTS:
    void restoreWindowToDefaultSize();

public:
    // The default frame for a screen area: 700 by 525 centred on it, fitted.
    static QRect defaultFrame(const QRect& availableGeometry);
    // `frame` moved into `area`, and shrunk where it is larger.
    static QRect fittedFrame(QRect frame, const QRect& area);
    // The screen's area less the room a window manager's title bar takes.
    QRect usableArea(const QRect& availableGeometry) const;
    // Moves (and shrinks) `window` so that its frame, title bar and borders
    // included, is on its screen.
    static void keepFrameOnScreen(QWidget* window);

Q_SIGNALS:
    // Files or folders dropped from a file manager: the paths the file system
    // has, and what named no local file.
    void musicDropped(const QList<QByteArray>& paths, const QStringList& refused);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The saved frame, fitted into this screen; else the default one.
    void restoreFrame();
    void saveFrame();

    Settings& m_settings;
    std::unique_ptr<Ui::MainWindow> m_ui;
    SearchPane* m_searchPane = nullptr;
    CoverPane* m_coverPane = nullptr;
    QTimer m_saveTimer;
    bool m_appeared = false;
};

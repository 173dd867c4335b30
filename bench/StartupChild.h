#pragma once

// The start-up measure of the application benchmark: the program starts
// itself in a child mode that shows the window (or a bare window of the same
// kinds of widgets, the floor) and reports its first paint.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "library/AppContext.h"
#include "ui/common/AppStyle.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QTableView>
#include <QVBoxLayout>

#include <cstdio>
#include <cstdlib>

namespace StartupChild {

// Child mode: start the application's window and report its first paint.
class FirstPaint : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            std::printf("painted\n");
            std::fflush(stdout);
            std::_Exit(0);
        }
        return QObject::eventFilter(watched, event);
    }
};

inline int runStartupChild(int argc, char* argv[]) {
    QApplication app(argc, argv);
    AppStyle::install(); // as main() does
    AppContext context;
    MainWindow window(context);
    Application delegate(context, &window);
    FirstPaint filter;
    window.installEventFilter(&filter);
    window.show();
    return QApplication::exec();
}

// The floor for a start: a bare window of the same kinds of widgets.
inline int runBareChild(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLineEdit);
    for (int i = 0; i < 3; ++i) {
        layout->addWidget(new QComboBox);
    }
    layout->addWidget(new QTableView);
    window.resize(700, 525);
    FirstPaint filter;
    window.installEventFilter(&filter);
    window.show();
    return QApplication::exec();
}

// Milliseconds from starting this program in `mode` to its first paint.
inline double startTime(const char* program, const char* mode) {
    QElapsedTimer clock;
    clock.start();
    QProcess child;
    child.start(QString::fromLocal8Bit(program), {QLatin1String(mode)});
    child.waitForFinished(10000);
    if (!child.readAllStandardOutput().contains("painted")) {
        std::fprintf(stderr, "the window did not paint\n");
        std::exit(1);
    }
    return clock.nsecsElapsed() / 1e6;
}

} // namespace StartupChild

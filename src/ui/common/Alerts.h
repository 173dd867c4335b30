#pragma once

#include <QCoreApplication>
#include <QString>

class QMessageBox;
class QObject;
class QWidget;

class Alerts {
    Q_DECLARE_TR_FUNCTIONS(Alerts)
public:
    Alerts() = delete;

    // An alert with the common title and button and `informativeText`.
    static QMessageBox* alert(const QString& informativeText, bool warning = false);

    // Shows `alert` as a window-modal sheet on the window of `pane` without
    // waiting for it. When the pane is in no visible window, nothing is shown
    // and the alert is deleted. True when shown.
    static bool showSheet(QMessageBox* alert, QWidget* pane);
};

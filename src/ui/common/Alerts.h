#pragma once

#include <QString>

class QMessageBox;
class QObject;
class QWidget;

// The frame of every alert the application shows.
namespace AlertTexts {
inline const QString title = QStringLiteral("Whoops…");
inline const QString okButton = QStringLiteral("OK");
} // namespace AlertTexts

class Alerts {
public:
    Alerts() = delete;

    // An alert with the common title and button and `informativeText`.
    static QMessageBox* alert(const QString& informativeText, bool warning = false);

    // Shows `alert` as a window-modal sheet on the window of `pane` without
    // waiting for it. When the pane is in no visible window, nothing is shown
    // and the alert is deleted. True when shown.
    static bool showSheet(QMessageBox* alert, QWidget* pane);
};

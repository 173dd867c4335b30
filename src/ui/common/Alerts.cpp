#include "Alerts.h"

#include <QMessageBox>
#include <QMetaObject>
#include <QPushButton>

QMessageBox* Alerts::alert(const QString& informativeText, bool warning) {
    auto* box = new QMessageBox();
    box->setIcon(warning ? QMessageBox::Warning : QMessageBox::Information);
    box->setWindowTitle(AlertTexts::title);
    box->setText(AlertTexts::title);
    box->setInformativeText(informativeText);
    box->addButton(AlertTexts::okButton, QMessageBox::AcceptRole);
    return box;
}

bool Alerts::showSheet(QMessageBox* alert, QWidget* pane) {
    QWidget* window = pane ? pane->window() : nullptr;
    if (!window || !window->isVisible()) {
        delete alert;
        return false;
    }
    alert->setParent(window, alert->windowFlags() | Qt::Sheet | Qt::Dialog);
    alert->setWindowModality(Qt::WindowModal);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->open();
    return true;
}

#include "ui/common/Alerts.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QMetaObject>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

QMessageBox* Alerts::alert(const QString& informativeText, bool warning) {
    auto* box = new QMessageBox();
    box->setIcon(warning ? QMessageBox::Warning : QMessageBox::Information);
    //: The title of every alert.
    const QString title = tr("Whoops…");
    box->setWindowTitle(title);
    box->setText(title);
    box->setInformativeText(informativeText);
    box->addButton(tr("OK"), QMessageBox::AcceptRole);
    // Left to itself the box fits its short title and wraps a sentence into a
    // tall narrow column; a line of about 60 characters reads as a desktop's
    // alerts do, on screens that have room for it.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        const int room = box->screen()->availableGeometry().width() / 2;
        const int width = std::min(box->fontMetrics().averageCharWidth() * 60, room);
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
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

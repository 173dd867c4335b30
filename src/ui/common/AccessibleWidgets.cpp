#include "ui/common/AccessibleWidgets.h"

#include "ui/common/ImageView.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPointer>

namespace {

// The focused widget an announcement was added to, so that the next one (or
// its end) replaces it rather than a description of the widget's own.
QPointer<QWidget>& announcedOn() {
    static QPointer<QWidget> widget;
    return widget;
}

QHash<const QObject*, QAccessible::Role>& assignedRoles() {
    static QHash<const QObject*, QAccessible::Role> roles;
    return roles;
}

// A picker: its name is its accessible name, its value the current choice
// (or what is typed into it); the open list is its one child, as with Qt's own
// combo box, and its text field is named on its own.
class PickerInterface : public QAccessibleWidget {
public:
    explicit PickerInterface(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {
        addControllingSignal(QStringLiteral("activated(int)"));
    }
    QComboBox* box() const { return static_cast<QComboBox*>(object()); }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) {
            return box()->isEditable() ? box()->lineEdit()->text() : box()->currentText();
        }
        return QAccessibleWidget::text(kind);
    }
    QList<QWidget*> parts() const {
        QList<QWidget*> parts{box()->view()};
        if (box()->isEditable()) {
            parts << box()->lineEdit();
        }
        return parts;
    }
    int childCount() const override { return int(parts().size()); }
    QAccessibleInterface* child(int index) const override {
        return QAccessible::queryAccessibleInterface(parts().value(index));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child ? int(parts().indexOf(qobject_cast<QWidget*>(child->object()))) : -1;
    }
    QStringList actionNames() const override {
        return QStringList{showMenuAction()} << QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name == showMenuAction() || name == pressAction()) {
            box()->showPopup();
        } else {
            QAccessibleWidget::doAction(name);
        }
    }
};

// The tab stops of a layout, in its order; a container's own in its place.
void collectTabStops(const QLayout* layout, QList<QWidget*>& stops) {
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (QWidget* widget = item->widget()) {
            if (widget->focusPolicy() & Qt::TabFocus) {
                stops << widget;
            } else if (widget->layout()) {
                collectTabStops(widget->layout(), stops);
            }
        } else if (item->layout()) {
            collectTabStops(item->layout(), stops);
        }
    }
}

// A label in a role of its own (a status line): named by its text.
class LabelInterface : public QAccessibleWidget {
public:
    LabelInterface(QLabel* label, QAccessible::Role role) : QAccessibleWidget(label, role) {}
    QString text(QAccessible::Text kind) const override {
        const QString own = QAccessibleWidget::text(kind);
        return kind == QAccessible::Name && own.isEmpty() ? static_cast<QLabel*>(object())->text()
                                                          : own;
    }
};

QAccessibleInterface* interfaceFor(const QString&, QObject* object) {
    if (auto* view = qobject_cast<ImageView*>(object)) {
        return new QAccessibleWidget(view, QAccessible::Graphic);
    }
    auto* box = qobject_cast<QComboBox*>(object);
    if (box && !box->accessibleName().isEmpty()) {
        return new PickerInterface(box);
    }
    if (const auto role = assignedRoles().constFind(object); role != assignedRoles().cend()) {
        if (auto* label = qobject_cast<QLabel*>(object)) {
            return new LabelInterface(label, *role);
        }
        return new QAccessibleWidget(static_cast<QWidget*>(object), *role);
    }
    return nullptr;
}

} // namespace

namespace AccessibleWidgets {

void install() {
    static const bool installed = [] {
        QAccessible::installFactory(interfaceFor);
        return true;
    }();
    Q_UNUSED(installed)
}

void setRole(QWidget* widget, QAccessible::Role role) {
    assignedRoles().insert(widget, role);
    QObject::connect(widget, &QObject::destroyed, [widget] { assignedRoles().remove(widget); });
}

void describe(QWidget* where, const QString& text) {
    // Qt sends DescriptionChanged for a new description.
    if (where->accessibleDescription() != text) {
        where->setAccessibleDescription(text);
    }
}

} // namespace AccessibleWidgets

void AccessibleWidgets::announce(QWidget* where, const QString& text) {
    describe(where, text);
    QWidget* focus = QApplication::focusWidget();
    if (announcedOn() && announcedOn() != focus) {
        describe(announcedOn(), QString());
        announcedOn() = nullptr;
    }
    if (focus && focus != where && focus->window() == where->window() &&
        (focus->accessibleDescription().isEmpty() || focus == announcedOn())) {
        describe(focus, text);
        announcedOn() = text.isEmpty() ? nullptr : focus;
    }
}

void AccessibleWidgets::tabInReadingOrder(QWidget* window) {
    QList<QWidget*> stops;
    if (window->layout()) {
        collectTabStops(window->layout(), stops);
    }
    for (qsizetype i = 1; i < stops.size(); ++i) {
        QWidget::setTabOrder(stops[i - 1], stops[i]);
    }
}

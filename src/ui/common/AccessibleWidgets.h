#pragma once

#include <QAccessible>

class QWidget;

// What Qt's own accessible interfaces do not say about our widgets, for
// screen readers: pictures are images, our windows say whether they are
// dialogs or frames, and a picker is named by what it chooses, with its
// choice as its value (Qt names a combo box on Linux by its current text).
namespace AccessibleWidgets {

// Asks Qt to build our widgets' interfaces (once; again does nothing).
void install();

// The role a widget of ours has for screen readers: Dialog or Window for a
// window, StatusBar for a label that says how things stand.
void setRole(QWidget* widget, QAccessible::Role role);

// Says `text` in place of content that is painted or missing: it becomes
// the description of `where` (a list, say), and a screen reader following
// that widget hears of the change.
void describe(QWidget* where, const QString& text);

// Says a status (saved, failed, a search's end) where it appears: as the
// description of `where` and of the widget that has the keyboard focus in its
// window, which is what a screen reader is following; an empty text ends it.
void announce(QWidget* where, const QString& text);

// Tab moves through `window`'s controls as its layouts place them: row by row,
// and along each row in reading order.
void tabInReadingOrder(QWidget* window);

} // namespace AccessibleWidgets

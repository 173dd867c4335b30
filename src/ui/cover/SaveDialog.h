#pragma once

#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class QFileDialog;
class QWidget;

// The Save Cover As… dialog.
namespace SaveDialog {

using Answer = std::function<void(std::optional<QString> path)>;
using Asker = std::function<void(QWidget* window, const QString& suggestedName, Answer done)>;

// Asks where to save, window-modal, starting in `lastFolder` (the Downloads
// folder when there is none): `done` gets the chosen path, or none when the
// user cancelled.
void ask(QWidget* window, const QString& suggestedName, const QUrl& lastFolder, Answer done);
// Tests answer in the dialog's place; an empty asker brings the dialog back.
void setAskerForTesting(Asker asker);

// The dialog: JPEG files, ".jpg" added to a bare name, in `lastFolder`,
// large enough to read its columns. Not shown yet.
QFileDialog* make(QWidget* window, const QString& suggestedName, const QUrl& lastFolder);

} // namespace SaveDialog

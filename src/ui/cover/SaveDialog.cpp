#include "ui/cover/SaveDialog.h"

#include "platform/UserPaths.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>

namespace SaveDialog {

namespace {

Asker& askerOverride() {
    static Asker asker;
    return asker;
}

} // namespace

void setAskerForTesting(Asker asker) {
    askerOverride() = std::move(asker);
}

QFileDialog* make(QWidget* window, const QString& suggestedName, const QUrl& last) {
    auto* dialog =
        new QFileDialog(window, QCoreApplication::translate("SaveDialog", "Save Cover As…"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(QCoreApplication::translate("SaveDialog", "JPEG image (*.jpg *.jpeg)"));
    dialog->setDefaultSuffix(QStringLiteral("jpg"));
    // Where the user saved last; the Downloads folder the first time.
    dialog->setDirectory(last.isLocalFile() && QFileInfo(last.toLocalFile()).isDir()
                             ? last.toLocalFile()
                             : UserPaths::downloadsDirectory());
    dialog->selectFile(suggestedName);
    dialog->resize(860, 560); // room for the columns to be read
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    return dialog;
}

void ask(QWidget* window, const QString& suggestedName, const QUrl& lastFolder, Answer done) {
    if (askerOverride()) {
        askerOverride()(window, suggestedName, std::move(done));
        return;
    }
    QFileDialog* dialog = make(window, suggestedName, lastFolder);
    auto answered = std::make_shared<bool>(false);
    QObject::connect(dialog, &QFileDialog::fileSelected, dialog,
                     [done, answered](const QString& path) {
                         *answered = true;
                         done(path);
                     });
    QObject::connect(dialog, &QDialog::finished, dialog, [done, answered](int) {
        if (!*answered) {
            *answered = true;
            done(std::nullopt);
        }
    });
    dialog->open();
}

} // namespace SaveDialog

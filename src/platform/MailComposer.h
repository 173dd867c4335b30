#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>

class DesktopServices;

// Opens a new, prepared message in the user's mail application; the user
// writes and sends it.
class MailComposer {
public:
    virtual ~MailComposer() = default;
    // `done` runs on the GUI thread: false when no way to write mail opened.
    virtual void compose(const QStringList& recipients, const QString& subject, const QString& body,
                         std::function<void(bool opened)> done) = 0;

    // The desktop's own way to write mail: its portal, xdg-email, else a
    // mailto: link opened through `desktop`.
    static std::unique_ptr<MailComposer> system(DesktopServices& desktop);

    // The mailto: form of a message, the last resort.
    static QUrl mailtoUrl(const QStringList& recipients, const QString& subject,
                          const QString& body);
};

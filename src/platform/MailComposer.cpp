#include "platform/MailComposer.h"

#include "platform/DesktopPortal.h"
#include "platform/DesktopServices.h"

#include <QCoreApplication>
#include <QThreadPool>

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

class SystemMailComposer : public MailComposer {
public:
    explicit SystemMailComposer(DesktopServices& desktop) : m_desktop(desktop) {}

    void compose(const QStringList& recipients, const QString& subject, const QString& body,
                 std::function<void(bool)> done) override {
        // The portal call may block for seconds: it runs on a worker, and the
        // fallbacks follow there (both only start other programs).
        QThreadPool::globalInstance()->start([recipients, subject, body, done,
                                              desktop = &m_desktop] {
            const QString xdgEmail = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
            if (DesktopPortal::composeEmail(recipients, subject, body) ||
                (!xdgEmail.isEmpty() && DesktopServices::hasMailProgram() &&
                 QProcess::startDetached(xdgEmail, QStringList{QStringLiteral("--subject"), subject,
                                                               QStringLiteral("--body"), body} +
                                                       recipients))) {
                QMetaObject::invokeMethod(QCoreApplication::instance(), [done] {
                    if (done) {
                        done(true);
                    }
                });
                return;
            }
            const QUrl mailto = mailtoUrl(recipients, subject, body);
            QMetaObject::invokeMethod(QCoreApplication::instance(), [mailto, done, desktop] {
                const bool opened = desktop->openUrl(mailto);
                if (done) {
                    done(opened);
                }
            });
        });
    }

private:
    DesktopServices& m_desktop;
};

} // namespace

std::unique_ptr<MailComposer> MailComposer::system(DesktopServices& desktop) {
    return std::make_unique<SystemMailComposer>(desktop);
}

QUrl MailComposer::mailtoUrl(const QStringList& recipients, const QString& subject,
                             const QString& body) {
    QByteArray text = "mailto:";
    QList<QByteArray> addresses;
    for (const QString& recipient : recipients) {
        addresses.append(QUrl::toPercentEncoding(recipient, "@"));
    }
    text += addresses.join(',') + "?subject=" + QUrl::toPercentEncoding(subject) +
            "&body=" + QUrl::toPercentEncoding(body);
    return QUrl::fromEncoded(text, QUrl::StrictMode);
}

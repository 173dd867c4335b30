#include "SendMailHelper.h"

#include "AppConfig.h"
#include "MailComposer.h"

#include <QCoreApplication>

QString SendMailHelper::mailBody(const std::optional<QString>& version,
                                 const std::optional<QString>& build) {
    const QString error = QStringLiteral("ERROR");
    return QStringLiteral("\n\nUsing Sleevanta ") + version.value_or(error) + QStringLiteral(" (") +
           build.value_or(error) + QStringLiteral(")");
}

void SendMailHelper::compose(const QString& subject) {
    const QString version = QCoreApplication::applicationVersion();
    const std::optional<QString> knownVersion =
        version.isEmpty() ? std::nullopt : std::optional<QString>(version);
    const std::optional<QString> knownBuild =
        AppConfig::build.isEmpty() ? std::nullopt : std::optional<QString>(AppConfig::build);
    MailComposer::shared().compose({AppConfig::supportAddress}, subject,
                                   mailBody(knownVersion, knownBuild));
}

void SendMailHelper::composeSuggestionMail() {
    compose(suggestionSubject);
}

void SendMailHelper::composeBugReportMail() {
    compose(bugReportSubject);
}

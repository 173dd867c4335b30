#include "app/FeedbackMail.h"

#include "app/AppConfig.h"
#include "platform/MailComposer.h"

#include <QCoreApplication>

QString FeedbackMail::mailBody(const std::optional<QString>& version,
                               const std::optional<QString>& build) {
    const QString error = QStringLiteral("ERROR");
    return QStringLiteral("\n\nUsing Sleevanta ") + version.value_or(error) + QStringLiteral(" (") +
           build.value_or(error) + QStringLiteral(")");
}

void FeedbackMail::compose(MailComposer& composer, const QString& subject,
                           std::function<void(bool)> done) {
    const QString version = QCoreApplication::applicationVersion();
    const std::optional<QString> knownVersion =
        version.isEmpty() ? std::nullopt : std::optional<QString>(version);
    const std::optional<QString> knownBuild =
        AppConfig::build.isEmpty() ? std::nullopt : std::optional<QString>(AppConfig::build);
    composer.compose({AppConfig::supportAddress}, subject, mailBody(knownVersion, knownBuild),
                     std::move(done));
}

void FeedbackMail::composeSuggestionMail(MailComposer& composer, std::function<void(bool)> done) {
    compose(composer, suggestionSubject, std::move(done));
}

void FeedbackMail::composeBugReportMail(MailComposer& composer, std::function<void(bool)> done) {
    compose(composer, bugReportSubject, std::move(done));
}

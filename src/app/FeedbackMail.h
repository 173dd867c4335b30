#pragma once

#include <QString>

#include <functional>
#include <optional>

class MailComposer;

// The two feedback mails: addressed, with a subject and a body that ends with
// the application's version and build.
class FeedbackMail {
public:
    FeedbackMail() = delete;

    static inline const QString suggestionSubject = QStringLiteral("Sleevanta — Suggestion");
    static inline const QString bugReportSubject = QStringLiteral("Sleevanta — Bug Report");

    // `done` hears whether a way to write the mail opened.
    static void composeSuggestionMail(MailComposer& composer, std::function<void(bool)> done = {});
    static void composeBugReportMail(MailComposer& composer, std::function<void(bool)> done = {});

    // "\n\nUsing Sleevanta <version> (<build>)", "ERROR" for a missing value.
    static QString mailBody(const std::optional<QString>& version,
                            const std::optional<QString>& build);

private:
    static void compose(MailComposer& composer, const QString& subject,
                        std::function<void(bool)> done);
};

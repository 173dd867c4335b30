#pragma once

#include <QString>

#include <functional>
#include <optional>

// The two feedback mails: addressed, with a subject and a body that ends with
// the application's version and build.
class FeedbackMail {
public:
    FeedbackMail() = delete;

    static inline const QString suggestionSubject = QStringLiteral("Sleevanta — Suggestion");
    static inline const QString bugReportSubject = QStringLiteral("Sleevanta — Bug Report");

    // `done` hears whether a way to write the mail opened.
    static void composeSuggestionMail(std::function<void(bool)> done = {});
    static void composeBugReportMail(std::function<void(bool)> done = {});

    // "\n\nUsing Sleevanta <version> (<build>)", "ERROR" for a missing value.
    static QString mailBody(const std::optional<QString>& version,
                            const std::optional<QString>& build);

private:
    static void compose(const QString& subject, std::function<void(bool)> done);
};

#pragma once

#include <QString>

class QMessageBox;
class QObject;
class QWidget;

// The texts of every alert the application shows.
namespace AlertTexts {
inline const QString title = QStringLiteral("Whoops…");
inline const QString okButton = QStringLiteral("OK");
inline const QString errorPrefix = QStringLiteral("It seems something went wrong in:\n");
inline const QString searchUrl =
    QStringLiteral("Something went wrong while constructing the search URL. Sleevanta is unable "
                   "to obtain search results.");
inline const QString specialCharacters =
    QStringLiteral("Certain special characters are not supported by the iTunes Search API. "
                   "Please try removing or replacing them.");
inline const QString noResults =
    QStringLiteral("We have tried really hard, but couldn't find anything. Try searching the "
                   "iTunes Store in a different country, or change one of the search terms to "
                   "retrieve new results.");
inline const QString offline =
    QStringLiteral("Sleevanta could not reach the iTunes Search API. Please check your internet "
                   "connection and try again.");
inline const QString throttled =
    QStringLiteral("The iTunes Search API is receiving too many searches from this computer. "
                   "Please wait a minute and try again.");
inline const QString unavailable =
    QStringLiteral("The iTunes Store is not answering right now. Please try again in a few "
                   "minutes.");
} // namespace AlertTexts

class AlertHelper {
public:
    AlertHelper() = delete;

    // "Whoops…" with the body "It seems something went wrong in:\n<class>.<place>"
    // and one "OK" button; not shown yet, owned by the caller.
    static QMessageBox* errorAlert(const QString& className, const QString& place);

    // An alert with the common title and button and `informativeText`.
    static QMessageBox* alert(const QString& informativeText, bool warning = false);

    // The class name as "Sleevanta.<class>".
    static QString qualifiedClassName(const QObject* object);

    // Shows `alert` as a window-modal sheet on the window of `pane` without
    // waiting for it. When the pane is in no visible window, nothing is shown
    // and the alert is deleted. True when shown.
    static bool showSheet(QMessageBox* alert, QWidget* pane);
};

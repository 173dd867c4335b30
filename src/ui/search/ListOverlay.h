#pragma once

#include <QWidget>

class ActivityIndicator;
class QLabel;
class QPushButton;

// What the results list says over its own rows: "Searching…" with a spinner
// while a search runs, a failed search's reason with Try Again, or a message
// (no results, a hint about something dropped) in the middle of an empty
// list. Rows that a search is replacing, or that a failed search left, are
// dimmed beneath it: the words never sit on a row's text, and old results
// never look current. Covers its view, following its size.
class ListOverlay : public QWidget {
    Q_OBJECT
public:
    explicit ListOverlay(QWidget* viewport);

    // `overRows`: the list shows rows, which are dimmed.
    void showSearching(bool overRows);
    void showFailure(const QString& text, bool overRows);
    void showMessage(const QString& text);
    void clear();
    // The text shown without the spinner: a message or a failure.
    QString message() const;
    bool isSearching() const;
    bool isDimming() const { return m_dim; }
    QPushButton* tryAgainButton() const { return m_tryAgain; }

Q_SIGNALS:
    void tryAgainRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* list() const;
    void showText(const QString& text, bool searching, bool failure, bool overRows);

    ActivityIndicator* m_indicator;
    QLabel* m_text;
    QPushButton* m_tryAgain;
    bool m_dim = false;
};

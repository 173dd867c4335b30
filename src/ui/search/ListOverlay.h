#pragma once

#include <QWidget>

class ActivityIndicator;
class QLabel;

// What the results list says over its own rows: "Searching…" with a spinner
// while a search runs, or a message (no results, a hint about something
// dropped) in the middle of an empty list. Follows its view's size.
class ListOverlay : public QWidget {
    Q_OBJECT
public:
    explicit ListOverlay(QWidget* viewport);

    void showSearching();
    void showMessage(const QString& text);
    void clear();
    QString message() const;
    bool isSearching() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();

    ActivityIndicator* m_indicator;
    QLabel* m_text;
};

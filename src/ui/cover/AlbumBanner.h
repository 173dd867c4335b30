#pragma once

#include "library/AlbumScanner.h"

#include <QFrame>

#include <optional>

class QAction;
class QLabel;
class QPushButton;

// While the main window searches for a library album's cover (Search by
// Hand): which album it is for, its two actions as buttons, what the last
// of them did (until the next), and a way back to plain searching.
class AlbumBanner : public QFrame {
    Q_OBJECT
public:
    AlbumBanner(QAction* saveInto, QAction* embedInto, QWidget* parent = nullptr);

    // Shown for an album, hidden without one.
    void showAlbum(const std::optional<AlbumFolder>& album);
    void showOutcome(const QString& text);
    QString outcome() const;
    QString title() const;

Q_SIGNALS:
    void leaveRequested();

private:
    QPushButton* buttonFor(QAction* action);

    QLabel* m_title;
    QLabel* m_outcome;
};

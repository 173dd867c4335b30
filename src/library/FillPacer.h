#pragma once

#include "sources/CoverSource.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// The pace of a run's catalogue requests: never two closer than the interval,
// and, when the catalogue asks for a break, the source's back-off waits in
// turn, counted down second by second.
class FillPacer : public QObject {
    Q_OBJECT
public:
    FillPacer(int intervalMs, const SourceEtiquette& etiquette, QObject* parent = nullptr);

    // Whether a request may go now; when not, ready() follows once it may.
    bool mayAskNow();
    // A request went.
    void asked();
    // Whether a wait is under way.
    bool isWaiting() const;
    // Waits out the rate limit before the next request, then says ready();
    // false when every wait is spent.
    bool backOff();
    // The catalogue answered: the waits start again from the shortest.
    void answered();
    // No more waiting.
    void stop();

Q_SIGNALS:
    void ready();
    void waiting(int seconds, const QString& why);

private:
    void countDown();

    int m_intervalMs;
    QList<int> m_backOffs; // in intervals
    int m_backOffsTaken = 0;
    QElapsedTimer m_lastRequest;
    QTimer m_interval;
    QTimer m_backOff;
    QTimer m_countdown;
    int m_secondsLeft = 0;
};

#include "library/FillPacer.h"

FillPacer::FillPacer(int intervalMs, const SourceEtiquette& etiquette, QObject* parent)
    : QObject(parent), m_intervalMs(intervalMs), m_backOffs(etiquette.backOffs) {
    for (QTimer* timer : {&m_interval, &m_backOff}) {
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer); // pacing is "at least": never early
    }
    connect(&m_interval, &QTimer::timeout, this, &FillPacer::ready);
    connect(&m_backOff, &QTimer::timeout, this, [this] {
        m_countdown.stop();
        m_lastRequest.invalidate();
        Q_EMIT ready();
    });
    m_countdown.setInterval(1000);
    connect(&m_countdown, &QTimer::timeout, this, &FillPacer::countDown);
}

bool FillPacer::mayAskNow() {
    if (isWaiting()) {
        return false;
    }
    const qint64 waited = m_lastRequest.isValid() ? m_lastRequest.elapsed() : m_intervalMs;
    if (waited < m_intervalMs) {
        m_interval.start(int(m_intervalMs - waited));
        return false;
    }
    return true;
}

void FillPacer::asked() {
    m_lastRequest.start();
}

bool FillPacer::isWaiting() const {
    return m_interval.isActive() || m_backOff.isActive();
}

bool FillPacer::backOff() {
    if (m_backOffsTaken >= m_backOffs.size()) {
        return false;
    }
    const qint64 waitMs = qint64(m_backOffs[m_backOffsTaken++]) * m_intervalMs;
    m_secondsLeft = int((waitMs + 999) / 1000);
    Q_EMIT waiting(m_secondsLeft, tr("the catalogue asks us to slow down"));
    m_countdown.start();
    m_backOff.start(std::chrono::milliseconds(waitMs));
    return true;
}

void FillPacer::answered() {
    m_backOffsTaken = 0;
}

void FillPacer::stop() {
    m_interval.stop();
    m_backOff.stop();
    m_countdown.stop();
}

void FillPacer::countDown() {
    if (--m_secondsLeft > 0) {
        Q_EMIT waiting(m_secondsLeft, tr("the catalogue asks us to slow down"));
    }
}

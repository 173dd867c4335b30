#pragma once

// What the benchmarks share: a meter for how long the GUI thread was kept
// busy, medians, and running an asynchronous job to completion.
#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <vector>

// Ticks every 2 ms; the largest gap minus the interval is the longest stretch
// the event loop was blocked.
class StallMeter {
public:
    StallMeter() {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(2);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            if (m_last >= 0) {
                m_worst = std::max(m_worst, now - m_last);
            }
            m_last = now;
        });
    }
    void start() {
        m_worst = 0;
        m_last = -1;
        m_clock.start();
        m_timer.start();
    }
    double stopMs() {
        m_timer.stop();
        return std::max<qint64>(0, m_worst - 2000000) / 1e6;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = -1;
    qint64 m_worst = 0;
};

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs `start` (which calls its argument when done) under the stall meter;
// returns the stall and stores the elapsed time.
inline double runMeasured(StallMeter& meter,
                          const std::function<void(std::function<void()>)>& start,
                          double* elapsedMs) {
    QElapsedTimer clock;
    bool done = false;
    meter.start();
    clock.start();
    start([&] { done = true; });
    while (!done) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    *elapsedMs = clock.nsecsElapsed() / 1e6;
    return meter.stopMs();
}

// A photograph-like cover: smooth gradients with noise, so JPEG has work to do.
inline QByteArray jpegOfSide(int side) {
    QImage image(side, side, QImage::Format_RGB32);
    auto* random = QRandomGenerator::global();
    for (int y = 0; y < side; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < side; ++x) {
            const int noise = int(random->bounded(24));
            line[x] = qRgb((x * 255 / side + noise) & 255, (y * 255 / side + noise) & 255,
                           ((x + y) * 127 / side + noise) & 255);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(92);
    writer.write(image);
    return bytes;
}

inline qint64 peakRssKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').first().toLongLong();
        }
    }
    return -1;
}

// Starts the high-water mark afresh from the current use.
inline void resetPeakRss() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) {
        clear.write("5");
    }
}

#include "ui/common/ActivityIndicator.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

ActivityIndicator::ActivityIndicator(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_timer.setInterval(80);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % kSteps;
        update();
    });
    hide();
}

void ActivityIndicator::startAnimatingIndicator() {
    show();
    raise();
    m_timer.start();
}

void ActivityIndicator::stopAnimatingIndicator() {
    m_timer.stop();
    hide();
}

void ActivityIndicator::paintSpinner(QPainter& painter, const QRectF& rect, int step,
                                     const QColor& color) {
    const double side = std::min(rect.width(), rect.height());
    if (side <= 0) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect.center());
    const double outer = side / 2.0;
    const double inner = outer * 0.45;
    QPen pen(color);
    pen.setWidthF(std::max(1.5, side / 10.0));
    pen.setCapStyle(Qt::RoundCap);
    for (int i = 0; i < kSteps; ++i) {
        // The spoke at `step` is darkest; the ones behind it fade out.
        const int age = (step - i + kSteps) % kSteps;
        QColor spoke = color;
        spoke.setAlphaF(color.alphaF() * (1.0 - age / double(kSteps)) * 0.85 + 0.15);
        pen.setColor(spoke);
        painter.setPen(pen);
        const double angle = 2.0 * M_PI * i / kSteps;
        const QPointF direction(std::sin(angle), -std::cos(angle));
        painter.drawLine(direction * inner, direction * (outer - pen.widthF() / 2));
    }
    painter.restore();
}

void ActivityIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintSpinner(painter, rect(), m_step, palette().color(QPalette::WindowText));
}

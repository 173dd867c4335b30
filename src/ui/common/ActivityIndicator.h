#pragma once

#include <QTimer>
#include <QWidget>

// A small spinning indicator shown over a row or a view while its image loads.
// Hidden while stopped.
class ActivityIndicator : public QWidget {
    Q_OBJECT
public:
    explicit ActivityIndicator(QWidget* parent = nullptr);

    void startAnimatingIndicator();
    void stopAnimatingIndicator();
    bool isAnimating() const { return m_timer.isActive(); }

    // Paints the indicator at `step` (0-11) into `rect`; shared with row
    // delegates that draw without a widget.
    static void paintSpinner(QPainter& painter, const QRectF& rect, int step, const QColor& color);
    static constexpr int kSteps = 12;

    QSize sizeHint() const override { return {20, 20}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer m_timer;
    int m_step = 0;
};

#include "ui/common/AppStyle.h"

#include "ui/common/AppIcon.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOption>
#include <QWidget>

namespace {

// A double chevron pointing right or down, in the text colour.
QIcon overflowIcon(bool vertical, const QColor& color) {
    return AppIcon::drawnIcon([vertical, color](QPainter& p) {
        if (vertical) {
            p.translate(16, 0);
            p.rotate(90);
        }
        p.setPen(QPen(color, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        for (qreal x : {4.0, 8.5}) {
            const QPointF chevron[] = {{x, 4}, {x + 3.5, 8}, {x, 12}};
            p.drawPolyline(chevron, 3);
        }
    });
}

} // namespace

QIcon AppStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                             const QWidget* widget) const {
    const QPalette palette = widget ? widget->palette() : QApplication::palette();
    switch (icon) {
    case SP_LineEditClearButton:
        return AppIcon::clearIcon();
    case SP_ToolBarHorizontalExtensionButton:
    case SP_ToolBarVerticalExtensionButton:
        return overflowIcon(icon == SP_ToolBarVerticalExtensionButton,
                            palette.color(QPalette::ButtonText));
    default:
        return QProxyStyle::standardIcon(icon, option, widget);
    }
}

void AppStyle::install() {
    QApplication::setStyle(new AppStyle(QApplication::style()->name()));
}

void AppStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                             QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    const bool indicator = element == PE_IndicatorCheckBox || element == PE_IndicatorRadioButton;
    if (!indicator || option->palette.color(QPalette::Window).lightness() >= 128) {
        return;
    }
    QColor border = option->palette.color(QPalette::Text);
    border.setAlpha(option->state & State_Enabled ? 150 : 70);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, element == PE_IndicatorRadioButton);
    painter->setPen(border);
    painter->setBrush(Qt::NoBrush);
    const QRectF box = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
    if (element == PE_IndicatorRadioButton) {
        painter->drawEllipse(box);
    } else {
        painter->drawRect(box);
    }
    painter->restore();
}

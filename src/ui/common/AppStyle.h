#pragma once

#include <QProxyStyle>

// The platform's style with the few standard icons the main window shows at
// once (the search field's clear button, the menu bar's overflow arrow) drawn
// in code: the style's own come from image files, and reading the first image
// file loads every image-format plugin, which would double the start-up time.
class AppStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
    // Check boxes and radio buttons get a border that shows on a dark palette,
    // where the style draws it in a shade of the window's own colour.
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

    // Puts the style over the application's current one.
    static void install();
};

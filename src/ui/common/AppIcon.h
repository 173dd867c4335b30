#pragma once

#include <QIcon>
#include <QImage>

#include <functional>

class QPainter;

// Sleevanta's icon: a record sliding out of its sleeve. The same drawing
// gives the window icon and the PNG files installed into the icon theme.
namespace AppIcon {

QImage image(int size);
QIcon icon();

// The search field's clear button: a round grey badge with a cross. Drawn,
// so that showing it loads no icon theme (and with it every image plugin) at
// start-up.
QIcon clearIcon();

// A small icon drawn at 16 and 32 pixels: `draw` paints on a 16-unit square.
QIcon drawnIcon(const std::function<void(QPainter&)>& draw);

} // namespace AppIcon

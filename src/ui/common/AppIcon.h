#pragma once

#include <QIcon>
#include <QImage>

// Sleevanta's icon: a record sliding out of its sleeve. The same drawing
// gives the window icon and the PNG files installed into the icon theme.
namespace AppIcon {

QImage image(int size);
QIcon icon();

} // namespace AppIcon

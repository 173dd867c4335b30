#pragma once

#include <QRect>
#include <QSize>

#include <cmath>

namespace ImageGeometry {

// Where an image of `image` size is drawn in a view of `bounds` size: scaled
// down to fit, never enlarged, centred, in whole units. Empty without an image.
inline QRect displayedImageRect(const QSizeF& bounds, const QSizeF& image) {
    if (image.isEmpty()) {
        return {};
    }
    const double w = image.width();
    const double h = image.height();
    const double W = bounds.width();
    const double H = bounds.height();
    const double scale = (w < W && h < H) ? 1.0 : std::min(W / w, H / h);
    const double dw = std::floor(scale * w + 0.5);
    const double dh = std::floor(scale * h + 0.5);
    const double x = std::floor((W - dw) * 0.5 + 0.5);
    const double y = std::floor((H - dh) * 0.5 + 0.5);
    return QRect(int(x), int(y), int(dw), int(dh));
}

} // namespace ImageGeometry

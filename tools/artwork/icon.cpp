#include <QPainter>
#include <cmath>

#include "artwork.h"

namespace artwork {

QImage renderIcon(int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // A whole-pixel margin keeps the tile's straight edges on pixel boundaries at every size.
    const int margin = std::max(1, static_cast<int>(std::lround(side / 32.0)));
    drawMark(painter, QRectF(margin, margin, side - 2 * margin, side - 2 * margin));
    return image;
}

}  // namespace artwork

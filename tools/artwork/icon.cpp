#include <QPainter>

#include "artwork.h"

namespace artwork {

QImage renderIcon() {
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawMark(painter, QRectF(1, 1, 30, 30));
    return image;
}

}  // namespace artwork

#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>

#include "artwork.h"

namespace artwork {

namespace {

const QColor kMarkTop(0x2a, 0x6f, 0xbd);
const QColor kMarkBottom(0x0e, 0x3a, 0x70);
const QColor kAccent(0xf3, 0x9c, 0x12);

}  // namespace

void drawMark(QPainter& painter, const QRectF& square) {
    painter.save();
    const qreal side = square.width();

    QLinearGradient fill(square.topLeft(), square.bottomLeft());
    fill.setColorAt(0.0, kMarkTop);
    fill.setColorAt(1.0, kMarkBottom);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(square, side * 0.2, side * 0.2);

    // A broadcast mast sending waves both ways: the transmitter talking to its bus.
    const auto at = [&](qreal x, qreal y) {
        return QPointF(square.left() + side * x, square.top() + side * y);
    };
    const QPointF tip = at(0.50, 0.35);
    const qreal stroke = side * 0.075;

    // Below about 28 pixels two waves a side melt into one grey blur with the mast's tip, so a
    // small mark keeps only the outer wave, at least one and a half pixels wide, and a stouter
    // mast.
    const bool small = side < 28;
    const qreal halfBase = small ? 0.17 : 0.12;
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(tip, side * (small ? 0.12 : 0.08), side * (small ? 0.12 : 0.08));
    painter.drawPolygon(
        QPolygonF({at(0.50, 0.40), at(0.50 + halfBase, 0.85), at(0.50 - halfBase, 0.85)}));
    painter.setBrush(Qt::NoBrush);

    const qreal radii[] = {0.17, 0.29};
    for (int i = small ? 1 : 0; i < 2; ++i) {
        const qreal r = side * (small ? 0.33 : radii[i]);
        painter.setPen(QPen(i == 1 ? kAccent : QColor(Qt::white),
                            small ? std::max(stroke, 1.6) : stroke, Qt::SolidLine, Qt::RoundCap));
        const QRectF arcBox(tip.x() - r, tip.y() - r, 2 * r, 2 * r);
        // Qt angles are in 1/16 degree, counter-clockwise from three o'clock.
        painter.drawArc(arcBox, -40 * 16, 80 * 16);
        painter.drawArc(arcBox, 140 * 16, 80 * 16);
    }
    painter.restore();
}

}  // namespace artwork

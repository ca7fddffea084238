#include "wiring_parts.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace artwork::parts {

void terminal(QPainter& painter, QPointF centre) {
    painter.save();
    const QRectF body(centre.x() - 8, centre.y() - 11, 16, 22);
    painter.setPen(QPen(QColor(0x1d, 0x5e, 0x3a), 1.2));
    painter.setBrush(QColor(0x3a, 0x9d, 0x62));
    painter.drawRoundedRect(body, 2.5, 2.5);
    painter.setPen(QPen(QColor(0x55, 0x5f, 0x68), 1.0));
    painter.setBrush(QColor(0xd9, 0xdd, 0xe1));
    painter.drawEllipse(centre, 5.0, 5.0);
    painter.setPen(QPen(QColor(0x55, 0x5f, 0x68), 1.6));
    painter.drawLine(centre + QPointF(-3.2, 3.2), centre + QPointF(3.2, -3.2));
    painter.restore();
}

void wire(QPainter& painter, std::initializer_list<QPointF> points, const QColor& colour) {
    painter.save();
    painter.setPen(QPen(colour, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(QPolygonF(QList<QPointF>(points)));
    painter.restore();
}

void junction(QPainter& painter, QPointF centre, const QColor& colour) {
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(centre, 4.0, 4.0);
    painter.restore();
}

void text(QPainter& painter, const QRectF& area, const QString& words, const QFont& font,
          const QColor& colour, int alignment) {
    painter.save();
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(area, alignment, words);
    painter.restore();
}

void unit(QPainter& painter, const QRectF& body, qreal bandHeight) {
    painter.save();
    // A soft offset shadow lifts the units off the white page without a heavy frame.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 28));
    painter.drawRoundedRect(body.translated(3, 3), 6, 6);

    QPainterPath outline;
    outline.addRoundedRect(body, 6, 6);
    painter.setBrush(kPanel);
    painter.drawPath(outline);
    if (bandHeight > 0) {
        painter.setClipPath(outline);
        painter.fillRect(QRectF(body.left(), body.top(), body.width(), bandHeight), kNavy);
        painter.setClipping(false);
    }
    painter.setPen(QPen(kInk, 1.6));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline);
    painter.restore();
}

void computer(QPainter& painter, const QRectF& area) {
    painter.save();
    const QRectF monitor(area.left(), area.top(), area.width(), area.height() * 0.74);
    const QRectF screen = monitor.adjusted(6, 6, -6, -6);
    const qreal neckTop = monitor.bottom();
    const qreal baseTop = area.bottom() - 5;
    const qreal centreX = area.center().x();

    painter.setPen(Qt::NoPen);
    painter.setBrush(kInk);
    painter.drawPolygon(
        QPolygonF({QPointF(centreX - 7, neckTop), QPointF(centreX + 7, neckTop),
                   QPointF(centreX + 11, baseTop), QPointF(centreX - 11, baseTop)}));
    painter.drawRoundedRect(QRectF(centreX - 24, baseTop, 48, 5), 2, 2);
    painter.drawRoundedRect(monitor, 5, 5);

    QLinearGradient glass(screen.topLeft(), screen.bottomRight());
    glass.setColorAt(0.0, QColor(0x7c, 0xc4, 0xf2));
    glass.setColorAt(1.0, QColor(0x2a, 0x6f, 0xbd));
    painter.setBrush(glass);
    painter.drawRect(screen);

    // A hint of the console's own window on the screen.
    painter.setBrush(QColor(255, 255, 255, 200));
    const QRectF window = screen.adjusted(8, 7, -8, -7);
    painter.drawRect(window);
    painter.setBrush(kNavy);
    painter.drawRect(QRectF(window.left(), window.top(), window.width(), 5));
    painter.setBrush(QColor(0xc0, 0xc0, 0xc0));
    for (int row = 0; row < 3; ++row) {
        painter.drawRect(
            QRectF(window.left() + 4, window.top() + 9 + row * 7, window.width() * 0.55, 3.5));
    }
    painter.restore();
}

void gauge(QPainter& painter, QPointF centre, qreal radius) {
    painter.save();
    painter.setPen(QPen(kInk, 1.6));
    painter.setBrush(Qt::white);
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(QPen(QColor(0xc0, 0x39, 0x2b), 2.0));
    const QRectF scale(centre.x() - radius + 4, centre.y() - radius + 4, 2 * radius - 8,
                       2 * radius - 8);
    painter.drawArc(scale, 20 * 16, 40 * 16);
    painter.setPen(QPen(kInk, 1.0));
    painter.drawArc(scale, 60 * 16, 100 * 16);
    painter.setPen(QPen(kInk, 2.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre, centre + QPointF(radius * 0.45, -radius * 0.55));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kInk);
    painter.drawEllipse(centre, 2.2, 2.2);
    painter.restore();
}

void stripChart(QPainter& painter, const QRectF& area) {
    painter.save();
    painter.setPen(QPen(kInk, 1.4));
    painter.setBrush(Qt::white);
    painter.drawRect(area);
    painter.setPen(QPen(QColor(0xc8, 0xd3, 0xe0), 0.8));
    for (int i = 1; i < 4; ++i) {
        const qreal y = area.top() + area.height() * i / 4;
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    }
    const QColor traces[] = {QColor(0x8e, 0x44, 0xad), QColor(0x16, 0xa0, 0x85),
                             QColor(0xb9, 0x77, 0x0e)};
    const qreal levels[][5] = {{0.30, 0.22, 0.35, 0.25, 0.20},
                               {0.55, 0.60, 0.48, 0.58, 0.52},
                               {0.80, 0.72, 0.78, 0.68, 0.74}};
    for (int t = 0; t < 3; ++t) {
        QPolygonF trace;
        for (int i = 0; i < 5; ++i) {
            trace << QPointF(area.left() + 3 + (area.width() - 6) * i / 4,
                             area.top() + area.height() * levels[t][i]);
        }
        painter.setPen(QPen(traces[t], 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(trace);
    }
    painter.restore();
}

}  // namespace artwork::parts

#pragma once

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <initializer_list>

class QPainter;

// Drawing pieces of the wiring diagram, kept apart from its layout.
namespace artwork::parts {

inline const QColor kInk(0x2b, 0x36, 0x45);
inline const QColor kNavy(0x16, 0x44, 0x7e);
inline const QColor kPanel(0xee, 0xf1, 0xf5);
inline const QColor kCaption(0x5a, 0x67, 0x78);

// A screw terminal straddling a box edge.
void terminal(QPainter& painter, QPointF centre);
void wire(QPainter& painter, std::initializer_list<QPointF> points, const QColor& colour);
void junction(QPainter& painter, QPointF centre, const QColor& colour);
void text(QPainter& painter, const QRectF& area, const QString& words, const QFont& font,
          const QColor& colour, int alignment);
// A framed unit with an optional dark title band of `bandHeight` pixels.
void unit(QPainter& painter, const QRectF& body, qreal bandHeight = 0);

void computer(QPainter& painter, const QRectF& area);
void gauge(QPainter& painter, QPointF centre, qreal radius);
void stripChart(QPainter& painter, const QRectF& area);

}  // namespace artwork::parts

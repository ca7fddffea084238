#pragma once

#include <QFont>
#include <QImage>
#include <QRectF>

class QPainter;

namespace artwork {

// The pictures must look the same on every machine that regenerates them, so the faces are
// loaded from the DejaVu files directly instead of trusting whatever fontconfig would pick.
bool loadDejaVuFonts();
QFont dejaVu(int pixelSize, bool bold, bool condensed = false);

// The signal mark shared by the logo and the icon, drawn into a square.
void drawMark(QPainter& painter, const QRectF& square);

QImage renderLogo();
QImage renderIcon(int side);
QImage renderWiring();

}  // namespace artwork

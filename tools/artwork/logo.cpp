#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

#include "artwork.h"

namespace artwork {

namespace {

constexpr int kWidth = 649;
constexpr int kHeight = 259;
const QColor kNavy(0x0e, 0x3a, 0x70);
const QColor kAccent(0xf3, 0x9c, 0x12);
const QString kName = "VK630-E";

// The window shows the logo at about a seventh of its size, so the name takes the largest
// size that fits beside the mark.
QFont fittedNameFont(qreal width) {
    int size = 40;
    while (QFontMetricsF(dejaVu(size + 1, true, true)).horizontalAdvance(kName) <= width) {
        ++size;
    }
    return dejaVu(size, true, true);
}

void drawBackground(QPainter& painter) {
    QLinearGradient fill(0, 0, 0, kHeight);
    fill.setColorAt(0.0, QColor(0xff, 0xff, 0xff));
    fill.setColorAt(1.0, QColor(0xe8, 0xee, 0xf5));
    painter.fillRect(QRect(0, 0, kWidth, kHeight), fill);
}

}  // namespace

QImage renderLogo() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    drawBackground(painter);

    const qreal margin = 26;
    const qreal markSide = kHeight - 2 * 40;
    drawMark(painter, QRectF(margin, (kHeight - markSide) / 2, markSide, markSide));

    const qreal textLeft = margin + markSide + 24;
    const qreal textWidth = kWidth - margin - textLeft;
    const QFont nameFont = fittedNameFont(textWidth);
    const QFontMetricsF nameMetrics(nameFont);
    const QRectF nameInk = nameMetrics.tightBoundingRect(kName);

    // Only the name and a two-colour rule: anything finer would be mush at the shown size.
    const qreal barGap = 16;
    const qreal barHeight = 12;
    const qreal blockHeight = nameInk.height() + barGap + barHeight;
    const qreal blockTop = (kHeight - blockHeight) / 2;

    const qreal nameBaseline = blockTop - nameInk.top();
    painter.setFont(nameFont);
    painter.setPen(kNavy);
    painter.drawText(QPointF(textLeft - nameInk.left(), nameBaseline), kName);

    const qreal barTop = blockTop + nameInk.height() + barGap;
    const qreal inkWidth = nameInk.width();
    painter.fillRect(QRectF(textLeft, barTop, inkWidth * 0.30, barHeight), kAccent);
    painter.fillRect(QRectF(textLeft + inkWidth * 0.30 + 6, barTop, inkWidth * 0.70 - 6, barHeight),
                     kNavy);

    return image;
}

}  // namespace artwork

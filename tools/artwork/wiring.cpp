#include <QPainter>

#include "artwork.h"
#include "wiring_parts.h"

namespace artwork {

namespace {

using namespace parts;

constexpr int kWidth = 666;
constexpr int kHeight = 314;

// The transmitter sits in the middle: computer and supply on its left, field bus and current
// loops on its right, so every wire runs straight across without a crossing.
const QRectF kDevice(240, 16, 180, 280);
constexpr qreal kRowA = 88;
constexpr qreal kRowB = 116;
constexpr qreal kRowPower = 214;
constexpr qreal kRowGround = 244;
constexpr qreal kRowOut[] = {172, 202, 232};
constexpr qreal kRowCommon = 262;

const QColor kWireA(0xd3, 0x54, 0x00);
const QColor kWireB(0x1f, 0x6f, 0xd1);
const QColor kWirePower(0xc0, 0x39, 0x2b);
const QColor kWireGround(0x22, 0x22, 0x22);
const QColor kWireOut[] = {QColor(0x8e, 0x44, 0xad), QColor(0x16, 0xa0, 0x85),
                           QColor(0xb9, 0x77, 0x0e)};
const QColor kCable(0x7f, 0x8c, 0x8d);

QFont labelFont() {
    return dejaVu(13, true);
}
QFont captionFont() {
    return dejaVu(11, true);
}

void leftTerminal(QPainter& p, qreal y, const QString& name) {
    terminal(p, QPointF(kDevice.left(), y));
    text(p, QRectF(kDevice.left() + 12, y - 10, 80, 20), name, labelFont(), kInk,
         Qt::AlignLeft | Qt::AlignVCenter);
}

void rightTerminal(QPainter& p, qreal y, const QString& name) {
    terminal(p, QPointF(kDevice.right(), y));
    text(p, QRectF(kDevice.right() - 92, y - 10, 80, 20), name, labelFont(), kInk,
         Qt::AlignRight | Qt::AlignVCenter);
}

void drawDevice(QPainter& p) {
    unit(p, kDevice, 38);
    text(p, QRectF(kDevice.left(), kDevice.top(), kDevice.width(), 38), "VK630-E", dejaVu(21, true),
         Qt::white, Qt::AlignCenter);

    const qreal leftCaption = kDevice.left() + 12;
    const qreal rightCaption = kDevice.right() - 12 - 80;
    text(p, QRectF(leftCaption, 60, 80, 14), "TO PC", captionFont(), kCaption, Qt::AlignLeft);
    text(p, QRectF(rightCaption, 60, 80, 14), "FIELD BUS", captionFont(), kCaption, Qt::AlignRight);
    text(p, QRectF(leftCaption, 186, 80, 14), "POWER", captionFont(), kCaption, Qt::AlignLeft);
    text(p, QRectF(rightCaption, 144, 80, 14), "OUTPUTS", captionFont(), kCaption, Qt::AlignRight);

    leftTerminal(p, kRowA, "RS485 A");
    leftTerminal(p, kRowB, "RS485 B");
    leftTerminal(p, kRowPower, "24V+");
    leftTerminal(p, kRowGround, "GND");
    rightTerminal(p, kRowA, "A2");
    rightTerminal(p, kRowB, "B2");
    rightTerminal(p, kRowOut[0], "IOUT1");
    rightTerminal(p, kRowOut[1], "IOUT2");
    rightTerminal(p, kRowOut[2], "IOUT3");
    rightTerminal(p, kRowCommon, "COM");
}

void drawComputerSide(QPainter& p) {
    const QRectF pc(10, 18, 84, 74);
    computer(p, pc);
    text(p, QRectF(pc.left(), pc.bottom() + 2, pc.width(), 18), "PC", labelFont(), kInk,
         Qt::AlignCenter);

    const QRectF adapter(122, 66, 78, 72);
    wire(p,
         {QPointF(pc.right() - 2, 40), QPointF(108, 40), QPointF(108, 102),
          QPointF(adapter.left(), 102)},
         kCable);
    unit(p, adapter);
    text(p, adapter.adjusted(2, 0, -10, 0), "USB /\nRS-485\nadapter", dejaVu(12, true), kInk,
         Qt::AlignCenter);
    terminal(p, QPointF(adapter.right(), kRowA));
    terminal(p, QPointF(adapter.right(), kRowB));

    const qreal from = adapter.right() + 8;
    const qreal to = kDevice.left() - 8;
    wire(p, {QPointF(from, kRowA), QPointF(to, kRowA)}, kWireA);
    wire(p, {QPointF(from, kRowB), QPointF(to, kRowB)}, kWireB);
    text(p, QRectF(from, kRowA - 17, to - from, 14), "A", captionFont(), kWireA, Qt::AlignCenter);
    text(p, QRectF(from, kRowB - 17, to - from, 14), "B", captionFont(), kWireB, Qt::AlignCenter);
}

void drawSupply(QPainter& p) {
    const QRectF supply(14, 184, 148, 90);
    unit(p, supply, 26);
    text(p, QRectF(supply.left(), supply.top(), supply.width(), 26), "24 V DC", dejaVu(15, true),
         Qt::white, Qt::AlignCenter);
    text(p, QRectF(supply.left() + 8, supply.top() + 26, 100, supply.height() - 26),
         "Power\nsupply", dejaVu(13, false), kInk, Qt::AlignLeft | Qt::AlignVCenter);
    text(p, QRectF(supply.right() - 30, kRowPower - 11, 18, 22), "+", dejaVu(17, true), kWirePower,
         Qt::AlignCenter);
    text(p, QRectF(supply.right() - 30, kRowGround - 11, 18, 22), "\u2212", dejaVu(17, true),
         kWireGround, Qt::AlignCenter);
    terminal(p, QPointF(supply.right(), kRowPower));
    terminal(p, QPointF(supply.right(), kRowGround));

    const qreal from = supply.right() + 8;
    const qreal to = kDevice.left() - 8;
    wire(p, {QPointF(from, kRowPower), QPointF(to, kRowPower)}, kWirePower);
    wire(p, {QPointF(from, kRowGround), QPointF(to, kRowGround)}, kWireGround);
}

void drawFieldBus(QPainter& p) {
    const qreal from = kDevice.right() + 8;
    const qreal to = 654;
    wire(p, {QPointF(from, kRowA), QPointF(to, kRowA)}, kWireA);
    wire(p, {QPointF(from, kRowB), QPointF(to, kRowB)}, kWireB);

    constexpr qreal centres[] = {478, 550, 622};
    for (int i = 0; i < 3; ++i) {
        const qreal x = centres[i];
        const QRectF box(x - 31, 6, 62, 56);
        wire(p, {QPointF(x - 9, box.bottom()), QPointF(x - 9, kRowA)}, kWireA);
        wire(p, {QPointF(x + 9, box.bottom()), QPointF(x + 9, kRowB)}, kWireB);
        junction(p, QPointF(x - 9, kRowA), kWireA);
        junction(p, QPointF(x + 9, kRowB), kWireB);
        unit(p, box);
        gauge(p, QPointF(x, box.top() + 20), 13);
        text(p, QRectF(box.left(), box.top() + 36, box.width(), 18), QString("No. %1").arg(i + 1),
             dejaVu(12, true), kInk, Qt::AlignCenter);
    }
    text(p, QRectF(from, kRowB + 6, to - from, 16), "Field instruments (RS-485)", dejaVu(12, false),
         kCaption, Qt::AlignCenter);
}

void drawOutputs(QPainter& p) {
    const QRectF recorder(522, 150, 134, 134);
    const qreal from = kDevice.right() + 8;
    const qreal to = recorder.left() - 8;
    for (int i = 0; i < 3; ++i) {
        wire(p, {QPointF(from, kRowOut[i]), QPointF(to, kRowOut[i])}, kWireOut[i]);
    }
    wire(p, {QPointF(from, kRowCommon), QPointF(to, kRowCommon)}, kWireGround);
    text(p, QRectF(from, kRowOut[0] - 22, to - from, 14), "4\u201320 mA", captionFont(), kCaption,
         Qt::AlignCenter);

    unit(p, recorder);
    const QString inputs[] = {"IN1", "IN2", "IN3", "COM"};
    const qreal rows[] = {kRowOut[0], kRowOut[1], kRowOut[2], kRowCommon};
    for (int i = 0; i < 4; ++i) {
        terminal(p, QPointF(recorder.left(), rows[i]));
        text(p, QRectF(recorder.left() + 12, rows[i] - 10, 44, 20), inputs[i], dejaVu(12, true),
             kInk, Qt::AlignLeft | Qt::AlignVCenter);
    }
    const QRectF column(recorder.left() + 58, recorder.top(), recorder.width() - 62,
                        recorder.height());
    stripChart(p, QRectF(column.left() + 6, column.top() + 14, column.width() - 12, 50));
    text(p, QRectF(column.left(), column.top() + 70, column.width(), 18), "Recorder",
         dejaVu(12, true), kInk, Qt::AlignCenter);
    text(p, QRectF(column.left(), column.top() + 88, column.width(), 18), "or PLC",
         dejaVu(12, false), kInk, Qt::AlignCenter);
}

}  // namespace

QImage renderWiring() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    drawComputerSide(p);
    drawSupply(p);
    drawFieldBus(p);
    drawOutputs(p);
    drawDevice(p);
    return image;
}

}  // namespace artwork

#include "console/window_palette.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace console {
namespace {

const QColor kGrey(192, 192, 192);  // the face colour the window was drawn in
// About 3:1 against the grey and 5:1 against a white field: dimmer than
// black, still readable.
const QColor kDisabledText(104, 104, 104);
const QColor kDisabledHighlight(128, 128, 128);

// The classic desktop scheme the window was drawn for: black text, white
// fields, bevels from white to black, a navy selection.
QPalette WindowPalette() {
    QPalette palette(Qt::black, kGrey, Qt::white, QColor(128, 128, 128), QColor(160, 160, 160),
                     Qt::black, Qt::white, Qt::white, kGrey);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(QPalette::Disabled, role, kDisabledText);
    palette.setColor(QPalette::Disabled, QPalette::Highlight, kDisabledHighlight);
    return palette;
}

}  // namespace

void ApplyWindowPalette(QWidget& window) {
    window.setPalette(WindowPalette());
}

}  // namespace console

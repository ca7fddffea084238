#include "console/window_fonts.h"

#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <initializer_list>

#include "ui_tform1.h"

namespace console {
namespace {

// DejaVu Sans Condensed keeps the narrow metrics the captions were sized
// for; a plain sans-serif is the last resort.
QFont Face(const QString& named, const QString& fallback, int pixelSize, bool bold) {
    QFont font;
    font.setFamilies({named, fallback, QStringLiteral("Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// A fallback face may be wider than the named one; narrow the title, keeping
// its height, rather than cut its last word off.
void FitToWidth(QLabel& label) {
    QFont font = label.font();
    const int advance = QFontMetrics(font).horizontalAdvance(label.text());
    if (advance <= label.width()) return;
    for (int stretch = 100 * label.width() / advance; stretch >= 50; --stretch) {
        font.setStretch(stretch);
        if (QFontMetrics(font).horizontalAdvance(label.text()) <= label.width()) break;
    }
    label.setFont(font);
}

}  // namespace

void ApplyWindowFonts(QWidget& window, Ui::TForm1& ui) {
    const QString windowFace = QStringLiteral("MS Sans Serif");
    const QString narrowFallback = QStringLiteral("DejaVu Sans Condensed");
    // The top bar and the tab captions use the window font as it is.
    window.setFont(Face(windowFace, narrowFallback, 11, true));
    const QFont regular = Face(windowFace, narrowFallback, 11, false);
    const std::initializer_list<QWidget*> regularParts = {
        ui.TabSheet1, ui.TabSheet2, ui.Label23, ui.Label42, ui.Label43, ui.discomm, ui.Memo10};
    for (QWidget* w : regularParts) w->setFont(regular);
    // A face of normal width narrows evenly; a condensed one would not.
    ui.Label1->setFont(Face(QStringLiteral("Segoe UI"), QStringLiteral("DejaVu Sans"), 27, true));
    FitToWidth(*ui.Label1);
}

}  // namespace console

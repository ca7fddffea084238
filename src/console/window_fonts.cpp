#include "console/window_fonts.h"

#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QStringList>
#include <QTabBar>
#include <QWidget>
#include <initializer_list>

#include "ui_tform1.h"

namespace console {
namespace {

const QString kWindowFace = QStringLiteral("MS Sans Serif");
// Keeps the narrow metrics the captions were sized for.
const QString kNarrowFallback = QStringLiteral("DejaVu Sans Condensed");

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

void ApplyWindowFont(QWidget& window) {
    window.setFont(Face(kWindowFace, kNarrowFallback, 11, false));
}

void ApplyEmphasis(Ui::TForm1& ui) {
    const QFont bold = Face(kWindowFace, kNarrowFallback, 11, true);
    const std::initializer_list<QWidget*> topBar = {
        ui.Label4,
        ui.SPREALCOM,
        ui.Label6,
        ui.ComboBox4,
        ui.Label7,
        ui.ComboBox3,
        ui.Button1,
        ui.Button2,
        ui.PageControl1->findChild<QTabBar*>(),  // the tab captions alone, not the pages
    };
    for (QWidget* w : topBar) w->setFont(bold);
    // A face of normal width narrows evenly; a condensed one would not.
    ui.Label1->setFont(Face(QStringLiteral("Segoe UI"), QStringLiteral("DejaVu Sans"), 27, true));
    FitToWidth(*ui.Label1);
}

}  // namespace console

#include "console/window_fonts.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
#include <initializer_list>

#include "ui_tform1.h"

namespace console {
namespace {

// Stands in for MS Sans Serif: its condensed cut keeps the narrow captions the
// window was sized for. The family name is the font database's own, so the
// face is found at the first try.
const QString kWindowFamily = QStringLiteral("DejaVu Sans Condensed");
constexpr int kWindowPixels = 11;

// Stands in for Segoe UI: the font database answers this family at this
// stretch with its condensed bold cut, which gives the title its width.
const QString kTitleFamily = QStringLiteral("DejaVu Sans");
constexpr int kTitlePixels = 27;
constexpr int kTitleStretch = 84;  // the title's width in this face

QFont Face(const QString& family, int pixelSize, bool bold) {
    QFont font;
    font.setFamilies({family});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// Another cut of the face than the one the stretch was chosen for may still
// be too wide; narrow the title further, keeping its height, rather than cut
// its last word off. With the installed face the first measure fits, and it
// loads nothing that painting would not load anyway.
QFont FittedToWidth(QFont font, const QLabel& label) {
    while (font.stretch() > 50 &&
           QFontMetrics(font).horizontalAdvance(label.text()) > label.width())
        font.setStretch(font.stretch() - 1);
    return font;
}

}  // namespace

QFont WindowFace() {
    return Face(kWindowFamily, kWindowPixels, true);
}

QFont ContentsFace() {
    return Face(kWindowFamily, kWindowPixels, false);
}

void ApplyWindowFont(QWidget& window) {
    window.setFont(WindowFace());
}

WindowFaceWhileMaking::WindowFaceWhileMaking() : desktop_(QApplication::font()) {
    QApplication::setFont(WindowFace());
}

WindowFaceWhileMaking::~WindowFaceWhileMaking() {
    QApplication::setFont(desktop_);
}

void ApplyOwnFaces(Ui::TForm1& ui) {
    const QFont contents = ContentsFace();
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui.Label23, ui.Label42, ui.discomm, ui.Label43, ui.Memo10})
        w->setFont(contents);
    QFont title = Face(kTitleFamily, kTitlePixels, true);
    title.setStretch(kTitleStretch);
    ui.Label1->setFont(FittedToWidth(title, *ui.Label1));
}

}  // namespace console

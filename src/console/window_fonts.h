// The window's typefaces. Designer's font property knows only point sizes,
// while the window is laid out in pixels at 96 dpi, so the faces are set
// here in pixels and fall back to a close face where the named one is absent.
#pragma once

namespace Ui {
class TForm1;
}
class QWidget;

namespace console {

void ApplyWindowFonts(QWidget& window, Ui::TForm1& controls);

}  // namespace console

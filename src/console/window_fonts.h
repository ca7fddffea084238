// The window's typefaces. The window was drawn for MS Sans Serif at 11
// pixels with a Segoe UI title. Neither is found on Linux; the faces here are
// installed ones of the same metrics (the package depends on fonts-dejavu-extra
// for them, and the setup script installs it), named as the font database
// knows them so that no lookup falls back, and sized in pixels, as the window
// is laid out in pixels at 96 dpi (Designer's font property knows only points).
#pragma once

#include <QFont>

namespace Ui {
class TForm1;
}
class QWidget;

namespace console {

// The window face in bold: the window's own font, which the top bar and the
// tab captions use unchanged.
QFont WindowFace();

// The same face in regular weight: the pages' contents (tab_page.h), the
// version label and the send/receive area.
QFont ContentsFace();

// Before the controls are made, so that each takes its face as it is made.
void ApplyWindowFont(QWidget& window);

// After: the regular face of the version label and the send/receive area,
// and the title's own face. These are leaves, told of their face before they
// are ever laid out or drawn.
void ApplyOwnFaces(Ui::TForm1& controls);

}  // namespace console

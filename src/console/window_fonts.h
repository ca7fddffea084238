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

// While the controls are made. Qt lays out every new text field once in the
// application's font before the field takes its own: under the desktop's
// font the window's first field would load that face and look up its
// fallbacks, only for the window never to draw in it. For as long as this
// lives the application's font is the window face; then the desktop's comes
// back, which the dialogs take, and whatever was made meanwhile resolves its
// font against it again. Like any change of the application's font, it
// drops faces a desktop theme gives to particular kinds of widget.
class WindowFaceWhileMaking {
public:
    WindowFaceWhileMaking();
    ~WindowFaceWhileMaking();
    WindowFaceWhileMaking(const WindowFaceWhileMaking&) = delete;
    WindowFaceWhileMaking& operator=(const WindowFaceWhileMaking&) = delete;

private:
    QFont desktop_;
};

// After: the regular face of the version label and the send/receive area,
// and the title's own face. These are leaves, told of their face before they
// are ever laid out or drawn.
void ApplyOwnFaces(Ui::TForm1& controls);

}  // namespace console

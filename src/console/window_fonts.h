// The window's typefaces. Designer's font property knows only point sizes,
// while the window is laid out in pixels at 96 dpi, so the faces are set
// here in pixels and fall back to a close face where the named one is absent.
#pragma once

namespace Ui {
class TForm1;
}
class QWidget;

namespace console {

// Before the controls are made, so they take the face as they are created
// instead of each being told of a change: the regular face of the pages'
// contents, the version label and the send/receive area.
void ApplyWindowFont(QWidget& window);

// After: the bold window face of the top bar and the tab captions, and the
// title's own face.
void ApplyEmphasis(Ui::TForm1& controls);

}  // namespace console

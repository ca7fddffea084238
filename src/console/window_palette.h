// The window's colours. The window is an instrument panel of fixed geometry
// with its pictures on the light grey it was drawn on, so it keeps its own
// look whatever the desktop's theme: a dark theme would otherwise put its
// pale text on that grey. Dark text on the grey and on white fields, a dark
// selection with white text, and disabled text dimmed but still legible.
#pragma once

class QWidget;

namespace console {

// Before the controls are made, so that each takes the colours as it is made
// instead of being told of a change once it and its children exist.
void ApplyWindowPalette(QWidget& window);

}  // namespace console

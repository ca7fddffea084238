// The window's colours. The window is an instrument panel of fixed geometry
// with its pictures on the light grey it was drawn on, so it keeps its own
// look whatever the desktop's theme: a dark theme would otherwise put its
// pale text on that grey. Dark text on the grey and on white fields, a dark
// selection with white text, and disabled text dimmed but still legible.
#pragma once

class QWidget;

namespace console {

// After the controls are made: the window description names only the grey,
// and a palette set there would be resolved against the desktop's again.
void ApplyWindowPalette(QWidget& window);

}  // namespace console

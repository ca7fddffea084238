// How the desktop knows the running console: by its name, and on Wayland,
// which ignores the entry's StartupWMClass, by the id of its desktop entry,
// which gives the window its menu entry's name and icon.
#pragma once

namespace console {

// Call once the application object exists.
void IdentifyProgram();

}  // namespace console

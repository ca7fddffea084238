// Names for the text fields of the window's choice boxes. On Linux Qt gives
// a choice box's current value as its accessible name and reports its text
// field as the part that holds the focus; that field has no name of its own,
// so a screen reader would announce an editable box without saying which.
#pragma once

class QWidget;

namespace console {

// After the controls are made: each choice box's text field takes the box's
// accessible name, or else the text of the label whose buddy the box is.
void NameChoiceBoxFields(QWidget& window);

}  // namespace console

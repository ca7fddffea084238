// Names for the window's choice boxes. On Linux Qt gives a choice box's
// current value as its accessible name and reports its text field as the
// part that holds the focus; that field has no name of its own, so a screen
// reader would announce an editable box without saying which.
#pragma once

#include <QList>
#include <QString>

class QComboBox;
class QLabel;
class QWidget;

namespace console {

// The name a choice box is read by: its accessible name, or else the text of
// the label (one of `labels`) whose buddy it is.
QString OwnName(const QComboBox& box, const QList<QLabel*>& labels);

// After the controls are made: each choice box's text field takes the box's
// own name.
void NameChoiceBoxFields(QWidget& window);

}  // namespace console

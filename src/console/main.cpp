// The VK630-E configuration console: one window, started with the defaults
// of its description every time; closing it ends the program.
#include <QApplication>

#include "console/close_on_signal.h"
#include "console/program_identity.h"
#include "console/tform1.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    console::IdentifyProgram();
    TForm1 Form1;
    // Logout, shutdown and Ctrl+C close the window like its close button.
    console::CloseOnSignal closeOnSignal(Form1);
    Form1.show();
    return QApplication::exec();
}

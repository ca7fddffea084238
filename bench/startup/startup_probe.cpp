// The console's own start-up, exactly as main.cpp does it, reporting its
// first paint (first_paint.h).
#include <QApplication>

#include "console/close_on_signal.h"
#include "console/program_name.h"
#include "console/tform1.h"
#include "first_paint.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(console::kProgramName));
    TForm1 Form1;
    console::CloseOnSignal closeOnSignal(Form1);
    startup_bench::FirstPaintReport report(Form1, argc, argv);
    Form1.show();
    return QApplication::exec();
}

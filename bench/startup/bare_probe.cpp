// The yardstick for the console's start-up: the console's window made from
// its own description with plain Qt widgets only (see CMakeLists.txt), with
// Qt's default fonts, no palette, no icon and no pictures. What the console
// costs beyond this is its own doing.
#include <QApplication>
#include <QMainWindow>

#include "first_paint.h"
#include "ui_bare_window.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QMainWindow window;
    Ui_TForm1 widgets;
    widgets.setupUi(&window);
    startup_bench::FirstPaintReport report(window, argc, argv);
    window.show();
    return QApplication::exec();
}

// Times the window's "Write All Settings" of a full set of fields, read back
// and verified, against the simulator at 9600 baud: from the menu's handler
// to the box that ends the run, beside the line's own limit. The window runs
// on whatever platform Qt is given (offscreen without a display).
//
//   window_commissioning_bench [runs]
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "console/settings_in_window.h"
#include "console/tform1.h"
#include "line_limit.h"
#include "sim_process.h"
#include "ui_tform1.h"

namespace {

// The box that ends the run, once it shows.
QMessageBox* ResultBox(const TForm1& form) {
    for (QMessageBox* box : form.findChildren<QMessageBox*>())
        if (box->isVisible()) return box;
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
    std::printf("window Write All Settings + verify, 18 frames, simulator at 9600 baud\n");
    for (int run = 1; run <= runs; ++run) {
        vk630sim::testing::SimProcess sim({"--baud", "9600", "--delay", "0"});
        TForm1 form;
        form.show();
        console::ShowFields(form, bench::FullFile().fields);
        form.controls()->SPREALCOM->setEditText(QString::fromStdString(sim.LinkPath()));
        form.controls()->Button1->click();  // 9600 baud, no parity: the window's defaults
        if (!form.portOpen()) return 1;

        const auto start = std::chrono::steady_clock::now();
        form.WriteAllSettings1Click();
        QMessageBox* box = nullptr;
        while ((box = ResultBox(form)) == nullptr)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        const int status = box->text().startsWith("All 38 settings verified") ? 0 : 4;
        box->close();
        bench::PrintRun(run, status, ms, sim.Log());
        if (status != 0) return 1;
    }
    return 0;
}

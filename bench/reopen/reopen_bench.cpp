// The time from the device event to the port open again: the console, on the
// offscreen platform, has the simulated transmitter's link open; the
// simulator is killed, and once the console has seen the hang-up a new one
// is started on the same link. The device event is the link's creation (its
// change time); the end is the console's port open again. Prints minimum,
// median and maximum; judges nothing.
//
//   reopen_bench [rounds]      (20 by default)
#include <signal.h>
#include <sys/stat.h>

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "console/port_feeder.h"
#include "console/port_reopener.h"
#include "console/tform1.h"
#include "console/unplug_notice.h"
#include "sim_process.h"
#include "ui_tform1.h"

namespace {

using vk630sim::testing::SimProcess;

double Milliseconds(const timespec& time) {
    return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_nsec) / 1e6;
}

double Now() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return Milliseconds(now);
}

std::unique_ptr<SimProcess> StartOn(const std::string& link) {
    return std::make_unique<SimProcess>(std::vector<std::string>{"--delay", "5", "--link", link},
                                        false);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);

    char pattern[] = "/tmp/vk630-reopen-bench-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    const std::string link = dir + "/link";
    std::unique_ptr<SimProcess> sim = StartOn(link);

    TForm1 form;
    form.show();
    if (!QTest::qWaitFor([&] { return form.portFeeder().started(); })) return 1;
    ports::PortPlaces places;
    places.simulatorLink = link;
    form.portFeeder().Start(places);
    form.controls()->SPREALCOM->setEditText(QString::fromStdString(link));
    form.Button1Click();

    double reopenedAt = 0;
    QObject::connect(&form.portReopener(), &console::PortReopener::reopened,
                     [&] { reopenedAt = Now(); });
    std::vector<double> delays;
    for (int round = 0; round < rounds; ++round) {
        sim->Signal(SIGKILL);
        const auto gone = [&] { return form.unplugNotice().text().contains(" is gone."); };
        if (!QTest::qWaitFor(gone, 5000)) break;
        sim = StartOn(link);
        struct stat made {};
        ::lstat(link.c_str(), &made);
        reopenedAt = 0;
        if (!QTest::qWaitFor([&] { return reopenedAt > 0; }, 5000)) break;
        delays.push_back(reopenedAt - Milliseconds(made.st_ctim));
    }
    sim.reset();
    std::filesystem::remove_all(dir);
    if (delays.size() != static_cast<std::size_t>(rounds)) {
        std::printf("the console did not open the link again (round %zu)\n", delays.size() + 1);
        return 1;
    }
    std::sort(delays.begin(), delays.end());
    std::printf(
        "device event to port open again, %d rounds: min %.2f ms, median %.2f ms, max %.2f ms\n",
        rounds, delays.front(), delays[delays.size() / 2], delays.back());
    return 0;
}

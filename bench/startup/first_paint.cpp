#include "first_paint.h"

#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace startup_bench {
namespace {

long long Nanoseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

long ResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

}  // namespace

FirstPaintReport::FirstPaintReport(QWidget& window, int argc, char** argv) : window_(window) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--until-paint") == 0) untilPaint_ = true;
    QApplication::instance()->installEventFilter(this);
}

// The first paint event starts the window's first repaint pass; a zero
// timer runs once that pass, children and flush included, has returned.
bool FirstPaintReport::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && !seen_) {
        seen_ = true;
        QTimer::singleShot(0, this, [this] { report(); });
    }
    return QObject::eventFilter(watched, event);
}

void FirstPaintReport::report() {
    // The processor time tells the program's own cost apart from time spent
    // waiting for a machine busy with other work.
    std::printf("painted %lld cpu %lld\n", Nanoseconds(CLOCK_MONOTONIC),
                Nanoseconds(CLOCK_PROCESS_CPUTIME_ID));
    std::printf("widgets %lld\n",
                static_cast<long long>(window_.findChildren<QWidget*>().size()) + 1);
    std::fflush(stdout);
    if (untilPaint_) _exit(0);
    QTimer::singleShot(1000, [] {
        std::printf("rss_kib %ld\n", ResidentKiB());
        std::fflush(stdout);
        QApplication::quit();
    });
}

}  // namespace startup_bench

// The console's own start-up, as main.cpp does it, with readings taken from
// inside: the moment the first paint of the window has been completed, the
// processor time used until then, and the resident memory one second later. The numbers go to
// stdout for the benchmark that started this process.
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <ctime>

#include "console/program_name.h"
#include "console/tform1.h"

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

// The first paint event starts the window's first repaint pass; a zero
// timer runs once that pass, children and flush included, has returned.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, [] {
                // The processor time tells the program's own cost apart from
                // time spent waiting for a machine busy with other work.
                std::printf("painted %lld cpu %lld\n", Nanoseconds(CLOCK_MONOTONIC),
                            Nanoseconds(CLOCK_PROCESS_CPUTIME_ID));
                std::fflush(stdout);
                QTimer::singleShot(1000, [] {
                    std::printf("rss_kib %ld\n", ResidentKiB());
                    std::fflush(stdout);
                    QApplication::quit();
                });
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(console::kProgramName));
    FirstPaint watcher;
    application.installEventFilter(&watcher);
    TForm1 Form1;
    Form1.show();
    return QApplication::exec();
}

// What both start-up probes report, taken from inside the probe: the moment
// the first paint of the window has been completed, the processor time used
// until then, the number of widgets the window is made of, and the resident
// memory one second later. The lines go to stdout for the benchmark that
// started the probe.
//
// With --until-paint the probe ends right after the first paint, without
// tearing anything down: an instruction count of the run then covers the
// start-up and nothing else.
#pragma once

#include <QObject>

class QWidget;

namespace startup_bench {

class FirstPaintReport : public QObject {
public:
    // window is the probe's top-level window; arguments are the probe's own.
    FirstPaintReport(QWidget& window, int argc, char** argv);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void report();

    QWidget& window_;
    bool untilPaint_ = false;
    bool seen_ = false;
};

}  // namespace startup_bench

// Closes the window when the session asks the program to stop: SIGTERM at
// logout or shutdown, SIGINT from Ctrl+C in the terminal it was started
// from, SIGHUP when that terminal goes away. The window then shuts down as
// if its close button had been pressed, releasing the port and its threads,
// and the program ends normally instead of dying with the port held. A
// signal that was ignored when the console started stays ignored.
#pragma once

#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <memory>

#include "stopping/stop_request.h"

class QWidget;

namespace console {

class CloseOnSignal : public QObject {
public:
    // Only one may exist at a time: a signal handler has one place to report to.
    explicit CloseOnSignal(QWidget& window);
    ~CloseOnSignal() override;
    CloseOnSignal(const CloseOnSignal&) = delete;
    CloseOnSignal& operator=(const CloseOnSignal&) = delete;

private:
    void closeWindow();

    QPointer<QWidget> window_;
    // Before the notifier, which must go first.
    stopping::StopRequest stop_{stopping::StopRequest::Again::Asks};
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace console

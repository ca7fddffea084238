#include "console/close_on_signal.h"

#include <QWidget>

namespace console {

CloseOnSignal::CloseOnSignal(QWidget& window) : window_(&window) {
    // Without its pipe the signals keep their default handling.
    if (stop_.Fd() < 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(stop_.Fd(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &CloseOnSignal::closeWindow);
}

CloseOnSignal::~CloseOnSignal() = default;

void CloseOnSignal::closeWindow() {
    stop_.Take();
    if (window_) window_->close();
}

}  // namespace console

#include "console/port_feeder.h"

#include <QSocketNotifier>

#include "console/port_items.h"
#include "ports/serial_ports.h"

namespace console {

PortFeeder::PortFeeder(QComboBox& box, int fixedCount, QObject* parent)
    : QObject(parent), box_(box), fixedCount_(fixedCount) {}

PortFeeder::~PortFeeder() {
    // The notifier must go before the descriptor it watches.
    delete notifier_;
}

void PortFeeder::Start(ports::PortPlaces places) {
    delete notifier_;
    notifier_ = nullptr;
    places_ = std::move(places);
    // Watching starts before listing, so nothing that changes in between is missed.
    watcher_ = std::make_unique<ports::DeviceWatcher>(places_);
    if (watcher_->Fd() >= 0) {
        notifier_ = new QSocketNotifier(watcher_->Fd(), QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, [this] {
            if (!watcher_->Drain()) return;
            Refresh();
            emit devicesChanged();
        });
    }
    Refresh();
}

void PortFeeder::Refresh() {
    ShowPorts(box_, ports::ListSerialPorts(places_), fixedCount_);
}

}  // namespace console

// Keeps the port box's discovered items in step with the hardware: lists
// the ports once the window has been painted, then again whenever the
// device watcher reports a change, on the window's event loop.
#pragma once

#include <QComboBox>
#include <QObject>
#include <memory>

#include "ports/device_watcher.h"
#include "ports/port_places.h"

class QSocketNotifier;

namespace console {

class PortFeeder : public QObject {
    Q_OBJECT

public:
    // The first `fixedCount` items of `box` are its own and stay as they are.
    PortFeeder(QComboBox& box, int fixedCount, QObject* parent);
    ~PortFeeder() override;

    // Starts watching and lists the ports; again, with other places, when
    // called once more.
    void Start(ports::PortPlaces places = {});
    bool started() const { return watcher_ != nullptr; }
    const ports::PortPlaces& places() const { return places_; }

signals:
    // After each listing that followed a device event (not the first).
    void devicesChanged();

private:
    void Refresh();

    QComboBox& box_;
    int fixedCount_;
    ports::PortPlaces places_;
    std::unique_ptr<ports::DeviceWatcher> watcher_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace console

// Opens the port again by itself when the device it hung up on comes back:
// a loose plug or a hub that resets costs the technician nothing but the
// frame that was on the wire. Only that very device (see device_identity,
// read afresh at every device event) is opened, with the name, baud rate
// and parity the serial component still holds; another device behind the
// same name leaves the port gone. The operator's Close ends the waiting at
// once.
#pragma once

#include <QObject>
#include <QString>

#include "ports/device_identity.h"

namespace seriallink {
class TComm;
class ECommsError;
}  // namespace seriallink

namespace console {

class PortFeeder;
class UnplugNotice;

class PortReopener : public QObject {
    Q_OBJECT

public:
    PortReopener(seriallink::TComm& comm, UnplugNotice& notice, const PortFeeder& feeder,
                 QObject* parent);

    // The operator opened the port: the device there now is the one to wait for.
    void Opened();
    // The open port hung up.
    void HungUp();
    // The operator closed the port: nothing is opened again, not even a try
    // already on its way.
    void Stop();
    // Devices came or went; also tells the notice when the device is back.
    void DevicesChanged();

signals:
    // The port is open again on the device that came back.
    void reopened();

private:
    enum class State { Idle, Open, Waiting };

    ports::DeviceIdentity Current() const;
    void Reopen();
    QString Explanation(const seriallink::ECommsError& error) const;
    void TellFailure(const seriallink::ECommsError& error);

    seriallink::TComm& comm_;
    UnplugNotice& notice_;
    const PortFeeder& feeder_;
    State state_ = State::Idle;
    ports::DeviceIdentity device_;  // as it was when the port was last opened
    bool toldOpenAgain_ = false;
};

}  // namespace console

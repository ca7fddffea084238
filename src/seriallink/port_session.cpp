#include "seriallink/port_session.h"

#include "seriallink/tcomm.h"
#include "seriallink/tty_control.h"

namespace seriallink {

PortSession::~PortSession() {
    StopWorkers();
    if (kernelRs485) link.Lines().SetRs485(link.PortFd(), false);
}

void PortSession::StopWorkers() {
    // Every wait of the workers includes the stop, so no purge is needed
    // to end them. The queues are purged once they have ended: nothing the
    // transmit thread wrote on its way out reaches the device after
    // ClosePort, and no byte read after a purge makes a gap in the chunks
    // the receive thread posts as it ends.
    link.Stop().Set();
    modemWatcher.reset();
    receiver.reset();
    transmitter.reset();
    tty::Purge(link.PortFd(), tty::Queue::Both);
}

namespace {

int DataBits(TByteSize size) {
    return 5 + static_cast<int>(size);
}

std::uint64_t CharTimeNs(const TComm& comm) {
    const int bits = 1 + DataBits(comm.ByteSize()) + (comm.Parity() == TParity::None ? 0 : 1) +
                     (comm.StopBits() == TStopBits::_1 ? 1 : 2);
    return static_cast<std::uint64_t>(bits) * 1'000'000'000u / comm.BaudRate();
}

void WriteModemLines(const TComm& comm, PortSession& session) {
    WorkerLink& link = session.link;
    // Linux has no DTR/DSR handshake: DTR is simply raised for it.
    link.Lines().Set(link.PortFd(), tty::ModemLine::Dtr,
                     comm.DtrControl() != TDtrControl::DtrDisable);

    const bool transmitRts = comm.RtsControl() == TRtsControl::RtsTransmissionAvailable;
    if (transmitRts && !session.kernelRs485) {
        session.kernelRs485 = link.Lines().SetRs485(link.PortFd(), true);
    } else if (!transmitRts && session.kernelRs485) {
        link.Lines().SetRs485(link.PortFd(), false);
        session.kernelRs485 = false;
    }
    // Without the driver's RS-485 mode the transmit thread raises RTS
    // around each block itself.
    link.Rts().SetMode(comm.RtsControl(), session.kernelRs485);
}

}  // namespace

void WriteLineSettings(const TComm& comm, PortSession& session) {
    WorkerLink& link = session.link;
    tty::LineSettings line;
    line.baudRate = comm.BaudRate();
    line.dataBits = DataBits(comm.ByteSize());
    line.parity = comm.Parity();
    line.stopBits = comm.StopBits();
    line.markErrors = link.MarkedInput();
    // The kernel's RTS/CTS works both ways at once: output waits for CTS,
    // and RTS drops while the input queue is full.
    line.hardwareFlow = comm.Outx_CtsFlow() || comm.RtsControl() == TRtsControl::RtsHandshake;
    line.xonXoffOut = comm.Outx_XonXoffFlow();
    line.xonXoffIn = comm.Inx_XonXoffFlow();
    line.xonChar = comm.XonChar();
    line.xoffChar = comm.XoffChar();
    tty::ApplyLine(link.PortFd(), line);
    WriteModemLines(comm, session);

    link.receiveFilter.store(ReceiveFilter{comm.ParityCheck(), comm.ReplaceWhenParityError(),
                                           comm.IgnoreNullChar(), comm.DsrSensitivity(),
                                           comm.ReplacedChar()}
                                 .Pack());
    if (comm.BaudRate() != 0) link.charTimeNs.store(CharTimeNs(comm));
}

void WriteTimeouts(const TComm& comm, PortSession& session) {
    // The receive thread implements the read timeouts itself. A write
    // timeout would only end one write early, after which the rest of the
    // block is written anyway, so it changes nothing and is not armed.
    session.link.readInterval.store(comm.ReadIntervalTimeout());
    session.link.readTotalMultiplier.store(comm.ReadTotalTimeoutMultiplier());
    session.link.readTotalConstant.store(comm.ReadTotalTimeoutConstant());
}

}  // namespace seriallink

#include "console/port_reopener.h"

#include <QFile>
#include <QTimer>
#include <exception>

#include "console/open_failure.h"
#include "console/port_feeder.h"
#include "console/unplug_notice.h"
#include "seriallink/port_device.h"
#include "seriallink/tcomm.h"

namespace console {
namespace {

// The explanation's first sentence says what is wrong (the rest, what to
// do, goes to the notice's tip); the port, named already, becomes "it".
QString Reason(const QString& explanation, const std::string& commName) {
    const qsizetype end = explanation.indexOf(QStringLiteral(". "));
    QString reason = end < 0 ? explanation : explanation.left(end + 1);
    const QString path = QFile::decodeName(seriallink::DevicePathFor(commName).c_str());
    const QString alias = QStringLiteral(" (%1)").arg(QFile::decodeName(commName.c_str()));
    if (!reason.startsWith(path + u' ')) return reason;
    reason.remove(0, path.size());
    if (reason.startsWith(alias)) reason.remove(0, alias.size());
    return QStringLiteral("it") + reason;
}

}  // namespace

PortReopener::PortReopener(seriallink::TComm& comm, UnplugNotice& notice, const PortFeeder& feeder,
                           QObject* parent)
    : QObject(parent), comm_(comm), notice_(notice), feeder_(feeder) {}

void PortReopener::Opened() {
    state_ = State::Open;
    device_ = Current();
}

void PortReopener::HungUp() {
    if (state_ != State::Open) return;
    state_ = State::Waiting;
    // The device may be back before its hang-up reaches us, and then no
    // further device event comes. Looked at once the serial component has
    // finished reporting.
    QTimer::singleShot(0, this, [this] { DevicesChanged(); });
}

void PortReopener::Stop() {
    state_ = State::Idle;
    if (toldOpenAgain_) notice_.Dismiss();
    toldOpenAgain_ = false;
}

void PortReopener::DevicesChanged() {
    if (state_ == State::Open || device_.key.empty()) return;
    const ports::DeviceIdentity now = Current();
    if (!now.SameDeviceAs(device_)) return;
    // The node that hung up, still there, is not the device back. A node
    // made anew is, at every event until it opens.
    if (now.node == device_.node) return;
    // Closed by the operator while it was away: only said.
    if (state_ == State::Idle) {
        notice_.DeviceBack();
        return;
    }
    Reopen();
}

ports::DeviceIdentity PortReopener::Current() const {
    return ports::DeviceIdentifier(feeder_.places()).Identify(comm_.CommName());
}

// What was queued for the old line goes with the close; the exchange's
// state and the window's fields are not touched.
void PortReopener::Reopen() {
    comm_.ClosePort();
    try {
        comm_.OpenPort();
    } catch (const seriallink::ECommsError& error) {
        TellFailure(error);
        return;
    }
    state_ = State::Open;
    device_ = Current();
    toldOpenAgain_ = true;
    notice_.Tell(QStringLiteral("%1 came back and is open again."), false);
    emit reopened();
}

QString PortReopener::Explanation(const seriallink::ECommsError& error) const {
    try {
        ThrowExplained(error, comm_.CommName(), feeder_.places());
    } catch (const std::exception& explained) {
        return ExplanationOf(explained);
    }
}

// One line: what failed and why, cut at a word to fit the notice; the whole
// explanation in its tip.
void PortReopener::TellFailure(const seriallink::ECommsError& error) {
    const QString explanation = Explanation(error);
    QString reason = explanation.isEmpty() ? QString::fromLatin1(error.what()).trimmed() + u'.'
                                           : Reason(explanation, comm_.CommName());
    const QString details = QFile::decodeName(comm_.CommName().c_str()) + u'\n' +
                            (explanation.isEmpty() ? reason : explanation);
    for (;;) {
        notice_.Tell(QStringLiteral("%1 came back but did not open: ") + reason, true, details);
        const qsizetype cut = reason.lastIndexOf(u' ');
        if (notice_.heightForWidth(notice_.width()) <= notice_.height() || cut <= 0) break;
        reason = reason.left(cut) + QChar(0x2026);
    }
}

}  // namespace console

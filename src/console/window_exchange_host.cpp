#include "console/window_exchange_host.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <cstdint>
#include <limits>

#include "console/commissioning_run.h"
#include "console/field_text.h"
#include "console/tform1.h"
#include "ui_tform1.h"

namespace console {

WindowExchangeHost::WindowExchangeHost(TForm1& window) : QObject(&window), window_(window) {}

void WindowExchangeHost::SetSendLine(const std::string& frame) {
    window_.controls()->discomm->setText(TextFromBytes(frame));
}

void WindowExchangeHost::ClearReceiveBox() {
    window_.controls()->Memo10->clear();
}

void WindowExchangeHost::ShowReceived(std::string_view text) {
    window_.controls()->Memo10->setPlainText(TextFromBytes(text));
}

// One send carries a 16-bit count; a longer frame is not handed over at all
// rather than cut short on the line.
bool WindowExchangeHost::SendBytes(const std::string& frame) {
    if (frame.size() > std::numeric_limits<std::uint16_t>::max()) return false;
    return window_.comm().SendBytes(frame.data(), static_cast<std::uint16_t>(frame.size()));
}

bool WindowExchangeHost::DecodeTimerEnabled() const {
    return window_.decodeTimer().isActive();
}

void WindowExchangeHost::EnableDecodeTimer() {
    window_.decodeTimer().start();
}

void WindowExchangeHost::DisableDecodeTimer() {
    window_.decodeTimer().stop();
}

void WindowExchangeHost::ApplyUpdates(const dialogue::DecodeOutcome& outcome) {
    // The run judges the device by its replies, never by the fields, which
    // keep whatever a reply did not carry.
    window_.commissioning().Decoded(outcome);
    window_.ApplyUpdates(outcome);
}

}  // namespace console

// Connects the exchange cycle to the window: its send line, receive box,
// serial component, decode timer and the writing of decoded values.
#pragma once

#include <QObject>
#include <string>
#include <string_view>

#include "dialogue/exchange_cycle.h"

class TForm1;

namespace console {

// A child of the window, so it lives exactly as long as the window's
// exchange cycle needs it.
class WindowExchangeHost final : public QObject, public dialogue::ExchangeHost {
public:
    explicit WindowExchangeHost(TForm1& window);

    void SetSendLine(const std::string& frame) override;
    void ClearReceiveBox() override;
    void ShowReceived(std::string_view text) override;
    bool SendBytes(const std::string& frame) override;
    bool DecodeTimerEnabled() const override;
    void EnableDecodeTimer() override;
    void DisableDecodeTimer() override;
    void ApplyUpdates(const dialogue::DecodeOutcome& outcome) override;

private:
    TForm1& window_;
};

}  // namespace console

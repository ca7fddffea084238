// The console's one window. Its controls come from tform1.ui and keep the
// names of that description; every operator action is one handler below.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "dialogue/exchange_cycle.h"
#include "dialogue/reply_decoding.h"
#include "seriallink/tcomm.h"

class QSocketNotifier;

namespace console {
class CalibrationRun;
class CommissioningRun;
class SessionRecord;
class TrafficLogSwitch;
class PortFeeder;
class PortReopener;
class UnplugNotice;
}  // namespace console

namespace Ui {
class TForm1;
}

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // For tests and the exchange cycle's host.
    Ui::TForm1* controls() const { return ui.get(); }
    seriallink::TComm& comm() { return Comm1; }
    QTimer& decodeTimer() { return Timer2; }
    dialogue::ExchangeCycle& exchange() { return *exchange_; }
    bool portOpen() const { return PortOpen; }
    console::PortFeeder& portFeeder() { return *portFeeder_; }
    console::UnplugNotice& unplugNotice() { return *unplugNotice_; }
    console::PortReopener& portReopener() { return *portReopener_; }
    console::CommissioningRun& commissioning() { return *commissioning_; }
    console::TrafficLogSwitch& trafficLog() { return *trafficLog_; }
    // Null until "Calibrate Outputs…" is first chosen.
    console::CalibrationRun* calibration() { return calibration_; }
    console::SessionRecord& sessionRecord() { return *sessionRecord_; }

    // Runs one operator action; an error raised inside it ends the action
    // there and is shown in the error box. Every handler is run through it.
    void RunAction(const std::function<void()>& action);

    // The send steps of the exchange cycle for a composed frame; kind is the
    // ReplyKind the command sets, or nothing to leave it as it is.
    void SendFrame(const std::string& frame, std::optional<std::int32_t> kind);

    // Writes decoded values into the controls in order; throws the decoder's
    // conversion error after applying the updates before it.
    void ApplyUpdates(const dialogue::DecodeOutcome& outcome);

    // Top bar.
    void Button1Click();  // Open / Close
    void Button2Click();  // Communication Query

    // Device group.
    void Button9Click();   // Read Parameters
    void Button4Click();   // Read Data
    void Button17Click();  // line baud and parity
    void Button5Click();   // communication interval
    void Button10Click();  // device address

    // Output ranges.
    void Button6Click();
    void Button7Click();
    void Button8Click();

    // Polling definitions.
    void Button170Click();
    void Button171Click();
    void Button172Click();

    // Command slots.
    void Button76Click();  // Command1 text query
    void Button73Click();  // Command1 text set
    void Button74Click();  // Command1 parse query
    void Button75Click();  // Command1 parse set
    void Button81Click();  // Command2 text query
    void Button3Click();   // Command2 text set
    void Button79Click();  // Command2 parse query
    void Button80Click();  // Command2 parse set

    // Current output test.
    void Button11Click();  // Enter Test Mode
    void Button12Click();  // Calculation Coefficient

    // Menus (tform1_menu.cpp).
    void OpenSettings1Click();
    void SaveSettings1Click();
    void Quit1Click();
    void WriteAllSettings1Click();
    void VerifyAgainstFile1Click();
    void About1Click();
    void LogTrafficToFile1Click();
    void CalibrateOutputs1Click();
    void SaveRecord1Click();
    void SaveCertificate1Click();

    // Input rules: true lets the typed character through. `key` is the text
    // code of the typed character.
    bool JTMEKeyPress(char16_t key);
    bool DAO1HKeyPress(char16_t key);
    bool DAO2HKeyPress(char16_t key);
    bool DAO3HKeyPress(char16_t key);
    bool DAO1LKeyPress(char16_t key);
    bool DAO2LKeyPress(char16_t key);
    bool DAO3LKeyPress(char16_t key);
    void JTMEChange();

    // Exchange cycle.
    void Comm1ReceiveData(seriallink::TComm* Sender, const void* Buffer,
                          std::uint16_t BufferLength);
    void Timer2Timer();
    // The open port's device went away.
    void Comm1RequestHangup(seriallink::TComm* Sender);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void connectHandlers();
    void connectInputRules();
    void createMenus();

    std::unique_ptr<Ui::TForm1> ui;
    seriallink::TComm Comm1;
    // After the component, so that it goes first and detaches its log.
    std::unique_ptr<console::TrafficLogSwitch> trafficLog_;
    QTimer Timer2;
    QSocketNotifier* commNotifier_ = nullptr;
    std::unique_ptr<dialogue::ExchangeCycle> exchange_;
    bool PortOpen = false;
    console::PortFeeder* portFeeder_ = nullptr;
    console::UnplugNotice* unplugNotice_ = nullptr;
    console::PortReopener* portReopener_ = nullptr;
    console::CommissioningRun* commissioning_ = nullptr;
    std::unique_ptr<console::SessionRecord> sessionRecord_;
    console::CalibrationRun* calibration_ = nullptr;
};

// The console window in-process against the simulated transmitter running
// as a child process on a pseudo-terminal, driven as an operator drives it:
// typed texts, items chosen by typing their text, buttons pressed with the
// mouse, and replies awaited by running the event loop until the window
// shows them.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QString>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "console/tform1.h"
#include "core/device_state.h"
#include "sim_process.h"
#include "ui_tform1.h"
#include "window_on_pty.h"

namespace e2e {

using namespace std::chrono_literals;

// Generous: a sanitized build on a busy machine is slow, and a wait ends as
// soon as its condition holds.
inline constexpr std::chrono::milliseconds kReplyDeadline = 5s;

// One operator edit: the text to type into an edit box, or the item text to
// type into a choice box, which selects that item.
struct Edit {
    const char* control;
    const char* text;
};

// A reply as the receive box shows it: CR dropped, no line end at the close.
QString Shown(std::string_view reply);

class ConsoleOnSim : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The simulator's fault flags for this test; the device delay is short
    // in every test.
    virtual std::vector<std::string> SimulatorFlags() const { return {}; }

    Ui::TForm1& ui() { return *form_->controls(); }
    TForm1& form() { return *form_; }
    vk630sim::testing::SimProcess& sim() { return *sim_; }

    // A fresh simulator with `flags`, replacing the running one.
    void StartSimulator(std::vector<std::string> flags);
    // Types the simulator's link into "Serial Port:" and clicks "Open".
    void OpenOnSimulator();
    // Clicks the Open/Close button with the mouse.
    void PressOpenClose();

    // Clicks `button` with the mouse and runs the event loop until a reply
    // is shown and any decode it started has run; the shown text.
    QString Exchange(QAbstractButton* button);
    QString Exchange(const QString& buttonName) { return Exchange(Button(buttonName)); }
    // "Read Parameters", expecting the parameter reply.
    void ReadParameters();

    QString ReceiveBox() const;
    bool DecodePending() { return form_->decodeTimer().isActive(); }

    QAbstractButton* Button(const QString& name) const;
    QWidget* Control(const QString& name) const;
    // The text of an edit box, or the shown text of a choice box.
    QString TextOf(const QString& name) const;
    // The selected item of a choice box, -1 for none.
    int IndexOf(const QString& name) const;

    // The operator's edits, in order; each must end with the control
    // showing what was typed (and a choice box on the item of that text).
    void Apply(const std::vector<Edit>& edits);

    // Every control that "Read Parameters" fills, and the layout that the
    // interval selects, compared with the simulator's settings.
    void ExpectWindowShows(const vk630sim::DeviceState& device);

    // How often the serial component has reported the line hung up.
    int HangUps() const { return *hangUps_; }

    console_test::MessageBoxCatcher boxes_;
    std::unique_ptr<vk630sim::testing::SimProcess> sim_;
    std::unique_ptr<TForm1> form_;
    std::shared_ptr<int> hangUps_ = std::make_shared<int>(0);
};

}  // namespace e2e

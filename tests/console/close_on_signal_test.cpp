// Logout, shutdown and Ctrl+C reach the console as signals. Each must close
// the window as its close button does, so the port and its threads are
// released and the program ends normally; once the window is gone, the
// signals are handled as they were before.
#include "console/close_on_signal.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QApplication>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <stdexcept>
#include <string>

#include "console/tform1.h"
#include "line_settings.h"
#include "ui_tform1.h"
#include "window_on_pty.h"

namespace {

struct StopSignal {
    const char* name;
    int number;
};

class CloseOnStopSignal : public ::testing::TestWithParam<StopSignal> {};

TEST_P(CloseOnStopSignal, ClosesWindowAndReleasesPort) {
    console_test::Pty pty;
    ASSERT_TRUE(pty.ok());
    console_test::MessageBoxCatcher boxes;
    TForm1 form;
    console::CloseOnSignal closeOnSignal(form);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.controls()->SPREALCOM->setEditText(QString::fromStdString(pty.slavePath()));
    form.controls()->Button1->click();
    ASSERT_TRUE(form.comm().IsOpen());
    QSignalSpy lastWindowClosed(qApp, &QGuiApplication::lastWindowClosed);

    // The program's own event loop, which only the closed window may end. Two
    // signals, as an impatient session may send: the second changes nothing.
    const int signal = GetParam().number;
    QTimer::singleShot(0, [signal] {
        ASSERT_EQ(::raise(signal), 0);
        ASSERT_EQ(::raise(signal), 0);
    });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] { QApplication::exit(1); });
    giveUp.start(10000);
    EXPECT_EQ(QApplication::exec(), 0) << "the window did not close";

    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(lastWindowClosed.count(), 1);
    EXPECT_FALSE(form.comm().IsOpen());
    EXPECT_TRUE(console_test::CanLock(pty.slavePath()));
    EXPECT_TRUE(boxes.boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Signals, CloseOnStopSignal,
                         ::testing::Values(StopSignal{"Terminate", SIGTERM},
                                           StopSignal{"Interrupt", SIGINT},
                                           StopSignal{"HangUp", SIGHUP}),
                         [](const auto& info) { return std::string(info.param.name); });

sighandler_t CurrentHandler(int number) {
    struct sigaction current = {};
    ::sigaction(number, nullptr, &current);
    return current.sa_handler;
}

TEST(CloseOnSignal, HandsSignalsBackWhenGone) {
    const sighandler_t before = ::signal(SIGTERM, SIG_IGN);
    {
        QWidget window;
        console::CloseOnSignal closeOnSignal(window);
        EXPECT_NE(CurrentHandler(SIGTERM), SIG_IGN);
        QWidget other;
        EXPECT_THROW(console::CloseOnSignal second(other), std::logic_error);
        EXPECT_NE(CurrentHandler(SIGTERM), SIG_IGN) << "the refused second one undid the first";
    }
    EXPECT_EQ(CurrentHandler(SIGTERM), SIG_IGN);
    EXPECT_EQ(CurrentHandler(SIGINT), SIG_DFL);
    EXPECT_EQ(CurrentHandler(SIGHUP), SIG_DFL);
    ::signal(SIGTERM, before);

    // And a new window may take them again.
    QWidget window;
    EXPECT_NO_THROW(console::CloseOnSignal again(window));
}

}  // namespace

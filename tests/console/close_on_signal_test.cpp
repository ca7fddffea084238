// Logout, shutdown and Ctrl+C reach the console as signals. Each must close
// the window as its close button does, so the port and its threads are
// released and the program ends normally; once the window is gone, the
// signals are handled as they were before. A signal ignored at start stays
// ignored.
#include "console/close_on_signal.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QProcess>
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

void PrintTo(const StopSignal& s, std::ostream* os) {
    *os << s.name;
}

// Sets a signal's disposition for the life of a test, then puts back the old.
class Disposition {
public:
    Disposition(int number, sighandler_t handler)
        : number_(number), before_(::signal(number, handler)) {}
    ~Disposition() { ::signal(number_, before_); }
    Disposition(const Disposition&) = delete;
    Disposition& operator=(const Disposition&) = delete;

private:
    int number_;
    sighandler_t before_;
};

class CloseOnStopSignal : public ::testing::TestWithParam<StopSignal> {};

TEST_P(CloseOnStopSignal, ClosesWindowAndReleasesPort) {
    console_test::Pty pty;
    ASSERT_TRUE(pty.ok());
    console_test::MessageBoxCatcher boxes;
    // The test program itself may have been started with the signal
    // ignored (a background job): start from the default, as a terminal does.
    const Disposition defaultAtStart(GetParam().number, SIG_DFL);
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
    {
        const Disposition ignored(SIGTERM, SIG_IGN);
        const Disposition defaulted(SIGINT, SIG_DFL);
        {
            QWidget window;
            console::CloseOnSignal closeOnSignal(window);
            EXPECT_EQ(CurrentHandler(SIGTERM), SIG_IGN) << "ignored at start, yet taken";
            EXPECT_NE(CurrentHandler(SIGINT), SIG_DFL);
            QWidget other;
            EXPECT_THROW(console::CloseOnSignal second(other), std::logic_error);
            EXPECT_NE(CurrentHandler(SIGINT), SIG_DFL) << "the refused second one undid the first";
        }
        EXPECT_EQ(CurrentHandler(SIGTERM), SIG_IGN);
        EXPECT_EQ(CurrentHandler(SIGINT), SIG_DFL);
    }

    // And a new window may take them again.
    QWidget window;
    EXPECT_NO_THROW(console::CloseOnSignal again(window));
}

// A window that refuses to close, such as one asking to save, counts each
// request; every wake of the signal's watcher is one.
class RefusesToClose : public QWidget {
public:
    int asked = 0;

protected:
    void closeEvent(QCloseEvent* event) override {
        ++asked;
        event->ignore();
    }
};

TEST(CloseOnSignal, OneSignalAsksOnce) {
    const Disposition defaultAtStart(SIGTERM, SIG_DFL);
    RefusesToClose window;
    window.show();
    console::CloseOnSignal closeOnSignal(window);
    ASSERT_EQ(::raise(SIGTERM), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.asked > 0; }));
    QTest::qWait(200);  // a watcher left readable would wake on every pass
    EXPECT_EQ(window.asked, 1);
}

// `nohup vk630e &` and a script's background job start the console with
// SIGHUP or SIGINT ignored; closing the terminal or Ctrl+C there must leave
// it running. The test runs itself again as a child started that way.
class IgnoredAtStart : public ::testing::TestWithParam<StopSignal> {};

constexpr char kChildVariable[] = "VK630E_TEST_STARTED_WITH_SIGNAL_IGNORED";

void KeepsTheWindowOpen(int signal) {
    ASSERT_EQ(CurrentHandler(signal), SIG_IGN) << "not started as nohup starts it";
    ::signal(SIGTERM, SIG_DFL);
    QWidget window;
    window.show();
    console::CloseOnSignal closeOnSignal(window);
    EXPECT_EQ(CurrentHandler(signal), SIG_IGN);
    ASSERT_EQ(::raise(signal), 0);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.isVisible());
    // Signals not ignored at start still close it.
    ASSERT_EQ(::raise(SIGTERM), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }));
}

TEST_P(IgnoredAtStart, StaysIgnored) {
    const int signal = GetParam().number;
    if (qEnvironmentVariableIsSet(kChildVariable)) return KeepsTheWindowOpen(signal);

    const ::testing::TestInfo& self = *::testing::UnitTest::GetInstance()->current_test_info();
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kChildVariable), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.setChildProcessModifier([signal] { ::signal(signal, SIG_IGN); });
    child.start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral("--gtest_filter=%1.%2")
             .arg(QString::fromLatin1(self.test_suite_name()), QString::fromLatin1(self.name()))});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(child.readAllStandardOutput());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Signals, IgnoredAtStart,
                         ::testing::Values(StopSignal{"HangUp", SIGHUP},
                                           StopSignal{"Interrupt", SIGINT}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

// Start-up: the window comes up with the description's defaults and runs no
// operator handler, opens no port and sends nothing.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <string>

#include "console/tform1.h"
#include "line_settings.h"
#include "seriallink/tcomm.h"
#include "ui_tform1.h"

namespace {

using seriallink::TComm;

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        terminalsBefore = console_test::OpenTerminalCount();
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        QTest::qWait(150);  // longer than one decode tick
    }
    Ui::TForm1& ui() { return *form.controls(); }

    int terminalsBefore = 0;
    TForm1 form;
};

TEST_F(Startup, RunsNoHandlerAndOpensNothing) {
    // The mode switch has not run for the default interval "10".
    EXPECT_EQ(ui().Label2->text(), "DOUT1:");
    EXPECT_EQ(ui().Label3->text(), "DOUT2:");
    EXPECT_EQ(ui().Label5->text(), "DOUT3:");
    EXPECT_EQ(ui().discomm->text(), "");
    EXPECT_EQ(ui().Memo10->toPlainText(), "");
    EXPECT_EQ(ui().Button1->text(), "Open");
    EXPECT_FALSE(form.portOpen());
    EXPECT_FALSE(form.comm().IsOpen());
    EXPECT_EQ(console_test::OpenTerminalCount(), terminalsBefore);
    EXPECT_EQ(form.exchange().ReplyKind, 0);
    EXPECT_EQ(form.exchange().ReplyText, "");
}

TEST_F(Startup, DecodeTimerIsAStoppedOneShotOf100Ms) {
    EXPECT_FALSE(form.decodeTimer().isActive());
    EXPECT_TRUE(form.decodeTimer().isSingleShot());
    EXPECT_EQ(form.decodeTimer().interval(), 100);
}

// The logo is decoded as the window is made: it is in sight at once.
TEST(StartupPictures, LogoIsDecodedBeforeTheWindowIsShown) {
    TForm1 form;
    const QLabel& logo = *form.controls()->Image2;
    EXPECT_FALSE(logo.pixmap().isNull());
    EXPECT_TRUE(logo.hasScaledContents());
    EXPECT_GE(logo.pixmap().width(), logo.width());
    EXPECT_GE(logo.pixmap().height(), logo.height());
}

// The wiring diagram costs nothing until the operator brings its page to
// front, whichever way, and is decoded that once, stretched over its area.
void ExpectWiringDiagramShown(Ui::TForm1& ui) {
    ASSERT_EQ(ui.PageControl1->currentWidget(), ui.TabSheet2);
    const QLabel& diagram = *ui.Image1;
    EXPECT_TRUE(diagram.isVisible());
    ASSERT_FALSE(diagram.pixmap().isNull());
    EXPECT_TRUE(diagram.hasScaledContents());
    EXPECT_GE(diagram.pixmap().width(), diagram.width());
    EXPECT_GE(diagram.pixmap().height(), diagram.height());
}

TEST_F(Startup, WiringDiagramIsDecodedWhenItsTabIsClicked) {
    QTabBar& tabs = *ui().PageControl1->tabBar();
    EXPECT_TRUE(ui().Image1->pixmap().isNull()) << "decoded before its page was in front";
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(1).center());
    ExpectWiringDiagramShown(ui());
    const qint64 decoded = ui().Image1->pixmap().cacheKey();

    QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(0).center());
    ASSERT_EQ(ui().PageControl1->currentWidget(), ui().TabSheet1);
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(1).center());
    ExpectWiringDiagramShown(ui());
    EXPECT_EQ(ui().Image1->pixmap().cacheKey(), decoded) << "decoded again";
}

TEST_F(Startup, WiringDiagramIsDecodedWhenItsTabIsReachedByKeyboard) {
    QTabBar& tabs = *ui().PageControl1->tabBar();
    EXPECT_TRUE(ui().Image1->pixmap().isNull()) << "decoded before its page was in front";
    tabs.setFocus();
    QTest::keyClick(&tabs, Qt::Key_Right);
    ExpectWiringDiagramShown(ui());
}

struct Setting {
    const char* name;
    std::function<bool(const TComm&)> holds;
};

// The component's own defaults differ from the window's description in
// several of these (name, DTR, RTS, read interval), so each is checked.
const Setting kSettings[] = {
    {"CommName", [](const TComm& c) { return c.CommName() == "COM1"; }},
    {"BaudRate", [](const TComm& c) { return c.BaudRate() == 9600; }},
    {"ParityCheck", [](const TComm& c) { return !c.ParityCheck(); }},
    {"Outx_CtsFlow", [](const TComm& c) { return !c.Outx_CtsFlow(); }},
    {"Outx_DsrFlow", [](const TComm& c) { return !c.Outx_DsrFlow(); }},
    {"DtrControl",
     [](const TComm& c) { return c.DtrControl() == seriallink::TDtrControl::DtrDisable; }},
    {"DsrSensitivity", [](const TComm& c) { return !c.DsrSensitivity(); }},
    {"TxContinueOnXoff", [](const TComm& c) { return c.TxContinueOnXoff(); }},
    {"Outx_XonXoffFlow", [](const TComm& c) { return c.Outx_XonXoffFlow(); }},
    {"Inx_XonXoffFlow", [](const TComm& c) { return c.Inx_XonXoffFlow(); }},
    {"ReplaceWhenParityError", [](const TComm& c) { return !c.ReplaceWhenParityError(); }},
    {"IgnoreNullChar", [](const TComm& c) { return !c.IgnoreNullChar(); }},
    {"RtsControl",
     [](const TComm& c) { return c.RtsControl() == seriallink::TRtsControl::RtsDisable; }},
    {"XonLimit", [](const TComm& c) { return c.XonLimit() == 500; }},
    {"XoffLimit", [](const TComm& c) { return c.XoffLimit() == 500; }},
    {"ByteSize", [](const TComm& c) { return c.ByteSize() == seriallink::TByteSize::_8; }},
    {"Parity", [](const TComm& c) { return c.Parity() == seriallink::TParity::None; }},
    {"StopBits", [](const TComm& c) { return c.StopBits() == seriallink::TStopBits::_1; }},
    {"XonChar", [](const TComm& c) { return c.XonChar() == 17; }},
    {"XoffChar", [](const TComm& c) { return c.XoffChar() == 19; }},
    {"ReplacedChar", [](const TComm& c) { return c.ReplacedChar() == 0; }},
    {"ReadIntervalTimeout", [](const TComm& c) { return c.ReadIntervalTimeout() == 300; }},
    {"ReadTotalTimeoutMultiplier",
     [](const TComm& c) { return c.ReadTotalTimeoutMultiplier() == 0; }},
    {"ReadTotalTimeoutConstant", [](const TComm& c) { return c.ReadTotalTimeoutConstant() == 0; }},
    {"WriteTotalTimeoutMultiplier",
     [](const TComm& c) { return c.WriteTotalTimeoutMultiplier() == 0; }},
    {"WriteTotalTimeoutConstant",
     [](const TComm& c) { return c.WriteTotalTimeoutConstant() == 0; }},
    {"OnReceiveData", [](const TComm& c) { return static_cast<bool>(c.OnReceiveData); }},
};

TEST_F(Startup, SerialComponentHoldsTheDescriptionsSettings) {
    for (const Setting& s : kSettings) EXPECT_TRUE(s.holds(form.comm())) << s.name;
}

}  // namespace

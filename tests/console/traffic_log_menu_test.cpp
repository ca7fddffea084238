// The traffic log switched on and off from the Device menu: the file holds
// what crossed the line while it was on, and a log that cannot write stops
// with one line while the exchange goes on.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "console/traffic_log_switch.h"
#include "menu_clicks.h"
#include "window_on_pty.h"

namespace {

using namespace console_test;

class TrafficLogMenu : public WindowOnPty {};

TEST_F(TrafficLogMenu, LogsWhileOnAndStopsWithOneLineWhenTheFileFails) {
    QTemporaryDir dir;
    auto* item = form_->findChild<QAction*>("LogTrafficToFile1");
    const QString path = dir.filePath("bench.log");
    {
        FileDialogAnswer answer(path);
        ASSERT_NO_FATAL_FAILURE(ClickMenuItem(*form_, "LogTrafficToFile1"));
        // The answer must outlive the question, which a slow menu may ask late.
        ASSERT_TRUE(QTest::qWaitFor([&] { return item->isChecked(); }));
        EXPECT_EQ(answer.asked, 1);
        EXPECT_EQ(QFileInfo(answer.offered).fileName().left(7), "vk630e-");
        EXPECT_TRUE(answer.offered.contains(QFileInfo(ui().SPREALCOM->currentText()).fileName()));
    }
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(ClickAndRead(ui().Button9, 15), "PPPPPP#CHEACK1#");
    pty_.Write(std::string("OK\x01", 3));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ui().Memo10->toPlainText() == "OK\x01"; }));
    ASSERT_NO_FATAL_FAILURE(ClickMenuItem(*form_, "LogTrafficToFile1"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !item->isChecked(); }));
    EXPECT_EQ(ClickAndRead(ui().Button2, 11), "999999#VAR#");  // not logged: the log is off

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 4);  // OPEN of the port already open, TX, RX, and the last newline
    EXPECT_TRUE(lines[0].contains("  OPEN  "));
    EXPECT_TRUE(
        lines[1].endsWith("  TX  PPPPPP#CHEACK1#\t50 50 50 50 50 50 23 43 48 45 41 43 4B "
                          "31 23"));
    EXPECT_TRUE(lines[2].endsWith("  RX  OK\\x01\t4F 4B 01"));

    MessageBoxCatcher boxes;
    {
        FileDialogAnswer answer("/dev/full");
        ASSERT_NO_FATAL_FAILURE(ClickMenuItem(*form_, "LogTrafficToFile1"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return item->isChecked(); }));
    }
    EXPECT_EQ(ClickAndRead(ui().Button2, 11), "999999#VAR#");
    ASSERT_TRUE(boxes.WaitForBox(5s));
    EXPECT_EQ(boxes.boxes().front().text,
              "Traffic log stopped: cannot write /dev/full: No space left on device.");
    EXPECT_FALSE(item->isChecked());
    EXPECT_EQ(ClickAndRead(ui().Button9, 15), "PPPPPP#CHEACK1#");  // the exchange goes on
}

}  // namespace

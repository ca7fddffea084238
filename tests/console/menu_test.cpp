// The window's menu bar, clicked and typed as an operator does: with the port
// closed nothing is sent, a bad file changes nothing, and a write-all run
// stops after the frame in flight with a box that says how far it got.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include "console/commissioning_run.h"
#include "console/settings_in_window.h"
#include "console/unplug_notice.h"
#include "menu_clicks.h"
#include "window_on_pty.h"

namespace {

using namespace console_test;

struct PortClosedRow {
    const char* item;
    Qt::Key shortcut;  // with Ctrl; Qt::Key_unknown: clicked in its menu
    const char* file;  // the answer to its file question; "": cancelled
    QString box;       // how it starts; empty: no box
    int fileQuestions;
};

TEST(Menu, WithThePortClosedNothingIsSentAndABadFileChangesNothing) {
    QTemporaryDir dir;
    QFile bad(dir.filePath("bad.json"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly) && bad.write("{\"format\": \"other\"}") > 0);
    bad.close();
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("pipe.json")).constData(), 0600), 0);
    const QString about = "VK630-E Transmitter Configuration Software\nVersion 1.0";
    EXPECT_TRUE(TForm1()
                    .findChild<QAction*>("SaveSettings1")
                    ->toolTip()
                    .contains("press \"Read Parameters\" and the \"Query\" buttons"));
    const PortClosedRow rows[] = {
        {"WriteAllSettings1", Qt::Key_unknown, "", "Open the serial port first.", 0},
        {"VerifyAgainstFile1", Qt::Key_unknown, "", "Open the serial port first.", 0},
        {"CalibrateOutputs1", Qt::Key_unknown, "", "Open the serial port first.", 0},
        {"SaveRecord1", Qt::Key_unknown, "", "Nothing to record yet", 0},
        {"SaveCertificate1", Qt::Key_unknown, "", "Nothing to record yet", 0},
        {"About1", Qt::Key_unknown, "", about, 0},
        {"OpenSettings1", Qt::Key_unknown, "", "", 1},
        {"OpenSettings1", Qt::Key_O, "bad.json", "bad.json: ", 1},
        // Refused at once: reading would wait for a writer that never comes.
        {"OpenSettings1", Qt::Key_O, "pipe.json",
         "pipe.json: is a named pipe (FIFO), not a settings file", 1},
        {"Quit1", Qt::Key_Q, "", "", 0},
    };
    for (const PortClosedRow& row : rows) {
        SCOPED_TRACE(row.item);
        TForm1 form;
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        form.controls()->ADRM->setText("077");
        const settings::Fields before = console::FieldsOf(form);
        MessageBoxCatcher boxes;
        FileDialogAnswer answer(*row.file ? dir.filePath(row.file) : QString());
        if (row.shortcut == Qt::Key_unknown) {
            ASSERT_NO_FATAL_FAILURE(ClickMenuItem(form, row.item));
        } else {
            QTest::keyClick(&form, row.shortcut, Qt::ControlModifier);
        }
        ASSERT_EQ(boxes.WaitForBox(row.box.isEmpty() ? 100ms : 2s), !row.box.isEmpty());
        EXPECT_TRUE(row.box.isEmpty() || boxes.boxes().front().text.startsWith(row.box));
        EXPECT_EQ(answer.asked, row.fileQuestions);
        EXPECT_TRUE(form.controls()->discomm->text().isEmpty());
        EXPECT_EQ(console::FieldsOf(form), before);
        EXPECT_EQ(form.isVisible(), row.shortcut != Qt::Key_Q);
    }
}

// The default fields leave the polling rows and command slots without a
// chosen item: eight write frames, then five read-backs.
enum class Ending { Cancelled, HungUp, Silent };

class WriteAllOnPty : public WindowOnPty, public ::testing::WithParamInterface<Ending> {};

TEST_P(WriteAllOnPty, StopsAfterTheFrameInFlightWithABoxSayingHowFar) {
    MessageBoxCatcher boxes;
    ASSERT_NO_FATAL_FAILURE(ClickMenuItem(*form_, "WriteAllSettings1"));
    EXPECT_EQ(pty_.Read(18), "TEKVAR#RS485A:3,0#");
    EXPECT_EQ(ui().discomm->text(), "TEKVAR#RS485A:3,0#");
    QDialog& progress = form_->commissioning().progressDialog();
    ASSERT_TRUE(progress.isVisible());
    EXPECT_EQ(progress.findChild<QLabel*>()->text(), "Writing 1 of 8: device line");
    const QString unanswered = "0 of 13 frames were answered; device line got no answer.";
    QString box = "No reply within 2 s. " + unanswered;
    if (GetParam() == Ending::Cancelled) {
        QTest::mouseClick(progress.findChild<QPushButton*>(), Qt::LeftButton);
        EXPECT_FALSE(progress.findChild<QPushButton*>()->isEnabled());
        EXPECT_EQ(progress.findChild<QLabel*>()->text(),
                  "Stopping after the frame in flight\u2026");
        pty_.Write("OK");
        box = "Cancelled. 1 of 13 frames were answered; the last was device line.";
    } else if (GetParam() == Ending::HungUp) {
        pty_.CloseMaster();
        box = "The line hung up. " + unanswered;
    }
    ASSERT_TRUE(boxes.WaitForBox(5s));
    EXPECT_EQ(boxes.boxes().front().text, box);
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(form_->unplugNotice().isVisible(), GetParam() == Ending::HungUp);
    EXPECT_TRUE(GetParam() == Ending::HungUp || pty_.Silent(300ms)) << "sent after the stop";
}

INSTANTIATE_TEST_SUITE_P(Menu, WriteAllOnPty,
                         ::testing::Values(Ending::Cancelled, Ending::HungUp, Ending::Silent));

}  // namespace

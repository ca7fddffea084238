// The window's menu bar, clicked and typed as an operator does: with the port
// closed nothing is sent; a saved file opens into a fresh window and a bad one
// changes nothing; a write-all run stops after the frame in flight with a box
// that says how far it got.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <string>

#include "console/commissioning_run.h"
#include "console/settings_in_window.h"
#include "console/unplug_notice.h"
#include "menu_clicks.h"
#include "window_on_pty.h"

namespace {

using namespace console_test;

void ShowActive(TForm1& form) {
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
}

// A shortcut reaches the window that is active, as a closed dialog leaves it.
void Press(TForm1& form, Qt::Key key) {
    ASSERT_NO_FATAL_FAILURE(ShowActive(form));
    QTest::keyClick(&form, key, Qt::ControlModifier);
}

struct ClosedPortClick {
    const char* item;
    QString box;  // empty: none
    int fileQuestions;
};

TEST(Menu, ItemsWithThePortClosedSendAndChangeNothing) {
    const ClosedPortClick clicks[] = {
        {"WriteAllSettings1", "Open the serial port first.", 0},
        {"VerifyAgainstFile1", "Open the serial port first.", 0},
        {"About1", "VK630-E Transmitter Configuration Software\nVersion 1.0", 0},
        {"OpenSettings1", {}, 1},  // the question cancelled
    };
    for (const ClosedPortClick& click : clicks) {
        SCOPED_TRACE(click.item);
        TForm1 form;
        ASSERT_NO_FATAL_FAILURE(ShowActive(form));
        MessageBoxCatcher boxes;
        FileDialogAnswer cancel({});
        const settings::Fields before = console::FieldsOf(form);
        ASSERT_NO_FATAL_FAILURE(ClickMenuItem(form, click.item));
        EXPECT_EQ(boxes.WaitForBox(click.box.isEmpty() ? 100ms : 2s), !click.box.isEmpty());
        if (!boxes.boxes().empty()) {
            EXPECT_EQ(boxes.boxes().front().text, click.box);
        }
        EXPECT_EQ(cancel.asked(), click.fileQuestions);
        EXPECT_TRUE(form.controls()->discomm->text().isEmpty());
        EXPECT_EQ(console::FieldsOf(form), before);
    }
}

TEST(Menu, SavedFileOpensIntoAFreshWindowABadOneChangesNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath("unit.json");
    MessageBoxCatcher boxes;
    settings::Fields saved;
    {
        TForm1 form;
        ASSERT_NO_FATAL_FAILURE(ShowActive(form));
        form.controls()->ADRM->setText("042");
        form.controls()->MAD1USE->setCurrentIndex(2);
        form.controls()->COMDDATA2->setText("0104");
        saved = console::FieldsOf(form);
        FileDialogAnswer answer(path);
        Press(form, Qt::Key_S);
        EXPECT_EQ(answer.asked(), 1);
    }
    TForm1 fresh;
    ASSERT_NO_FATAL_FAILURE(ShowActive(fresh));
    ASSERT_NE(console::FieldsOf(fresh), saved);
    {
        FileDialogAnswer answer(path);
        Press(fresh, Qt::Key_O);
    }
    EXPECT_EQ(console::FieldsOf(fresh), saved);
    EXPECT_TRUE(boxes.boxes().empty());

    QFile bad(dir.filePath("bad.json"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly) && bad.write("{\"format\": \"other\"}") > 0);
    bad.close();
    fresh.controls()->ADRM->setText("077");
    const settings::Fields before = console::FieldsOf(fresh);
    {
        FileDialogAnswer answer(bad.fileName());
        Press(fresh, Qt::Key_O);
    }
    ASSERT_TRUE(boxes.WaitForBox());
    EXPECT_TRUE(boxes.boxes().front().text.startsWith("bad.json: "))
        << boxes.boxes().front().text.toStdString();
    EXPECT_EQ(console::FieldsOf(fresh), before);

    Press(fresh, Qt::Key_Q);
    EXPECT_FALSE(fresh.isVisible());
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
    QString box;
    switch (GetParam()) {
        case Ending::Cancelled:
            QTest::mouseClick(progress.findChild<QPushButton*>(), Qt::LeftButton);
            pty_.Write("OK");
            box = "Cancelled. 1 of 13 frames were answered; the last was device line.";
            break;
        case Ending::HungUp:
            pty_.CloseMaster();
            box = "The line hung up. 0 of 13 frames were answered; device line got no answer.";
            break;
        case Ending::Silent:
            box = "No reply within 2 s. 0 of 13 frames were answered; device line got no answer.";
            break;
    }
    ASSERT_TRUE(boxes.WaitForBox(5s));
    EXPECT_EQ(boxes.boxes().front().text, box);
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(form_->unplugNotice().isVisible(), GetParam() == Ending::HungUp);
    if (GetParam() != Ending::HungUp) {
        EXPECT_TRUE(pty_.Silent(300ms)) << "sent after the stop";
    }
}

INSTANTIATE_TEST_SUITE_P(Menu, WriteAllOnPty,
                         ::testing::Values(Ending::Cancelled, Ending::HungUp, Ending::Silent));

}  // namespace

// Replies decoded into the window: through the line end to end, and through
// the receive step for the rules of order and failure.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "console/tform1.h"
#include "dialogue/number_text.h"
#include "dialogue/reply_decoding.h"
#include "ui_tform1.h"
#include "window_on_pty.h"

namespace {

using console_test::MessageBoxCatcher;
using console_test::WindowOnPty;
using namespace std::chrono_literals;

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 3s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        QTest::qWait(5);
    }
    return true;
}

constexpr std::string_view kWorkedParameters =
    "BOAT:3,0 ADR:001 JTM:010 ZDAD01:1,001,2,00,000001,00000 ZDAD02:0,002,2,03,000001,00000 "
    "ZDAD03:0,003,2,08,000001,00000 DOAT1:0.000,100.0 DOAT2:0.000,100.0 DOAT3:0.000,100.0";

// Contents unlike any the worked reply carries, so every decoded field shows.
void FillWithOtherValues(Ui::TForm1& ui) {
    ui.MR485BT->setCurrentIndex(0);
    ui.MR485JN->setCurrentIndex(2);
    ui.ADRM->setText("999");
    ui.JTME->setText("000");  // reduced layout; the reply must bring the full one back
    for (QLineEdit* edit :
         {ui.MAD1MADR, ui.MAD2MADR, ui.MAD3MADR, ui.MAD1DADR, ui.MAD2DADR, ui.MAD3DADR, ui.MAD1XS,
          ui.MAD2XS, ui.MAD3XS, ui.DataQY1, ui.DataQY2, ui.DataQY3, ui.DAO1H, ui.DAO2H, ui.DAO3H,
          ui.DAO1L, ui.DAO2L, ui.DAO3L}) {
        edit->setText("7");
    }
    for (QComboBox* box : {ui.MAD1XIN, ui.MAD2XIN, ui.MAD3XIN}) box->setCurrentIndex(5);
}

void ExpectFullLayout(Ui::TForm1& ui) {
    for (QGroupBox* group : {ui.GroupBox7, ui.GroupBox5, ui.GroupBox3, ui.GroupBox1}) {
        EXPECT_FALSE(group->isHidden()) << group->objectName().toStdString();
    }
    EXPECT_EQ(ui.Label2->text(), "OUT1:");
    EXPECT_EQ(ui.Label3->text(), "OUT2:");
    EXPECT_EQ(ui.Label5->text(), "OUT3:");
}

void ExpectReducedLayout(Ui::TForm1& ui) {
    for (QGroupBox* group : {ui.GroupBox7, ui.GroupBox5, ui.GroupBox3}) {
        EXPECT_TRUE(group->isHidden()) << group->objectName().toStdString();
    }
    EXPECT_FALSE(ui.GroupBox1->isHidden());
    EXPECT_EQ(ui.Label2->text(), "ADDR:00");
    EXPECT_EQ(ui.Label3->text(), "ADDR:02");
    EXPECT_EQ(ui.Label5->text(), "ADDR:04");
}

TEST_F(WindowOnPty, ParameterReplyFillsTheWindowAndTheSetButtonsSendIt) {
    FillWithOtherValues(ui());
    ASSERT_EQ(ClickAndRead(ui().Button9, 15), "PPPPPP#CHEACK1#");
    pty_.Write(kWorkedParameters);
    ASSERT_TRUE(WaitUntil([&] { return ui().DAO3L->text() == "100.0"; }));
    EXPECT_FALSE(form_->decodeTimer().isActive());

    EXPECT_EQ(ui().MR485BT->currentIndex(), 3);
    EXPECT_EQ(ui().MR485BT->currentText(), "9600");
    EXPECT_EQ(ui().MR485JN->currentIndex(), 0);
    EXPECT_EQ(ui().ADRM->text(), "001");
    EXPECT_EQ(ui().JTME->text(), "010");
    ExpectFullLayout(ui());

    struct Row {
        QComboBox* use;
        QLineEdit* start;
        QLineEdit* length;
        QComboBox* format;
        QLineEdit* coefficient;
        QLineEdit* migration;
        int useIndex;
        const char* startText;
        int formatIndex;
    };
    const Row rows[] = {
        {ui().MAD1USE, ui().MAD1MADR, ui().MAD1DADR, ui().MAD1XIN, ui().MAD1XS, ui().DataQY1, 1,
         "001", 0},
        {ui().MAD2USE, ui().MAD2MADR, ui().MAD2DADR, ui().MAD2XIN, ui().MAD2XS, ui().DataQY2, 0,
         "002", 3},
        {ui().MAD3USE, ui().MAD3MADR, ui().MAD3DADR, ui().MAD3XIN, ui().MAD3XS, ui().DataQY3, 0,
         "003", 8},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.startText);
        EXPECT_EQ(row.use->currentIndex(), row.useIndex);
        EXPECT_EQ(row.start->text(), row.startText);
        EXPECT_EQ(row.length->text(), "2");
        EXPECT_EQ(row.format->currentIndex(), row.formatIndex);
        EXPECT_EQ(row.coefficient->text(), "000001");
        EXPECT_EQ(row.migration->text(), "00000");
    }
    for (QLineEdit* low : {ui().DAO1H, ui().DAO2H, ui().DAO3H}) EXPECT_EQ(low->text(), "0.000");
    for (QLineEdit* high : {ui().DAO1L, ui().DAO2L, ui().DAO3L}) EXPECT_EQ(high->text(), "100.0");

    const std::pair<QAbstractButton*, std::string> sets[] = {
        {ui().Button17, "TEKVAR#RS485A:3,0#"},
        {ui().Button5, "TEKVAR#JTM:010#"},
        {ui().Button10, "TEKVAR#ADR:001#"},
        {ui().Button170, "TEKVAR#ZDAD01:1,001,2,00,000001,00000#"},
        {ui().Button171, "TEKVAR#ZDAD02:0,002,2,03,000001,00000#"},
        {ui().Button172, "TEKVAR#ZDAD03:0,003,2,08,000001,00000#"},
        {ui().Button6, "TEKVAR#DOTA1:0.000,100.0#"},
        {ui().Button7, "TEKVAR#DOTA2:0.000,100.0#"},
        {ui().Button8, "TEKVAR#DOTA3:0.000,100.0#"},
    };
    for (const auto& [button, frame] : sets) {
        EXPECT_EQ(ClickAndRead(button, frame.size()), frame);
    }
}

TEST_F(WindowOnPty, CommandTextReplyFillsBothSlotsAndTheirSetButtonsSendThem) {
    ui().COMDDATA1->setText("FF");
    ASSERT_EQ(ClickAndRead(ui().Button76, 14), "PPPPPP#COMR01#");
    pty_.Write("COMR1:1,08,0103000000044409 COMR2:0,02,ABCD");
    ASSERT_TRUE(WaitUntil([&] { return ui().COMDDATA2->text() == "ABCD"; }));
    EXPECT_EQ(ui().COMAD1->currentIndex(), 1);
    EXPECT_EQ(ui().COMAD1->currentText(), "Open");
    EXPECT_EQ(ui().COMDDATA1->text(), "0103000000044409");
    EXPECT_EQ(ui().COMAD2->currentIndex(), 0);

    const std::string first = "TEKVAR#COMW1:1,160103000000044409#";
    EXPECT_EQ(ClickAndRead(ui().Button73, first.size()), first);
    const std::string second = "TEKVAR#COMW2:0,04ABCD#";
    EXPECT_EQ(ClickAndRead(ui().Button3, second.size()), second);
}

TEST_F(WindowOnPty, CommandParseReplyFillsTheBytesAndTheSetButtonsSendThem) {
    ASSERT_EQ(ClickAndRead(ui().Button79, 14), "PPPPPP#COMP02#");
    pty_.Write("COMP01:0A0B0C,COMP02:112233");
    ASSERT_TRUE(WaitUntil([&] { return ui().BCOMBY3->text() == "33"; }));
    EXPECT_EQ(ui().ACOMBY1->text(), "0A");
    EXPECT_EQ(ui().ACOMBY2->text(), "0B");
    EXPECT_EQ(ui().ACOMBY3->text(), "0C");
    EXPECT_EQ(ClickAndRead(ui().Button75, 21), "TEKVAR#COMP01:0A0B0C#");
    EXPECT_EQ(ClickAndRead(ui().Button80, 21), "TEKVAR#COMP02:112233#");
}

// The receive step fed directly: the decode timer and the error box are the
// real ones, the line is not needed.
class Received : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = std::make_unique<TForm1>();
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    }

    Ui::TForm1& ui() { return *form_->controls(); }

    // Hands the chunk to the receive step after a command of `kind` and waits
    // for its one decode.
    void Decode(std::int32_t kind, std::string_view chunk) {
        form_->exchange().ReplyKind = kind;
        form_->Comm1ReceiveData(&form_->comm(), chunk.data(),
                                static_cast<std::uint16_t>(chunk.size()));
        ASSERT_TRUE(form_->decodeTimer().isActive());
        ASSERT_TRUE(WaitUntil([&] { return !form_->decodeTimer().isActive(); }));
    }

    std::unique_ptr<TForm1> form_;
};

TEST_F(Received, FailedConversionStopsWithEarlierFieldsKept) {
    FillWithOtherValues(ui());
    ui().JTME->setText("010");
    MessageBoxCatcher catcher;
    Decode(101, "BOAT:2,1 ADR:123 JTM:000 ZDAD01:x,005,3,04,000002,00001 DOAT1:1.000,2.000");
    ASSERT_TRUE(catcher.WaitForBox());
    EXPECT_EQ(catcher.boxes().front().text, "'x' is not a valid integer value.");
    EXPECT_EQ(catcher.boxes().front().icon, QMessageBox::Critical);

    EXPECT_EQ(ui().MR485BT->currentIndex(), 2);
    EXPECT_EQ(ui().MR485JN->currentIndex(), 1);
    EXPECT_EQ(ui().ADRM->text(), "123");
    EXPECT_EQ(ui().JTME->text(), "000");
    ExpectReducedLayout(ui());
    // The failing block and everything after it stay as they were.
    EXPECT_EQ(ui().MAD1MADR->text(), "7");
    EXPECT_EQ(ui().DAO1H->text(), "7");
    EXPECT_FALSE(form_->decodeTimer().isActive());
}

TEST_F(Received, IntervalThatIsNoNumberIsShownBeforeItFails) {
    ui().JTME->setText("000");
    ExpectReducedLayout(ui());
    MessageBoxCatcher catcher;
    Decode(101, "ADR:321 JTM:0x0 DOAT1:1.000,2.000");
    ASSERT_TRUE(catcher.WaitForBox());
    EXPECT_EQ(catcher.boxes().front().text, "'0x0' is not a valid integer value.");
    EXPECT_EQ(ui().ADRM->text(), "321");
    EXPECT_EQ(ui().JTME->text(), "0x0");
    ExpectFullLayout(ui());  // the change rule ran on the new text; the mode rule did not
    EXPECT_EQ(ui().DAO1H->text(), "0.000");
}

// The change rule decides by the text, the mode rule after it by the value;
// the mode rule has the last word.
struct IntervalReply {
    const char* reply;
    bool reduced;
};

class IntervalLayout : public Received, public ::testing::WithParamInterface<IntervalReply> {};

TEST_P(IntervalLayout, ValueDecidesAfterTheText) {
    ui().JTME->setText(GetParam().reduced ? "010" : "000");
    Decode(101, GetParam().reply);
    if (GetParam().reduced) {
        ExpectReducedLayout(ui());
    } else {
        ExpectFullLayout(ui());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, IntervalLayout,
    ::testing::Values(IntervalReply{"JTM:000", true}, IntervalReply{"JTM: 00", true},
                      IntervalReply{"JTM:-00", true}, IntervalReply{"JTM:001", false},
                      IntervalReply{"JTM:-01", false}, IntervalReply{"JTM:  5", false}));

TEST_F(Received, IndexOutsideTheListLeavesNoSelection) {
    Decode(101, "BOAT:5,2 ZDAD02:9,001,2,23,000001,00000 ZDAD03:1,001,2,23,000001,00000");
    EXPECT_EQ(ui().MR485BT->currentIndex(), -1);
    EXPECT_EQ(ui().MR485JN->currentIndex(), 2);
    EXPECT_EQ(ui().MAD2USE->currentIndex(), -1);
    EXPECT_EQ(ui().MAD2XIN->currentIndex(), 23);  // the extra empty entry of row 2
    EXPECT_EQ(ui().MAD3XIN->currentIndex(), -1);  // rows 1 and 3 end at 22
}

TEST_F(Received, EmptyCommandEmptiesTheCommandField) {
    Decode(1501, "COMR1:1,00,");
    EXPECT_EQ(ui().COMDDATA1->text(), "");
    EXPECT_EQ(ui().COMAD1->currentText(), "Open");
    EXPECT_EQ(ui().COMDDATA2->text(), "0103000000044409");
}

TEST_F(Received, RepliesOfAnotherKindChangeNoControl) {
    ui().ADRM->setText("555");
    for (std::int32_t kind : {0, 106, 1501, 1502}) {
        Decode(kind, kWorkedParameters);
        EXPECT_EQ(ui().ADRM->text(), "555") << kind;
    }
}

TEST_F(Received, BytesBeyondAsciiReachTheFieldsAsTheirOwnCharacters) {
    Decode(1502, std::string_view("COMP01:\xE9\xFF"
                                  "0102",
                                  11));
    EXPECT_EQ(ui().ACOMBY1->text(), QStringLiteral("\u00E9\u00FF"));
    EXPECT_EQ(ui().ACOMBY2->text(), "01");
}

// ApplyUpdates itself: every kind of update on the control it names, in
// order, then the error.
TEST_F(Received, UpdatesAreAppliedInOrderAndTheErrorComesLast) {
    using Kind = dialogue::ControlUpdate::Kind;
    dialogue::DecodeOutcome outcome;
    outcome.updates = {
        {Kind::Text, "ADRM", "042", -1, false},
        {Kind::Text, "JTME", "000", -1, false},       // the change rule runs here ...
        {Kind::Visible, "GroupBox1", "", -1, false},  // ... so this hide stands
        {Kind::ItemIndex, "MR485JN", "", 1, false},
        {Kind::ItemIndex, "MR485BT", "", 4, false},
        {Kind::Caption, "Label2", "L2", -1, false},
        {Kind::Text, "MAD1USE", "3_CMD3", -1, false},
    };
    outcome.error = "'q' is not a valid integer value";
    try {
        form_->ApplyUpdates(outcome);
        FAIL() << "the decoder's error was not raised";
    } catch (const dialogue::OperatorError& error) {
        EXPECT_STREQ(error.what(), "'q' is not a valid integer value");
    }
    EXPECT_EQ(ui().ADRM->text(), "042");
    EXPECT_TRUE(ui().GroupBox7->isHidden());
    EXPECT_TRUE(ui().GroupBox1->isHidden());
    EXPECT_EQ(ui().MR485JN->currentIndex(), 1);
    EXPECT_EQ(ui().MR485BT->currentIndex(), -1);
    EXPECT_EQ(ui().Label2->text(), "L2");
    EXPECT_EQ(ui().MAD1USE->currentText(), "3_CMD3");
}

TEST_F(Received, AnUnknownControlIsAProgrammingErrorNotASilentSkip) {
    dialogue::DecodeOutcome outcome;
    outcome.updates = {{dialogue::ControlUpdate::Kind::Text, "NoSuchControl", "1", -1, false}};
    EXPECT_THROW(form_->ApplyUpdates(outcome), std::logic_error);
}

}  // namespace

// The Open/Close button against real pseudo-terminals: captions, the line
// settings the kernel ends up with, refusals in the error box, and a port
// and threads released when the window closes with the port still open.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "console/tform1.h"
#include "line_settings.h"
#include "seriallink/tcomm.h"
#include "ui_tform1.h"
#include "window_on_pty.h"

namespace {

using console_test::LineSettings;
using console_test::MessageBoxCatcher;
using console_test::Pty;
using console_test::ReadLineSettings;

class OpenClose : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        form = std::make_unique<TForm1>();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    Ui::TForm1& ui() { return *form->controls(); }

    // As the operator does it: select the whole text and type over it.
    static void TypeInto(QComboBox* box, const std::string& text) {
        box->setFocus();
        box->lineEdit()->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, QString::fromStdString(text));
    }

    void PressOpenClose() { QTest::mouseClick(ui().Button1, Qt::LeftButton); }

    void OpenOnPty() {
        TypeInto(ui().SPREALCOM, pty.slavePath());
        PressOpenClose();
    }

    std::optional<LineSettings> Line() { return ReadLineSettings(pty.slavePath()); }

    Pty pty;
    MessageBoxCatcher boxes;
    std::unique_ptr<TForm1> form;
};

TEST_F(OpenClose, CaptionAlternatesAndEachOpeningReadsTheTopBarAfresh) {
    OpenOnPty();
    EXPECT_EQ(ui().Button1->text(), "Close");
    EXPECT_TRUE(form->portOpen());
    ASSERT_TRUE(form->comm().IsOpen());
    auto line = Line();
    ASSERT_TRUE(line);
    EXPECT_EQ(line->outputSpeed, 9600u);
    EXPECT_EQ(form->comm().Parity(), seriallink::TParity::None);
    // The description starts with XON/XOFF on; every opening switches it off.
    EXPECT_FALSE(line->xonXoffOut);
    EXPECT_FALSE(line->xonXoffIn);

    PressOpenClose();
    EXPECT_EQ(ui().Button1->text(), "Open");
    EXPECT_FALSE(form->portOpen());
    EXPECT_FALSE(form->comm().IsOpen());

    // Changes made now take effect at the next opening.
    TypeInto(ui().ComboBox4, "2400");
    TypeInto(ui().ComboBox3, "Odd");
    PressOpenClose();
    EXPECT_EQ(ui().Button1->text(), "Close");
    line = Line();
    ASSERT_TRUE(line);
    EXPECT_EQ(line->outputSpeed, 2400u);
    // A pty drops the parity-enable flag but keeps the odd/even choice.
    EXPECT_TRUE(line->oddParity);
    EXPECT_EQ(form->comm().Parity(), seriallink::TParity::Odd);
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(OpenClose, MissingPortIsReportedAndTheNextPressRetries) {
    TypeInto(ui().SPREALCOM, "/dev/vk630e-no-such-port");
    PressOpenClose();
    ASSERT_EQ(boxes.boxes().size(), 1u);
    const console_test::SeenBox& box = boxes.boxes()[0];
    EXPECT_EQ(box.title, "VK630-E");
    EXPECT_EQ(box.text, "Error opening serial port.");
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_EQ(box.buttons, QMessageBox::Ok);
    EXPECT_EQ(ui().Button1->text(), "Open");
    EXPECT_FALSE(form->portOpen());

    OpenOnPty();
    EXPECT_EQ(ui().Button1->text(), "Close");
    EXPECT_TRUE(form->comm().IsOpen());
}

enum class Refusal { None, NotAnInteger, NotARate };

struct BaudText {
    const char* name;
    const char* typed;
    unsigned opensAt;  // with Refusal::None
    Refusal refusal = Refusal::None;
};

class BaudBox : public OpenClose, public ::testing::WithParamInterface<BaudText> {};

const BaudText kBaudTexts[] = {
    {"ListedRate", "1200", 1200},
    {"UnlistedRateHandedOverUnchanged", "12345", 12345},
    {"LeadingBlanks", "  4800", 4800},
    {"PlusSign", "+2400", 2400},
    {"Letters", "fast", 0, Refusal::NotAnInteger},
    {"LettersAfterDigits", "9600bd", 0, Refusal::NotAnInteger},
    {"TrailingBlank", "9600 ", 0, Refusal::NotAnInteger},
    {"Empty", "", 0, Refusal::NotAnInteger},
    {"Beyond32Bits", "4294967296", 0, Refusal::NotAnInteger},
    // Integers, but no line speed.
    {"Zero", "0", 0, Refusal::NotARate},
    {"SignedZero", "-0", 0, Refusal::NotARate},
    {"Negative", "-9600", 0, Refusal::NotARate},
};

TEST_P(BaudBox, OpensAtTheTypedRateOrRefuses) {
    const BaudText& b = GetParam();
    TypeInto(ui().ComboBox4, b.typed);
    OpenOnPty();
    if (b.refusal == Refusal::None) {
        EXPECT_TRUE(boxes.boxes().empty());
        EXPECT_TRUE(form->comm().IsOpen());
        const auto line = Line();
        ASSERT_TRUE(line);
        EXPECT_EQ(line->outputSpeed, b.opensAt);
        EXPECT_EQ(line->inputSpeed, b.opensAt);
    } else {
        const std::string reason = b.refusal == Refusal::NotAnInteger
                                       ? "' is not a valid integer value."
                                       : "' is not a valid baud rate; enter a positive rate such "
                                         "as 9600.";
        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(boxes.boxes()[0].text.toStdString(), std::string("'") + b.typed + reason);
        EXPECT_FALSE(form->comm().IsOpen());
        EXPECT_FALSE(form->portOpen());
        EXPECT_EQ(ui().Button1->text(), "Open");
    }
}

INSTANTIATE_TEST_SUITE_P(OpenClose, BaudBox, ::testing::ValuesIn(kBaudTexts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OpenClose, TypedParityEqualToAnItemCountsAsThatItem) {
    TypeInto(ui().ComboBox3, "Even");
    OpenOnPty();
    ASSERT_TRUE(form->comm().IsOpen());
    EXPECT_EQ(form->comm().Parity(), seriallink::TParity::Even);
    const auto line = Line();
    ASSERT_TRUE(line);
    EXPECT_FALSE(line->oddParity);
}

// A parity text of the operator's own names none of the line's settings:
// the port stays closed instead of opening with something nobody chose.
TEST_F(OpenClose, UnknownParityTextIsRefused) {
    for (const char* typed : {"Mark", "even"}) {
        TypeInto(ui().ComboBox3, typed);
        OpenOnPty();
        EXPECT_FALSE(form->comm().IsOpen()) << typed;
        EXPECT_EQ(ui().Button1->text(), "Open");
    }
    ASSERT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(boxes.boxes()[0].text, "'Mark' is not a valid parity; choose None, Odd or Even.");
    EXPECT_EQ(boxes.boxes()[1].text, "'even' is not a valid parity; choose None, Odd or Even.");
}

// Ending the program with the port open must leave the device free for the
// next program and no serial thread behind.
class EndWithPortOpen : public OpenClose, public ::testing::WithParamInterface<bool> {};

TEST_P(EndWithPortOpen, ReleasesPortAndThreads) {
    const bool closeWindowFirst = GetParam();
    const int threadsBefore = console_test::ThreadCount();
    OpenOnPty();
    ASSERT_TRUE(form->comm().IsOpen());
    EXPECT_FALSE(console_test::CanLock(pty.slavePath())) << "the open port holds its lock";
    EXPECT_GT(console_test::ThreadCount(), threadsBefore);
    if (closeWindowFirst) {
        form->close();
        EXPECT_FALSE(form->comm().IsOpen());
    }
    form.reset();
    EXPECT_TRUE(console_test::CanLock(pty.slavePath()));
    EXPECT_EQ(console_test::ThreadCount(), threadsBefore);
}

INSTANTIATE_TEST_SUITE_P(OpenClose, EndWithPortOpen, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "WindowClosed" : "WindowDestroyed");
});

struct RaisedError {
    const char* name;
    std::string message;
    std::string shown;
};

class ErrorBox : public OpenClose, public ::testing::WithParamInterface<RaisedError> {};

// The full stop goes after any last character above "." (0x2E).
const RaisedError kRaisedErrors[] = {
    {"Letter", "Error opening serial port", "Error opening serial port."},
    {"AlreadyAFullStop", "Cannot setup comm buffer.", "Cannot setup comm buffer."},
    {"TrailingBlank", "File handle is not a comm handle ", "File handle is not a comm handle "},
    {"Hyphen", "minus -", "minus -"},
    {"Slash", "path /", "path /."},
    {"Digit", "code 7", "code 7."},
    {"Colon", "value:", "value:."},
    {"Latin1Letter", "caf\xE9", "caf\xC3\xA9."},
    {"Empty", "", ""},
};

TEST_P(ErrorBox, EndsTheActionAndShowsTheMessage) {
    const RaisedError& e = GetParam();
    form->RunAction([&] { throw std::runtime_error(e.message); });
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text.toStdString(), e.shown);
    EXPECT_EQ(boxes.boxes()[0].title, "VK630-E");
    EXPECT_EQ(boxes.boxes()[0].icon, QMessageBox::Critical);
    EXPECT_EQ(boxes.boxes()[0].buttons, QMessageBox::Ok);
    // The window stays usable.
    OpenOnPty();
    EXPECT_TRUE(form->comm().IsOpen());
}

INSTANTIATE_TEST_SUITE_P(OpenClose, ErrorBox, ::testing::ValuesIn(kRaisedErrors),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

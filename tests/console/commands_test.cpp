// Every command button as the transmitter sees it: the frame that reaches
// the line byte for byte, the send line and receive box, and the reply kind
// the command leaves behind.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "console/tform1.h"
#include "ui_tform1.h"
#include "window_on_pty.h"

namespace {

using console_test::MessageBoxCatcher;
using console_test::WindowOnPty;
using namespace std::chrono_literals;

// A kind no command sets, to tell "left unchanged" from any real kind.
constexpr std::int32_t kEarlierKind = 4242;

struct StartupFrame {
    const char* button;
    std::function<QAbstractButton*(Ui::TForm1&)> control;
    std::string frame;
    std::optional<std::int32_t> kind;  // nothing: the kind is left as it was
};

#define BUTTON(name) #name, [](Ui::TForm1 & ui) -> QAbstractButton* { return ui.name; }

const StartupFrame kStartupFrames[] = {
    {BUTTON(Button2), "999999#VAR#", 100},
    {BUTTON(Button9), "PPPPPP#CHEACK1#", 101},
    {BUTTON(Button4), "PPPPPP#STATUS#", 100},
    {BUTTON(Button17), "TEKVAR#RS485A:3,0#", std::nullopt},
    {BUTTON(Button5), "TEKVAR#JTM:10#", std::nullopt},
    {BUTTON(Button10), "TEKVAR#ADR:001#", std::nullopt},
    {BUTTON(Button6), "TEKVAR#DOTA1:0.000,100.0#", 100},
    {BUTTON(Button7), "TEKVAR#DOTA2:0.000,100.0#", 100},
    {BUTTON(Button8), "TEKVAR#DOTA3:0.000,100.0#", 100},
    {BUTTON(Button170), "TEKVAR#ZDAD01:-1,01,0,00,000001,00000#", std::nullopt},
    {BUTTON(Button171), "TEKVAR#ZDAD02:-1,01,0,00,000001,00000#", std::nullopt},
    {BUTTON(Button172), "TEKVAR#ZDAD03:-1,01,0,00,000001,00000#", std::nullopt},
    {BUTTON(Button76), "PPPPPP#COMR01#", 1501},
    {BUTTON(Button73), "TEKVAR#COMW1:-1,160103000000044409#", 106},
    {BUTTON(Button74), "PPPPPP#COMP01#", 1502},
    {BUTTON(Button75), "TEKVAR#COMP01:010300#", 1502},
    {BUTTON(Button81), "PPPPPP#COMR02#", 1501},
    {BUTTON(Button3), "TEKVAR#COMW2:-1,160103000000044409#", 106},
    {BUTTON(Button79), "PPPPPP#COMP02#", 1502},
    {BUTTON(Button80), "TEKVAR#COMP02:010300#", 1502},
    {BUTTON(Button11), "TEKVAR#IOA:20#", 100},
};

// All buttons in one window, one after the other, as an operator would press
// them: each frame must stand alone on the line, and each kind must be the
// command's own or the one the previous command left.
TEST_F(WindowOnPty, EveryButtonSendsItsStartupFrameAndLeavesItsKind) {
    for (const StartupFrame& c : kStartupFrames) {
        SCOPED_TRACE(c.button);
        replyKind() = kEarlierKind;
        ui().Memo10->setPlainText(QStringLiteral("an earlier reply"));

        EXPECT_EQ(ClickAndRead(c.control(ui()), c.frame.size()), c.frame);
        EXPECT_EQ(ui().discomm->text().toStdString(), c.frame);
        EXPECT_TRUE(ui().Memo10->toPlainText().isEmpty());
        EXPECT_EQ(replyKind(), c.kind.value_or(kEarlierKind));
    }
}

TEST_F(WindowOnPty, WithThePortClosedTheFrameIsStillShownAndTheKindSet) {
    ui().Button1->click();  // close
    ASSERT_FALSE(form_->portOpen());
    ui().Button9->click();
    EXPECT_EQ(ui().discomm->text(), QStringLiteral("PPPPPP#CHEACK1#"));
    EXPECT_EQ(replyKind(), 101);
    EXPECT_TRUE(pty_.Silent(100ms));
}

// Choosing items turns the -1 of "nothing selected" into the item's index.
struct ChosenItems {
    const char* what;
    std::function<void(Ui::TForm1&)> choose;
    std::function<QAbstractButton*(Ui::TForm1&)> button;
    std::string frame;
};

void PrintTo(const ChosenItems& c, std::ostream* os) {
    *os << c.what;
}

class AfterChoosing : public WindowOnPty, public ::testing::WithParamInterface<ChosenItems> {};

TEST_P(AfterChoosing, FrameCarriesTheChosenIndex) {
    GetParam().choose(ui());
    const std::string& frame = GetParam().frame;
    EXPECT_EQ(ClickAndRead(GetParam().button(ui()), frame.size()), frame);
}

std::string Command(int characters) {
    std::string text;
    for (int i = 0; i < characters; ++i) text += "0123456789ABCDEF"[i % 16];
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Items, AfterChoosing,
    ::testing::Values(
        ChosenItems{"0_Close chosen", [](Ui::TForm1& ui) { ui.MAD1USE->setCurrentIndex(0); },
                    [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button170; },
                    "TEKVAR#ZDAD01:0,01,0,00,000001,00000#"},
        ChosenItems{"4_CMD4 and format 9 in row 2",
                    [](Ui::TForm1& ui) {
                        ui.MAD2USE->setCurrentIndex(4);
                        ui.MAD2XIN->setCurrentIndex(9);
                    },
                    [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button171; },
                    "TEKVAR#ZDAD02:4,01,0,09,000001,00000#"},
        ChosenItems{"format 10 in row 3", [](Ui::TForm1& ui) { ui.MAD3XIN->setCurrentIndex(10); },
                    [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button172; },
                    "TEKVAR#ZDAD03:-1,01,0,10,000001,00000#"},
        ChosenItems{"format 22, the last entry",
                    [](Ui::TForm1& ui) { ui.MAD1XIN->setCurrentIndex(22); },
                    [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button170; },
                    "TEKVAR#ZDAD01:-1,01,0,22,000001,00000#"},
        ChosenItems{"format typed with no item selected",
                    [](Ui::TForm1& ui) {
                        ui.MAD1XIN->lineEdit()->selectAll();
                        QTest::keyClicks(ui.MAD1XIN->lineEdit(), QStringLiteral("my own"));
                    },
                    [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button170; },
                    "TEKVAR#ZDAD01:-1,01,0,0-1,000001,00000#"},
        ChosenItems{"2400 baud, even parity",
                    [](Ui::TForm1& ui) {
                        ui.MR485BT->setCurrentIndex(1);
                        ui.MR485JN->setCurrentIndex(2);
                    },
                    [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button17; },
                    "TEKVAR#RS485A:1,2#"},
        ChosenItems{"Open chosen in slot 1", [](Ui::TForm1& ui) { ui.COMAD1->setCurrentIndex(1); },
                    [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button73; },
                    "TEKVAR#COMW1:1,160103000000044409#"},
        ChosenItems{"Close chosen in slot 2", [](Ui::TForm1& ui) { ui.COMAD2->setCurrentIndex(0); },
                    [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button3; },
                    "TEKVAR#COMW2:0,160103000000044409#"}));

// The length digits count the command's characters: n div 10, then n mod 10.
class CommandLength : public WindowOnPty, public ::testing::WithParamInterface<int> {};

TEST_P(CommandLength, LengthDigitsCountTheCharacters) {
    const int n = GetParam();
    const std::string text = Command(n);
    const std::string digits = std::to_string(n / 10) + std::to_string(n % 10);
    for (int slot : {1, 2}) {
        SCOPED_TRACE(slot);
        QLineEdit* field = slot == 1 ? ui().COMDDATA1 : ui().COMDDATA2;
        QAbstractButton* button = slot == 1 ? ui().Button73 : ui().Button3;
        field->setText(QString::fromStdString(text));
        const std::string frame =
            "TEKVAR#COMW" + std::to_string(slot) + ":-1," + digits + text + "#";
        EXPECT_EQ(ClickAndRead(button, frame.size()), frame);
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, CommandLength, ::testing::Values(0, 8, 10, 16, 100, 120));

// Long commands are pasted, not typed: the frame goes out whole and the send
// line shows all of it, as it shows every frame handed over.
TEST_F(WindowOnPty, LongCommandGoesOutWholeAndIsShownWhole) {
    const std::string text = Command(32766);
    ui().COMDDATA1->setText(QString::fromStdString(text));
    ASSERT_EQ(ui().COMDDATA1->text().size(), 32766);
    const std::string frame = "TEKVAR#COMW1:-1,32766" + text + "#";
    EXPECT_EQ(ClickAndRead(ui().Button73, frame.size()), frame);
    EXPECT_EQ(ui().discomm->text().size(), static_cast<qsizetype>(frame.size()));
}

// An odd count is refused with the console's own plain message; nothing
// else happens, on the line or in the window.
class OddCommand : public WindowOnPty, public ::testing::WithParamInterface<int> {};

TEST_P(OddCommand, IsRefusedAndNothingChanges) {
    const int slot = GetParam();
    QLineEdit* field = slot == 1 ? ui().COMDDATA1 : ui().COMDDATA2;
    QAbstractButton* button = slot == 1 ? ui().Button73 : ui().Button3;

    ui().discomm->setText(QStringLiteral("the last frame"));
    ui().Memo10->setPlainText(QStringLiteral("the last reply"));
    replyKind() = kEarlierKind;
    field->setText(QStringLiteral("010300000"));  // nine characters

    MessageBoxCatcher catcher;
    button->click();
    ASSERT_TRUE(catcher.WaitForBox());
    ASSERT_EQ(catcher.boxes().size(), 1u);
    const console_test::SeenBox& box = catcher.boxes().front();
    EXPECT_EQ(box.text, QStringLiteral("Input data must be even-numbered"));
    EXPECT_EQ(box.icon, QMessageBox::NoIcon);
    EXPECT_EQ(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    EXPECT_TRUE(pty_.Silent(150ms));
    EXPECT_EQ(ui().discomm->text(), QStringLiteral("the last frame"));
    EXPECT_EQ(ui().Memo10->toPlainText(), QStringLiteral("the last reply"));
    EXPECT_EQ(replyKind(), kEarlierKind);
}

INSTANTIATE_TEST_SUITE_P(Slots, OddCommand, ::testing::Values(1, 2));

// Field texts go out exactly as typed: separators inside a field are the
// operator's business, as is an empty field.
struct TypedText {
    const char* what;
    std::function<void(Ui::TForm1&)> type;
    std::function<QAbstractButton*(Ui::TForm1&)> button;
    std::string frame;
};

void PrintTo(const TypedText& c, std::ostream* os) {
    *os << c.what;
}

class TypedTexts : public WindowOnPty, public ::testing::WithParamInterface<TypedText> {};

TEST_P(TypedTexts, GoIntoTheFrameUnchanged) {
    GetParam().type(ui());
    EXPECT_EQ(ClickAndRead(GetParam().button(ui()), GetParam().frame.size()), GetParam().frame);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TypedTexts,
    ::testing::Values(
        TypedText{"interval with comma and hash",
                  [](Ui::TForm1& ui) { ui.JTME->setText(QStringLiteral("1,#")); },
                  [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button5; }, "TEKVAR#JTM:1,##"},
        TypedText{"empty interval", [](Ui::TForm1& ui) { ui.JTME->clear(); },
                  [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button5; }, "TEKVAR#JTM:#"},
        TypedText{"address with blanks and hash",
                  [](Ui::TForm1& ui) { ui.ADRM->setText(QStringLiteral(" #1 ")); },
                  [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button10; },
                  "TEKVAR#ADR: #1 #"},
        TypedText{"output range with commas",
                  [](Ui::TForm1& ui) {
                      ui.DAO2H->setText(QStringLiteral("1,5"));
                      ui.DAO2L->setText(QStringLiteral("#"));
                  },
                  [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button7; },
                  "TEKVAR#DOTA2:1,5,##"},
        TypedText{"polling row texts",
                  [](Ui::TForm1& ui) {
                      ui.MAD3MADR->setText(QStringLiteral("a,b"));
                      ui.MAD3DADR->setText(QString());
                      ui.MAD3XS->setText(QStringLiteral("0,98"));
                      ui.DataQY3->setText(QStringLiteral("#-1"));
                  },
                  [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button172; },
                  "TEKVAR#ZDAD03:-1,a,b,,00,0,98,#-1#"},
        TypedText{"command with comma and hash",
                  [](Ui::TForm1& ui) { ui.COMDDATA2->setText(QStringLiteral("01,#")); },
                  [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button3; },
                  "TEKVAR#COMW2:-1,0401,##"},
        TypedText{"parse bytes of any width",
                  [](Ui::TForm1& ui) {
                      ui.BCOMBY1->setText(QStringLiteral("1"));
                      ui.BCOMBY2->setText(QStringLiteral(",#"));
                      ui.BCOMBY3->setText(QStringLiteral("FFF"));
                  },
                  [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button80; },
                  "TEKVAR#COMP02:1,#FFF#"},
        TypedText{"Latin-1 characters are their own bytes",
                  [](Ui::TForm1& ui) { ui.ADRM->setText(QStringLiteral("\u00E9\u00FF")); },
                  [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button10; },
                  "TEKVAR#ADR:\xE9\xFF#"}));

// Refusals raised inside a command end it before anything is shown or sent.
struct Refusal {
    const char* what;
    std::function<void(Ui::TForm1&)> prepare;
    std::function<QAbstractButton*(Ui::TForm1&)> button;
    QString message;  // as the error box shows it
};

void PrintTo(const Refusal& c, std::ostream* os) {
    *os << c.what;
}

class Refusals : public WindowOnPty, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Refusals, ShowTheErrorAndSendNothing) {
    GetParam().prepare(ui());
    ui().discomm->setText(QStringLiteral("the last frame"));
    ui().Memo10->setPlainText(QStringLiteral("the last reply"));
    replyKind() = kEarlierKind;

    MessageBoxCatcher catcher;
    GetParam().button(ui())->click();
    ASSERT_TRUE(catcher.WaitForBox());
    EXPECT_EQ(catcher.boxes().front().text, GetParam().message);
    EXPECT_EQ(catcher.boxes().front().icon, QMessageBox::Critical);

    EXPECT_TRUE(pty_.Silent(150ms));
    EXPECT_EQ(ui().discomm->text(), QStringLiteral("the last frame"));
    EXPECT_EQ(ui().Memo10->toPlainText(), QStringLiteral("the last reply"));
    EXPECT_EQ(replyKind(), kEarlierKind);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Refusals,
    ::testing::Values(
        Refusal{"test current with letters",
                [](Ui::TForm1& ui) { ui.Edit1->setText(QStringLiteral("2a")); },
                [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button11; },
                QStringLiteral("'2a' is not a valid integer value.")},
        Refusal{"test current with a decimal point",
                [](Ui::TForm1& ui) { ui.Edit1->setText(QStringLiteral("2.5")); },
                [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button11; },
                QStringLiteral("'2.5' is not a valid integer value.")},
        Refusal{"empty test current", [](Ui::TForm1& ui) { ui.Edit1->clear(); },
                [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button11; },
                QStringLiteral("'' is not a valid integer value.")},
        Refusal{"test current beyond 32 bits",
                [](Ui::TForm1& ui) { ui.Edit1->setText(QStringLiteral("2147483648")); },
                [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button11; },
                QStringLiteral("'2147483648' is not a valid integer value.")},
        Refusal{"test current with a character that is no byte",
                [](Ui::TForm1& ui) { ui.Edit1->setText(QStringLiteral("2\u20AC")); },
                [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button11; },
                QStringLiteral("'2\u20AC' is not a valid integer value.")},
        Refusal{"command with a character that is no byte",
                [](Ui::TForm1& ui) { ui.COMDDATA1->setText(QStringLiteral("01\u01000")); },
                [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button73; },
                QStringLiteral("The field COMDDATA1 holds a character that cannot be sent: "
                               "'\u0100' (U+0100)")},
        Refusal{"address with a character that is no byte",
                [](Ui::TForm1& ui) { ui.ADRM->setText(QStringLiteral("\u03A9")); },
                [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button10; },
                QStringLiteral("The field ADRM holds a character that cannot be sent: "
                               "'\u03A9' (U+03A9)")},
        Refusal{"output range beyond one send",
                [](Ui::TForm1& ui) {
                    ui.DAO1H->setMaxLength(40000);
                    ui.DAO1L->setMaxLength(40000);
                    ui.DAO1H->setText(QString(40000, u'1'));
                    ui.DAO1L->setText(QString(40000, u'2'));
                },
                [](Ui::TForm1& ui) -> QAbstractButton* { return ui.Button6; },
                QStringLiteral("The frame would be 80015 bytes long, but one send carries at "
                               "most 65535 bytes; shorten the field's text.")}));

// The test current is written from the number, with a "0" below ten.
struct TestCurrent {
    const char* typed;
    std::string frame;
};

class TestMode : public WindowOnPty, public ::testing::WithParamInterface<TestCurrent> {};

TEST_P(TestMode, FrameCarriesTheNumber) {
    replyKind() = kEarlierKind;
    ui().Edit1->setText(QString::fromLatin1(GetParam().typed));
    EXPECT_EQ(ClickAndRead(ui().Button11, GetParam().frame.size()), GetParam().frame);
    EXPECT_EQ(replyKind(), 100);
}

INSTANTIATE_TEST_SUITE_P(Currents, TestMode,
                         ::testing::Values(TestCurrent{"9", "TEKVAR#IOA:09#"},
                                           TestCurrent{"10", "TEKVAR#IOA:10#"},
                                           TestCurrent{"4", "TEKVAR#IOA:04#"},
                                           TestCurrent{"150", "TEKVAR#IOA:150#"},
                                           TestCurrent{"-3", "TEKVAR#IOA:0-3#"},
                                           TestCurrent{" +020", "TEKVAR#IOA:20#"}));

// The calibration: four conversions first, then one coefficient per output.
struct Calibration {
    const char* s;
    const char* a1;
    const char* a2;
    const char* a3;
    const char* c1;  // nothing: the calculation is refused
    const char* c2;
    const char* c3;
    const char* message;
};

void PrintTo(const Calibration& c, std::ostream* os) {
    *os << c.s << " " << c.a1 << " " << c.a2 << " " << c.a3;
}

class Coefficients : public WindowOnPty, public ::testing::WithParamInterface<Calibration> {};

TEST_P(Coefficients, AreWrittenOrNoFieldChanges) {
    const Calibration& c = GetParam();
    ui().Edit1->setText(QString::fromUtf8(c.s));
    ui().Edit2->setText(QString::fromUtf8(c.a1));
    ui().Edit3->setText(QString::fromUtf8(c.a2));
    ui().Edit5->setText(QString::fromUtf8(c.a3));
    for (QLineEdit* field : {ui().MAD1XS, ui().MAD2XS, ui().MAD3XS}) field->setText("kept");

    MessageBoxCatcher catcher;
    ui().Button12->click();
    if (c.message == nullptr) {
        EXPECT_TRUE(catcher.boxes().empty());
        EXPECT_EQ(ui().MAD1XS->text(), c.c1);
        EXPECT_EQ(ui().MAD2XS->text(), c.c2);
        EXPECT_EQ(ui().MAD3XS->text(), c.c3);
    } else {
        ASSERT_TRUE(catcher.WaitForBox());
        EXPECT_EQ(catcher.boxes().front().text, QString::fromUtf8(c.message));
        for (QLineEdit* field : {ui().MAD1XS, ui().MAD2XS, ui().MAD3XS}) {
            EXPECT_EQ(field->text(), "kept");
        }
    }
    EXPECT_TRUE(pty_.Silent(50ms));  // the calculation sends nothing
}

INSTANTIATE_TEST_SUITE_P(
    Values, Coefficients,
    ::testing::Values(
        Calibration{"20", "20", "20", "20", "1.0000", "1.0000", "1.0000", nullptr},
        Calibration{"20", "20.4", "19.5", "21.3", "0.9800", "1.0250", "0.9350", nullptr},
        Calibration{" 20 ", "0", "2e1", "+20.0", "2.0000", "1.0000", "1.0000", nullptr},
        Calibration{"4", "40", "500", "4", "-8.0000", "-123.00", "1.0000", nullptr},
        Calibration{"1", "-100", "1", "1", "102.000", "1.0000", "1.0000", nullptr},
        Calibration{"0", "5", "20", "20", nullptr, nullptr, nullptr,
                    "Floating point division by zero."},
        Calibration{"0", "0", "20", "20", nullptr, nullptr, nullptr,
                    "Invalid floating point operation."},
        Calibration{"20", "20", "x", "20", nullptr, nullptr, nullptr,
                    "'x' is not a valid floating point value."},
        Calibration{"20", "20", "20", "20,4", nullptr, nullptr, nullptr,
                    "'20,4' is not a valid floating point value."},
        Calibration{"", "20", "20", "20", nullptr, nullptr, nullptr,
                    "'' is not a valid floating point value."},
        // The first field that is no number is the one named, whatever kind
        // of character makes it so.
        Calibration{"20", "2\u20AC", "x", "20", nullptr, nullptr, nullptr,
                    "'2\u20AC' is not a valid floating point value."},
        Calibration{"20", "x", "2\u20AC", "20", nullptr, nullptr, nullptr,
                    "'x' is not a valid floating point value."}));

// The operator's regional settings are read once, at start, so a comma
// locale is tried in a child run of this same test with LC_ALL set.
constexpr char kCommaChild[] = "VK_TEST_COMMA_LOCALE_CHILD";

TEST(CoefficientsInACommaLocale, ReadAndWriteWithAComma) {
    if (qEnvironmentVariableIsSet(kCommaChild)) {
        ASSERT_EQ(QLocale::system().decimalPoint(), ",");
        TForm1 form;
        Ui::TForm1& ui = *form.controls();
        ui.Edit1->setText("20");
        ui.Edit2->setText("20,4");
        ui.Edit3->setText("19,5");
        ui.Edit5->setText(" 21,3 ");
        ui.Button12->click();
        EXPECT_EQ(ui.MAD1XS->text(), "0,9800");
        EXPECT_EQ(ui.MAD2XS->text(), "1,0250");
        EXPECT_EQ(ui.MAD3XS->text(), "0,9350");

        ui.Edit2->setText("20.4");
        MessageBoxCatcher catcher;
        ui.Button12->click();
        ASSERT_TRUE(catcher.WaitForBox());
        EXPECT_EQ(catcher.boxes().front().text, "'20.4' is not a valid floating point value.");
        EXPECT_EQ(ui.MAD1XS->text(), "0,9800");
        return;
    }
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "de_DE.UTF-8");
    environment.insert(kCommaChild, "1");
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=CoefficientsInACommaLocale.ReadAndWriteWithAComma"});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

}  // namespace

// The keystroke filters and the layout switch under real key events in the
// offscreen window. Offscreen QTest events differ from a real display (Ctrl+V
// carries "v", Delete no text), so the keys whose text matters are built with
// the text a real display delivers.
#include "console/input_rules.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <array>
#include <functional>
#include <memory>

#include "console/tform1.h"
#include "ui_tform1.h"

namespace {

class ShownWindow : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = std::make_unique<TForm1>();
        form_->show();
        form_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    }

    Ui::TForm1& ui() { return *form_->controls(); }

    QLineEdit* Box(const QString& name) {
        auto* box = form_->findChild<QLineEdit*>(name);
        EXPECT_NE(box, nullptr) << name.toStdString();
        return box;
    }

    std::unique_ptr<TForm1> form_;
};

// A key as a real display delivers it: key code, modifiers and text; or the
// text an input method commits.
struct RealKey {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    QString text;
    bool committed = false;
};

const RealKey kBackspace{Qt::Key_Backspace, Qt::NoModifier, QString(QChar(8))};
const RealKey kDelete{Qt::Key_Delete, Qt::NoModifier, QString(QChar(127))};
const RealKey kCtrlV{Qt::Key_V, Qt::ControlModifier, QString(QChar(22))};
const RealKey kCtrlA{Qt::Key_A, Qt::ControlModifier, QString(QChar(1))};
const RealKey kEnter{Qt::Key_Return, Qt::NoModifier, QString(QChar(13))};
const RealKey kTab{Qt::Key_Tab, Qt::NoModifier, QString(QChar(9))};

RealKey Char(char c) {
    return {Qt::Key(QChar(c).toUpper().unicode()), Qt::NoModifier, QString(QChar(c))};
}

// One key event that types several characters at once.
RealKey Chars(const char* text) {
    return {Qt::Key_unknown, Qt::NoModifier, QString::fromLatin1(text)};
}

RealKey Commit(const char* text) {
    return {Qt::Key_unknown, Qt::NoModifier, QString::fromLatin1(text), true};
}

void Press(QWidget* box, const RealKey& key) {
    if (key.committed) {
        QInputMethodEvent commit;
        commit.setCommitString(key.text);
        QApplication::sendEvent(box, &commit);
        return;
    }
    QKeyEvent press(QEvent::KeyPress, key.key, key.modifiers, key.text);
    QApplication::sendEvent(box, &press);
    QKeyEvent release(QEvent::KeyRelease, key.key, key.modifiers, key.text);
    QApplication::sendEvent(box, &release);
}

enum class Caret { End, Start, SelectAll };

struct KeyCase {
    const char* what;
    const char* box;
    const char* before;
    Caret caret;
    RealKey key;
    const char* after;
};

void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.what;
}

class Keystroke : public ShownWindow, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(Keystroke, ReachesTheBoxOnlyWhenTheFilterLetsItThrough) {
    const KeyCase& c = GetParam();
    QLineEdit* box = Box(QString::fromLatin1(c.box));
    ASSERT_NE(box, nullptr);
    box->setText(QString::fromLatin1(c.before));  // set by the program: not filtered
    box->setFocus();
    switch (c.caret) {
        case Caret::End:
            box->end(false);
            break;
        case Caret::Start:
            box->home(false);
            break;
        case Caret::SelectAll:
            box->selectAll();
            break;
    }
    Press(box, c.key);
    EXPECT_EQ(box->text().toStdString(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Interval, Keystroke,
    ::testing::Values(
        KeyCase{"digit after 10", "JTME", "10", Caret::End, Char('5'), "105"},
        KeyCase{"space between digits", "JTME", "1", Caret::End, Char(' '), "1 "},
        KeyCase{"fourth digit", "JTME", "105", Caret::End, Char('6'), "105"},
        KeyCase{"fourth digit over a selection", "JTME", "105", Caret::SelectAll, Char('7'), "105"},
        KeyCase{"backspace at three", "JTME", "105", Caret::End, kBackspace, "10"},
        KeyCase{"backspace beyond the limit", "JTME", "123456", Caret::End, kBackspace, "12345"},
        KeyCase{"letter", "JTME", "1", Caret::End, Char('a'), "1"},
        KeyCase{"minus", "JTME", "1", Caret::End, Char('-'), "1"},
        KeyCase{"point", "JTME", "1", Caret::End, Char('.'), "1"},
        KeyCase{"Ctrl+V as a control character", "JTME", "1", Caret::End, kCtrlV, "1"},
        KeyCase{"Delete is no typed character", "JTME", "105", Caret::Start, kDelete, "05"},
        KeyCase{"Delete beyond the limit", "JTME", "12345", Caret::Start, kDelete, "2345"},
        // Several characters in one event are judged one after the other.
        KeyCase{"two digits in one key after 10", "JTME", "10", Caret::End, Chars("23"), "102"},
        KeyCase{"digit, letter in one key", "JTME", "", Caret::End, Chars("1x"), "1"},
        KeyCase{"letter, digit in one key", "JTME", "", Caret::End, Chars("x1"), "1"},
        KeyCase{"commit of one digit at three", "JTME", "105", Caret::End, Commit("5"), "105"},
        KeyCase{"commit of two digits after 10", "JTME", "10", Caret::End, Commit("23"), "102"},
        KeyCase{"commit of digit, letter", "JTME", "", Caret::End, Commit("1x"), "1"},
        KeyCase{"commit over a selection", "JTME", "105", Caret::SelectAll, Commit("23"), "105"}));

INSTANTIATE_TEST_SUITE_P(
    OutputValue, Keystroke,
    ::testing::Values(
        KeyCase{"digit into a full box", "DAO1H", "0.000", Caret::End, Char('1'), "0.000"},
        KeyCase{"digit over a full selection", "DAO1L", "100.0", Caret::SelectAll, Char('5'),
                "100.0"},
        KeyCase{"backspace in a full box", "DAO2H", "0.000", Caret::End, kBackspace, "0.00"},
        KeyCase{"minus at four", "DAO2L", "0.00", Caret::End, Char('-'), "0.00-"},
        KeyCase{"second point", "DAO3H", "0.00", Caret::End, Char('.'), "0.00."},
        KeyCase{"minus in front", "DAO3L", "1", Caret::Start, Char('-'), "-1"},
        KeyCase{"space", "DAO1H", "1", Caret::End, Char(' '), "1"},
        KeyCase{"comma", "DAO1L", "1", Caret::End, Char(','), "1"},
        KeyCase{"plus", "DAO2H", "1", Caret::End, Char('+'), "1"},
        KeyCase{"Ctrl+V as a control character", "DAO2L", "1", Caret::End, kCtrlV, "1"},
        KeyCase{"Enter", "DAO3H", "1", Caret::End, kEnter, "1"},
        KeyCase{"Delete in a full box", "DAO3L", "100.0", Caret::Start, kDelete, "00.0"},
        KeyCase{"letter among digits in one key", "DAO1H", "12", Caret::End, Chars("3a4"), "1234"},
        KeyCase{"commit beyond five", "DAO2H", "1234", Caret::End, Commit("56"), "12345"},
        KeyCase{"commit of digit, letter", "DAO3L", "", Caret::End, Commit("1x"), "1"}));

// An input method's commit may replace text around the caret and leave
// text still being composed. Split into single characters for the filter,
// it must end exactly as in a box without a filter when every character is
// let through: same text, same caret, and the composed text still shown
// after it (the input method places its candidate window by that caret).
struct Composition {
    const char* what;
    const char* box;
    const char* before;
    const char* commit;
    int replaceFrom;  // relative to the caret
    int replaceLength;
    const char* preedit;
    const char* after;
};

TEST_F(ShownWindow, CommitsOfSeveralCharactersEndAsWithoutAFilter) {
    const Composition compositions[] = {
        {"replacing the character before the caret", "JTME", "19", "23", -1, 1, "", "123"},
        {"with text still composed", "JTME", "1", "23", 0, 0, "4", "123"},
        {"both at once", "DAO1H", "1.9", "25", -1, 1, "0", "1.25"},
    };
    for (const Composition& c : compositions) {
        SCOPED_TRACE(c.what);
        QLineEdit* box = Box(QString::fromLatin1(c.box));
        ASSERT_NE(box, nullptr);
        QLineEdit plain(box->parentWidget());
        plain.setGeometry(box->geometry());
        plain.setFont(box->font());
        plain.setAlignment(box->alignment());
        for (QLineEdit* edit : {box, &plain}) {
            edit->setText(QString::fromLatin1(c.before));
            edit->end(false);
            QInputMethodEvent input(QString::fromLatin1(c.preedit), {});
            input.setCommitString(QString::fromLatin1(c.commit), c.replaceFrom, c.replaceLength);
            QApplication::sendEvent(edit, &input);
        }
        EXPECT_EQ(box->text().toStdString(), c.after);
        EXPECT_EQ(plain.text().toStdString(), c.after);
        EXPECT_EQ(box->cursorPosition(), plain.cursorPosition());
        EXPECT_EQ(box->inputMethodQuery(Qt::ImCursorRectangle).toRect().x(),
                  plain.inputMethodQuery(Qt::ImCursorRectangle).toRect().x());
    }
}

// Text that reaches a box other than by typing is never filtered.
TEST_F(ShownWindow, PastingIsNotFiltered) {
    QApplication::clipboard()->setText(QStringLiteral("1x2345"));
    for (QLineEdit* box : {ui().JTME, ui().DAO1H}) {
        box->clear();
        box->paste();
        EXPECT_EQ(box->text(), QStringLiteral("1x2345")) << box->objectName().toStdString();
    }
}

TEST_F(ShownWindow, PasteShortcutTypedAsAControlCharacterPastesNothing) {
    QApplication::clipboard()->setText(QStringLiteral("99"));
    for (QLineEdit* box : {ui().JTME, ui().DAO1H}) {
        box->setText(QStringLiteral("1"));
        box->setFocus();
        box->end(false);
        Press(box, kCtrlV);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);  // offscreen form: text "v"
        EXPECT_EQ(box->text(), QStringLiteral("1")) << box->objectName().toStdString();
    }
}

TEST_F(ShownWindow, SelectAllShortcutIsCancelled) {
    ui().DAO1H->setText(QStringLiteral("0.00"));
    ui().DAO1H->setFocus();
    Press(ui().DAO1H, kCtrlA);
    EXPECT_FALSE(ui().DAO1H->hasSelectedText());
}

TEST_F(ShownWindow, EnterIsCancelledBeforeTheBoxSeesIt) {
    QSignalSpy returnPressed(ui().JTME, &QLineEdit::returnPressed);
    ui().JTME->setFocus();
    Press(ui().JTME, kEnter);
    EXPECT_EQ(returnPressed.count(), 0);
}

TEST_F(ShownWindow, KeysThatTypeNothingPassUntouched) {
    ui().DAO1H->setFocus();
    ui().DAO1H->end(false);
    QTest::keyClick(ui().DAO1H, Qt::Key_Left);  // empty text
    EXPECT_EQ(ui().DAO1H->cursorPosition(), 4);
    QTest::keyClick(ui().DAO1H, Qt::Key_Home);
    EXPECT_EQ(ui().DAO1H->cursorPosition(), 0);

    // Tab carries a tab character yet moves the focus.
    ui().JTME->setFocus();
    ASSERT_TRUE(ui().JTME->hasFocus());
    Press(ui().JTME, kTab);
    EXPECT_FALSE(ui().JTME->hasFocus());
    EXPECT_EQ(ui().JTME->text(), QStringLiteral("10"));

    // The receive box too passes Tab and Shift+Tab on rather than keeping
    // them as text, so the keyboard never gets caught in it.
    for (const Qt::KeyboardModifiers m : {Qt::NoModifier, Qt::ShiftModifier}) {
        ui().Memo10->setFocus();
        ASSERT_TRUE(ui().Memo10->hasFocus());
        QTest::keyClick(ui().Memo10, Qt::Key_Tab, m);
        EXPECT_FALSE(ui().Memo10->hasFocus());
        EXPECT_EQ(ui().Memo10->toPlainText(), QString());
    }
}

// Each filter measures its own box: a full neighbour must not block typing,
// nor a short neighbour let a full box grow.
TEST_F(ShownWindow, EachOutputBoxIsMeasuredByItself) {
    const std::array<QLineEdit*, 6> boxes{ui().DAO1H, ui().DAO2H, ui().DAO3H,
                                          ui().DAO1L, ui().DAO2L, ui().DAO3L};
    for (QLineEdit* target : boxes) {
        SCOPED_TRACE(target->objectName().toStdString());
        for (QLineEdit* box : boxes) box->setText(box == target ? "12" : "12345");
        target->setFocus();
        target->end(false);
        QTest::keyClick(target, '3');
        EXPECT_EQ(target->text(), QStringLiteral("123"));
        for (QLineEdit* box : boxes) {
            if (box == target) continue;
            box->setFocus();
            box->end(false);
            QTest::keyClick(box, '3');
            EXPECT_EQ(box->text(), QStringLiteral("12345"));
        }
    }
}

TEST_F(ShownWindow, TypingIntoTheIntervalBoxStopsAtThreeCharacters) {
    ui().JTME->clear();
    ui().JTME->setFocus();
    QTest::keyClicks(ui().JTME, QStringLiteral("1a2 3-45"));
    EXPECT_EQ(ui().JTME->text(), QStringLiteral("12 "));
}

// The layout as the operator types "10" into "000" and back.
struct LayoutStep {
    std::function<void(QLineEdit*)> key;
    const char* text;
    bool reduced;
};

TEST_F(ShownWindow, LayoutFollowsEveryTextWhileTyping) {
    EXPECT_EQ(ui().Label2->text(), QStringLiteral("DOUT1:"));  // start-up runs no switch
    const auto backspace = [](QLineEdit* box) { QTest::keyClick(box, Qt::Key_Backspace); };
    const auto zero = [](QLineEdit* box) { QTest::keyClick(box, '0'); };
    const LayoutStep steps[] = {
        {backspace, "1", false},  {backspace, "", false}, {zero, "0", false},
        {zero, "00", false},      {zero, "000", true},    {zero, "000", true},
        {backspace, "00", false}, {zero, "000", true},
    };
    ui().JTME->setFocus();
    ui().JTME->end(false);
    for (const LayoutStep& step : steps) {
        step.key(ui().JTME);
        SCOPED_TRACE(step.text);
        ASSERT_EQ(ui().JTME->text(), QString::fromLatin1(step.text));
        EXPECT_EQ(ui().GroupBox7->isHidden(), step.reduced);
        EXPECT_EQ(ui().GroupBox5->isHidden(), step.reduced);
        EXPECT_EQ(ui().GroupBox3->isHidden(), step.reduced);
        EXPECT_FALSE(ui().GroupBox1->isHidden());
        EXPECT_EQ(ui().Label2->text(), step.reduced ? "ADDR:00" : "OUT1:");
        EXPECT_EQ(ui().Label3->text(), step.reduced ? "ADDR:02" : "OUT2:");
        EXPECT_EQ(ui().Label5->text(), step.reduced ? "ADDR:04" : "OUT3:");
    }
}

TEST_F(ShownWindow, ProgramSetTextSwitchesOnlyWhenTheTextChanges) {
    ui().JTME->setText(QStringLiteral("000"));
    EXPECT_TRUE(ui().GroupBox7->isHidden());
    // The operator shows a group by other means; setting the same text again
    // must not run the switch and hide it again.
    ui().GroupBox7->show();
    ui().JTME->setText(QStringLiteral("000"));
    EXPECT_FALSE(ui().GroupBox7->isHidden());
    for (const char* text : {"0 0", " 00", "0000", ""}) {
        ui().JTME->setText(QString::fromLatin1(text));
        EXPECT_FALSE(ui().GroupBox5->isHidden()) << text;
        EXPECT_EQ(ui().Label3->text(), QStringLiteral("OUT2:")) << text;
    }
}

}  // namespace

// The same decisions without a window, over every class of character.
namespace {

enum class Filter { Interval, OutputValue };

struct FilterCase {
    Filter filter;
    const char16_t* before;  // the box's text before the keystroke
    char16_t typed;
    bool accepted;
};

void PrintTo(const FilterCase& c, std::ostream* os) {
    *os << (c.filter == Filter::Interval ? "interval" : "output") << " \""
        << QString::fromUtf16(c.before).toStdString() << "\" + " << int(c.typed);
}

class FilterDecision : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterDecision, DecidesFromTheCharacterAndTheTextBefore) {
    const FilterCase& c = GetParam();
    const QString before = QString::fromUtf16(c.before);
    const bool accepted = c.filter == Filter::Interval
                              ? console::IntervalFilterAccepts(c.typed, before)
                              : console::OutputValueFilterAccepts(c.typed, before);
    EXPECT_EQ(accepted, c.accepted);
}

constexpr char16_t kCtrlVCode = 22;
constexpr char16_t kCtrlACode = 1;
constexpr char16_t kEnterCode = 13;
constexpr char16_t kEscapeCode = 27;
constexpr char16_t kTabCode = 9;
constexpr char16_t kDeleteText = 127;

INSTANTIATE_TEST_SUITE_P(
    Interval, FilterDecision,
    ::testing::Values(FilterCase{Filter::Interval, u"", u'0', true},
                      FilterCase{Filter::Interval, u"1", u'9', true},
                      FilterCase{Filter::Interval, u"10", u' ', true},
                      FilterCase{Filter::Interval, u"1 ", u'5', true},
                      // Three characters before the keystroke: only backspace goes through.
                      FilterCase{Filter::Interval, u"100", u'1', false},
                      FilterCase{Filter::Interval, u"100", u' ', false},
                      FilterCase{Filter::Interval, u"100", console::kBackspace, true},
                      FilterCase{Filter::Interval, u"123456", console::kBackspace, true},
                      FilterCase{Filter::Interval, u"", console::kBackspace, true},
                      FilterCase{Filter::Interval, u"1", u'-', false},
                      FilterCase{Filter::Interval, u"1", u'.', false},
                      FilterCase{Filter::Interval, u"1", u'a', false},
                      FilterCase{Filter::Interval, u"", u'/', false},
                      FilterCase{Filter::Interval, u"", u':', false},
                      FilterCase{Filter::Interval, u"1", kCtrlVCode, false},
                      FilterCase{Filter::Interval, u"1", kCtrlACode, false},
                      FilterCase{Filter::Interval, u"1", kEnterCode, false},
                      FilterCase{Filter::Interval, u"1", kEscapeCode, false},
                      FilterCase{Filter::Interval, u"1", kTabCode, false},
                      FilterCase{Filter::Interval, u"1", kDeleteText, false},
                      FilterCase{Filter::Interval, u"1", u'\u0661', false}));  // Arabic-Indic one

INSTANTIATE_TEST_SUITE_P(
    OutputValue, FilterDecision,
    ::testing::Values(FilterCase{Filter::OutputValue, u"", u'7', true},
                      FilterCase{Filter::OutputValue, u"0.00", u'0', true},
                      FilterCase{Filter::OutputValue, u"--..", u'-', true},
                      FilterCase{Filter::OutputValue, u"1-2", u'.', true},
                      // Five characters before the keystroke: only backspace goes through.
                      FilterCase{Filter::OutputValue, u"0.000", u'1', false},
                      FilterCase{Filter::OutputValue, u"100.0", u'-', false},
                      FilterCase{Filter::OutputValue, u"100.0", console::kBackspace, true},
                      FilterCase{Filter::OutputValue, u"1234567", console::kBackspace, true},
                      FilterCase{Filter::OutputValue, u"1", u' ', false},
                      FilterCase{Filter::OutputValue, u"1", u',', false},
                      FilterCase{Filter::OutputValue, u"1", u'+', false},
                      FilterCase{Filter::OutputValue, u"1", u'e', false},
                      FilterCase{Filter::OutputValue, u"1", kCtrlVCode, false},
                      FilterCase{Filter::OutputValue, u"1", kEnterCode, false},
                      FilterCase{Filter::OutputValue, u"1", kDeleteText, false}));

TEST(ReducedLayoutText, OnlyThreeZeros) {
    EXPECT_TRUE(console::IsReducedLayoutText(u"000"));
    for (const char16_t* text : {u"", u"0", u"00", u"0000", u" 00", u"0 0", u"00 ", u"010"}) {
        EXPECT_FALSE(console::IsReducedLayoutText(text)) << QString::fromUtf16(text).toStdString();
    }
}

}  // namespace

// The choice boxes under real key and mouse events: the index follows the
// typed text exactly, typed text never becomes an item, and Enter selects
// nothing by itself.
#include "console/choice_box.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <string>

namespace {

const QStringList kBauds = {"1200", "2400", "4800", "9600"};

class ChoiceBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        box = new ChoiceBox(&window);
        box->addItems(kBauds);
        box->setCurrentIndex(3);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        box->setFocus();
        window.activateWindow();
    }

    void TypeOverAll(const QString& text) {
        box->lineEdit()->selectAll();
        QTest::keyClicks(box, text);
    }

    QWidget window;
    ChoiceBox* box = nullptr;
};

struct Typing {
    const char* name;
    const char* typed;
    int index;  // expected index afterwards
};

class TypedText : public ChoiceBoxTest, public ::testing::WithParamInterface<Typing> {};

const Typing kTypings[] = {
    {"ItemSelectsIt", "4800", 2},
    {"UnlistedRate", "12345", -1},
    {"ItemWithTrailingBlank", "4800 ", -1},
    {"LongerThanAnItem", "96000", -1},
    {"PrefixOfAnItem", "96", -1},
    {"Letters", "fast", -1},
    {"Empty", "", -1},
};

TEST_P(TypedText, IndexFollowsTheWholeText) {
    const Typing& t = GetParam();
    box->lineEdit()->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, t.typed);
    EXPECT_EQ(box->currentText(), t.typed);
    EXPECT_EQ(box->currentIndex(), t.index);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(box->currentText(), t.typed) << "Enter keeps the text as typed";
    EXPECT_EQ(box->currentIndex(), t.index);
    EXPECT_EQ(box->count(), kBauds.size()) << "typed text never becomes an item";
}

INSTANTIATE_TEST_SUITE_P(ChoiceBox, TypedText, ::testing::ValuesIn(kTypings),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ChoiceBoxTest, EditingBackToAnItemSelectsItAgain) {
    TypeOverAll("48000");
    EXPECT_EQ(box->currentIndex(), -1);
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->currentIndex(), 2);
    EXPECT_EQ(box->currentText(), "4800");
}

// Selecting an item on the way must not disturb the caret: typing goes on
// where the operator is.
TEST_F(ChoiceBoxTest, FollowingKeepsTheCaret) {
    TypeOverAll("1200");
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_Delete);
    EXPECT_EQ(box->currentIndex(), -1);
    QTest::keyClicks(box, "2");
    EXPECT_EQ(box->currentText(), "2200");
    EXPECT_EQ(box->lineEdit()->cursorPosition(), 1);
}

TEST_F(ChoiceBoxTest, MatchingIsCaseSensitive) {
    box->clear();
    box->addItems({"None", "Odd", "Even"});
    TypeOverAll("even");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(box->currentIndex(), -1);
    EXPECT_EQ(box->currentText(), "even");
}

TEST_F(ChoiceBoxTest, ChoosingFromTheListSelects) {
    TypeOverAll("12345");
    box->showPopup();
    QAbstractItemView* list = box->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    const QRect row = list->visualRect(box->model()->index(1, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(box->currentIndex(), 1);
    EXPECT_EQ(box->currentText(), "2400");
}

TEST_F(ChoiceBoxTest, ProgramSettingAnIndexShowsThatItem) {
    TypeOverAll("12345");
    box->setCurrentIndex(0);
    EXPECT_EQ(box->currentText(), "1200");
    // An index outside the list leaves no entry selected and nothing shown.
    box->setCurrentIndex(7);
    EXPECT_EQ(box->currentIndex(), -1);
    box->setCurrentIndex(-1);
    EXPECT_EQ(box->currentText(), "");
}

TEST_F(ChoiceBoxTest, UnselectedTextStaysUnselectedThroughEnter) {
    box->setUnselectedText("9600");
    EXPECT_EQ(box->currentIndex(), -1);
    EXPECT_EQ(box->currentText(), "9600");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(box->currentIndex(), -1);
    EXPECT_EQ(box->currentText(), "9600");
}

}  // namespace

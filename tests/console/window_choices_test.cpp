// The window's choice boxes under real focus changes, keys and clicks: only
// choosing an item from the list selects one (until then the row's "Set"
// sends -1), and typed text never becomes an item.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <functional>
#include <string>

#include "console/choice_box.h"
#include "console/tform1.h"
#include "ui_tform1.h"
#include "window_on_pty.h"

namespace {

using console_test::WindowOnPty;

struct UnselectedBox {
    const char* name;
    ChoiceBox* (*box)(Ui::TForm1&);
    QAbstractButton* (*set)(Ui::TForm1&);  // nullptr: no frame reads the index
    const char* frame;                     // %1 stands for the index
};

void PrintTo(const UnselectedBox& b, std::ostream* os) {
    *os << b.name;
}

#define BOX(name) [](Ui::TForm1& ui) -> ChoiceBox* { return ui.name; }
#define SET(name) [](Ui::TForm1& ui) -> QAbstractButton* { return ui.name; }

const UnselectedBox kUnselectedBoxes[] = {
    {"MAD1USE", BOX(MAD1USE), SET(Button170), "TEKVAR#ZDAD01:%1,01,0,00,000001,00000#"},
    {"MAD2USE", BOX(MAD2USE), SET(Button171), "TEKVAR#ZDAD02:%1,01,0,00,000001,00000#"},
    {"MAD3USE", BOX(MAD3USE), SET(Button172), "TEKVAR#ZDAD03:%1,01,0,00,000001,00000#"},
    {"COMAD1", BOX(COMAD1), SET(Button73), "TEKVAR#COMW1:%1,160103000000044409#"},
    {"COMAD2", BOX(COMAD2), SET(Button3), "TEKVAR#COMW2:%1,160103000000044409#"},
    {"SPREALCOM", BOX(SPREALCOM), nullptr, ""},
};

// Keys go where a keyboard sends them: to the widget that has the focus, in
// the open list while there is one.
void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    if (QWidget* list = QApplication::activePopupWidget()) {
        target = list->focusWidget() != nullptr ? list->focusWidget() : list;
    }
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, key, modifiers);
}

void ClickIntoText(ChoiceBox& box) {
    QTest::mouseClick(box.lineEdit(), Qt::LeftButton);
    ASSERT_TRUE(box.hasFocus());
}

QPoint ArrowCentre(ChoiceBox& box) {
    QStyleOptionComboBox option;
    option.initFrom(&box);
    option.editable = true;
    return box.style()
        ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, &box)
        .center();
}

// While the list is open it takes every click, also one on the arrow.
void ClickArrow(ChoiceBox& box) {
    QWidget* target = QApplication::activePopupWidget();
    if (target == nullptr) target = &box;
    QTest::mouseClick(target, Qt::LeftButton, {},
                      target->mapFromGlobal(box.mapToGlobal(ArrowCentre(box))));
}

void WaitForList(ChoiceBox& box, bool shown) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return box.view()->isVisible() == shown; }));
}

// Each gesture ends with the focus elsewhere, where leaving the box once
// looked its text up and selected the item it named.
struct Gesture {
    const char* what;
    std::function<void(ChoiceBox&, QWidget& elsewhere)> perform;
};

const Gesture kGestures[] = {
    {"click into the text, then click elsewhere",
     [](ChoiceBox& box, QWidget& elsewhere) {
         ClickIntoText(box);
         QTest::mouseClick(&elsewhere, Qt::LeftButton);
         ASSERT_FALSE(box.hasFocus());
     }},
    {"Tab and Shift+Tab through it",
     [](ChoiceBox& box, QWidget&) {
         ClickIntoText(box);
         const std::pair<Qt::KeyboardModifiers, bool> keys[] = {
             {Qt::NoModifier, false},     // Tab leaves forward
             {Qt::ShiftModifier, true},   // Shift+Tab comes back
             {Qt::ShiftModifier, false},  // and leaves backward
         };
         for (const auto& [modifiers, focused] : keys) {
             Key(Qt::Key_Tab, modifiers);
             ASSERT_EQ(box.hasFocus(), focused);
         }
     }},
    {"open the list with F4, close it with Escape",
     [](ChoiceBox& box, QWidget&) {
         ClickIntoText(box);
         Key(Qt::Key_F4);
         WaitForList(box, true);
         Key(Qt::Key_Down);  // moving through the list is no choice yet
         Key(Qt::Key_Escape);
         WaitForList(box, false);
         Key(Qt::Key_Tab);
         ASSERT_FALSE(box.hasFocus());
     }},
    {"open the list with the arrow, close it with a click on the arrow",
     [](ChoiceBox& box, QWidget& elsewhere) {
         ClickArrow(box);
         WaitForList(box, true);
         ClickArrow(box);
         WaitForList(box, false);
         QTest::mouseClick(&elsewhere, Qt::LeftButton);
         ASSERT_FALSE(box.hasFocus());
     }},
};

// Choosing from the list, by mouse and by keyboard, selects that item.
struct Choice {
    const char* what;
    int index;  // below 0: counted back from the end of the list
    std::function<void(ChoiceBox&)> perform;
};

const Choice kChoices[] = {
    {"mouse on the second row", 1,
     [](ChoiceBox& box) {
         ClickArrow(box);
         WaitForList(box, true);
         // A release this soon after the opening press would count as part of it.
         QTest::qWait(QApplication::doubleClickInterval() + 50);
         QAbstractItemView* list = box.view();
         const QRect row = list->visualRect(box.model()->index(1, 0));
         QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
         WaitForList(box, false);
     }},
    {"Alt+Down, End, Enter", -1,
     [](ChoiceBox& box) {
         ClickIntoText(box);
         Key(Qt::Key_Down, Qt::AltModifier);
         WaitForList(box, true);
         Key(Qt::Key_End);
         Key(Qt::Key_Return);
         WaitForList(box, false);
     }},
};

class ActiveWindow : public WindowOnPty {
protected:
    void SetUp() override {
        WindowOnPty::SetUp();
        form_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    }
};

TEST_F(ActiveWindow, EnterAddsNoTypedTextToAnyList) {
    const QList<QComboBox*> boxes = form_->findChildren<QComboBox*>();
    ASSERT_EQ(boxes.size(), 13);
    for (QComboBox* box : boxes) {
        SCOPED_TRACE(box->objectName().toStdString());
        const int items = box->count();
        QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
        box->lineEdit()->selectAll();
        QTest::keyClicks(QApplication::focusWidget(), "typed");
        Key(Qt::Key_Return);
        EXPECT_EQ(box->count(), items);
        EXPECT_EQ(box->currentText(), "typed");
        EXPECT_EQ(box->currentIndex(), -1);
    }
}

class UnselectedChoice : public ActiveWindow, public ::testing::WithParamInterface<UnselectedBox> {
protected:
    // The row's "Set" frame for the index; the index itself where no frame
    // reads it.
    static std::string Expected(const UnselectedBox& b, int index) {
        if (b.set == nullptr) return std::to_string(index);
        return QString::fromLatin1(b.frame).arg(index).toStdString();
    }

    // What the row's "Set" sends, expecting the frame for `index`.
    std::string Sent(const UnselectedBox& b, int index) {
        if (b.set == nullptr) return std::to_string(b.box(ui())->currentIndex());
        return ClickAndRead(b.set(ui()), Expected(b, index).size());
    }
};

TEST_P(UnselectedChoice, StaysUnselectedUntilAnItemIsChosen) {
    const UnselectedBox& b = GetParam();
    ChoiceBox& box = *b.box(ui());
    const QString shown = box.unselectedText();
    for (const Gesture& gesture : kGestures) {
        SCOPED_TRACE(gesture.what);
        box.setUnselectedText(shown);
        gesture.perform(box, *ui().ADRM);
        EXPECT_EQ(box.currentIndex(), -1);
        EXPECT_EQ(box.currentText(), shown);
        EXPECT_EQ(Sent(b, -1), Expected(b, -1));
    }
    for (const Choice& choice : kChoices) {
        SCOPED_TRACE(choice.what);
        box.setUnselectedText(shown);
        choice.perform(box);
        const int index = choice.index < 0 ? box.count() + choice.index : choice.index;
        EXPECT_EQ(box.currentIndex(), index);
        EXPECT_EQ(box.currentText(), box.itemText(index));
        EXPECT_EQ(Sent(b, index), Expected(b, index));
    }
}

INSTANTIATE_TEST_SUITE_P(Window, UnselectedChoice, ::testing::ValuesIn(kUnselectedBoxes),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

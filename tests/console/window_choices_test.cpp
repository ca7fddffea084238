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
#include "window_on_pty.h"

namespace {

// Keys go where a keyboard sends them: to the focus widget, in the open list
// while there is one.
void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    if (QWidget* list = QApplication::activePopupWidget()) {
        target = list->focusWidget() != nullptr ? list->focusWidget() : list;
    }
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, key, modifiers);
}

// While the list is open it takes every click, also one on the arrow.
void ClickArrow(QComboBox& box) {
    QStyleOptionComboBox option;
    option.initFrom(&box);
    option.editable = true;
    const QPoint arrow =
        box.style()
            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, &box)
            .center();
    QWidget* target = QApplication::activePopupWidget();
    if (target == nullptr) target = &box;
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFromGlobal(box.mapToGlobal(arrow)));
}

void ClickInto(QWidget& widget) {
    QTest::mouseClick(&widget, Qt::LeftButton);
}

void WaitForList(QComboBox& box, bool shown) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return box.view()->isVisible() == shown; }));
}

// Each way of passing through a box ends with the focus elsewhere, where
// leaving the box once selected the item its text named.
const std::pair<const char*, std::function<void(QComboBox&, QWidget& elsewhere)>> kPassings[] = {
    {"click into the text, then elsewhere",
     [](QComboBox& box, QWidget& elsewhere) {
         ClickInto(*box.lineEdit());
         ClickInto(elsewhere);
     }},
    {"Tab out, Shift+Tab in, Shift+Tab out",
     [](QComboBox& box, QWidget&) {
         ClickInto(*box.lineEdit());
         for (const Qt::KeyboardModifiers m : {Qt::NoModifier, Qt::ShiftModifier}) {
             Key(Qt::Key_Tab, m);
         }
         ASSERT_TRUE(box.hasFocus());
         Key(Qt::Key_Tab, Qt::ShiftModifier);
     }},
    {"list opened by F4, walked, closed by Escape",
     [](QComboBox& box, QWidget&) {
         ClickInto(*box.lineEdit());
         Key(Qt::Key_F4);
         WaitForList(box, true);
         Key(Qt::Key_Down);
         Key(Qt::Key_Escape);
         WaitForList(box, false);
         Key(Qt::Key_Tab);
     }},
    {"list opened and closed by the arrow",
     [](QComboBox& box, QWidget& elsewhere) {
         ClickArrow(box);
         WaitForList(box, true);
         ClickArrow(box);
         WaitForList(box, false);
         ClickInto(elsewhere);
     }},
};

// Choosing from the list by mouse (the second row) or keyboard (the last).
const std::pair<int, std::function<void(QComboBox&)>> kChoices[] = {
    {1,
     [](QComboBox& box) {
         ClickArrow(box);
         WaitForList(box, true);
         // A release this soon after the opening press would count as part of it.
         QTest::qWait(QApplication::doubleClickInterval() + 50);
         const QRect row = box.view()->visualRect(box.model()->index(1, 0));
         QTest::mouseClick(box.view()->viewport(), Qt::LeftButton, {}, row.center());
     }},
    {-1,
     [](QComboBox& box) {
         ClickInto(*box.lineEdit());
         Key(Qt::Key_Down, Qt::AltModifier);
         WaitForList(box, true);
         Key(Qt::Key_End);
         Key(Qt::Key_Return);
     }},
};

class ActiveWindow : public console_test::WindowOnPty {
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
        ClickInto(*box->lineEdit());
        box->lineEdit()->selectAll();
        QTest::keyClicks(QApplication::focusWidget(), "typed");
        Key(Qt::Key_Return);
        EXPECT_EQ(box->count(), items);
        EXPECT_EQ(box->currentText(), "typed");
        EXPECT_EQ(box->currentIndex(), -1);
    }
}

struct UnselectedBox {
    const char* box;
    const char* set;    // nullptr: no frame reads the index
    const char* frame;  // %1 stands for the index
};

void PrintTo(const UnselectedBox& b, std::ostream* os) {
    *os << b.box;
}

class UnselectedChoice : public ActiveWindow, public ::testing::WithParamInterface<UnselectedBox> {
protected:
    // The frame the row's "Set" sends for the index, or the index itself
    // where no frame reads it.
    static std::string Expected(int index) {
        const UnselectedBox& b = GetParam();
        if (b.set == nullptr) return std::to_string(index);
        return QString::fromLatin1(b.frame).arg(index).toStdString();
    }

    std::string Sent(ChoiceBox& box, int expectedIndex) {
        if (GetParam().set == nullptr) return std::to_string(box.currentIndex());
        return ClickAndRead(form_->findChild<QAbstractButton*>(GetParam().set),
                            Expected(expectedIndex).size());
    }
};

TEST_P(UnselectedChoice, StaysUnselectedUntilAnItemIsChosen) {
    auto& box = *form_->findChild<ChoiceBox*>(GetParam().box);
    const QString shown = box.unselectedText();
    for (const auto& [what, pass] : kPassings) {
        SCOPED_TRACE(what);
        box.setUnselectedText(shown);
        pass(box, *ui().ADRM);
        ASSERT_FALSE(box.hasFocus());
        EXPECT_EQ(box.currentIndex(), -1);
        EXPECT_EQ(box.currentText(), shown);
        EXPECT_EQ(Sent(box, -1), Expected(-1));
    }
    for (const auto& [row, choose] : kChoices) {
        const int index = row < 0 ? box.count() + row : row;
        SCOPED_TRACE(index);
        box.setUnselectedText(shown);
        choose(box);
        WaitForList(box, false);
        EXPECT_EQ(box.currentIndex(), index);
        EXPECT_EQ(box.currentText(), box.itemText(index));
        EXPECT_EQ(Sent(box, index), Expected(index));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Window, UnselectedChoice,
    ::testing::Values(
        UnselectedBox{"MAD1USE", "Button170", "TEKVAR#ZDAD01:%1,01,0,00,000001,00000#"},
        UnselectedBox{"MAD2USE", "Button171", "TEKVAR#ZDAD02:%1,01,0,00,000001,00000#"},
        UnselectedBox{"MAD3USE", "Button172", "TEKVAR#ZDAD03:%1,01,0,00,000001,00000#"},
        UnselectedBox{"COMAD1", "Button73", "TEKVAR#COMW1:%1,160103000000044409#"},
        UnselectedBox{"COMAD2", "Button3", "TEKVAR#COMW2:%1,160103000000044409#"},
        UnselectedBox{"SPREALCOM", nullptr, ""}),
    [](const auto& info) { return std::string(info.param.box); });

}  // namespace

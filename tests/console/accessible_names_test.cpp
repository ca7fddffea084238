// What a screen reader announces as the operator moves the focus through the
// window: the name of the object the window reports as focused.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QDialog>
#include <QMap>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <iterator>
#include <string>
#include <utility>

#include "console/calibration_dialog.h"
#include "console/choice_box.h"
#include "console/tform1.h"
#include "ui_tform1.h"

namespace {

// Gives `control` the focus and follows the window's accessible focus down to
// the object a screen reader is told about (an editable box's text field).
QString AnnouncedOnFocus(QWidget& window, QWidget& control) {
    control.setFocus(Qt::TabFocusReason);
    QAccessibleInterface* focused = QAccessible::queryAccessibleInterface(&window);
    while (QAccessibleInterface* next = focused->focusChild()) {
        if (next->object() == focused->object()) break;
        focused = next;
    }
    return focused->text(QAccessible::Name);
}

// Every shown control that takes the focus itself, found through the
// accessibility tree; its parts (list items, tabs) belong to it.
void CollectControls(QAccessibleInterface* node, QList<QWidget*>& controls) {
    auto* widget = qobject_cast<QWidget*>(node->object());
    if (widget && node->state().focusable && !node->state().invisible && !widget->focusProxy()) {
        controls.append(widget);
        return;
    }
    for (int i = 0; i < node->childCount(); ++i) CollectControls(node->child(i), controls);
}

void ExpectOwnNames(QWidget& window, const QList<QWidget*>& controls) {
    QMap<QString, QStringList> controlsByName;
    for (QWidget* control : controls) {
        const QString name = AnnouncedOnFocus(window, *control);
        EXPECT_FALSE(name.isEmpty()) << control->objectName().toStdString();
        controlsByName[name].append(control->objectName());
    }
    for (auto it = controlsByName.cbegin(); it != controlsByName.cend(); ++it)
        EXPECT_EQ(it.value().size(), 1)
            << it.key().toStdString() << " names " << it.value().join(u' ').toStdString();
}

TEST(AccessibleNames, EveryFocusableControlHasANameOfItsOwn) {
    TForm1 form;
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QList<QWidget*> controls;
    CollectControls(QAccessible::queryAccessibleInterface(&form), controls);
    ASSERT_GE(controls.size(), 60);

    ExpectOwnNames(form, controls);

    // The label beside a control, its row and column in a table, and for a
    // button what it sets.
    Ui::TForm1& ui = *form.controls();
    const std::pair<QWidget*, const char*> spots[] = {
        {ui.SPREALCOM, "Serial Port:"},       {ui.ComboBox4, "Serial Port: Baud"},
        {ui.JTME, "Communication Interval:"}, {ui.Button5, "Set Communication Interval"},
        {ui.MAD2MADR, "MAD2: Start Add."},    {ui.DAO1L, "DOUT1: OUT_DC20mA"},
    };
    for (const auto& [control, name] : spots)
        EXPECT_EQ(AnnouncedOnFocus(form, *control).toStdString(), name)
            << control->objectName().toStdString();
}

// What a screen reader is told about a choice box itself, in the order it
// asks: the box's name (each table entry distinct), its value, and the labels
// it is labelled by, of which none may label another box.
TEST(AccessibleNames, EveryChoiceBoxIsReadByItsOwnName) {
    TForm1 form;
    Ui::TForm1& ui = *form.controls();
    const std::pair<QComboBox*, const char*> boxes[] = {
        {ui.SPREALCOM, "Serial Port:"},
        {ui.ComboBox4, "Serial Port: Baud"},
        {ui.ComboBox3, "Serial Port: Parity"},
        {ui.MR485BT, "Device Baud"},
        {ui.MR485JN, "Device Parity"},
        {ui.MAD1USE, "MAD1: Command Num"},
        {ui.MAD1XIN, "MAD1: Data Parsing Format"},
        {ui.MAD2USE, "MAD2: Command Num"},
        {ui.MAD2XIN, "MAD2: Data Parsing Format"},
        {ui.MAD3USE, "MAD3: Command Num"},
        {ui.MAD3XIN, "MAD3: Data Parsing Format"},
        {ui.COMAD1, "Command1: Enable"},
        {ui.COMAD2, "Command2: Enable"},
    };
    ASSERT_EQ(form.findChildren<ChoiceBox*>().size(), static_cast<qsizetype>(std::size(boxes)));

    QMap<QString, QStringList> boxesByLabel;
    for (const auto& [box, name] : boxes) {
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(box);
        EXPECT_EQ(read->text(QAccessible::Name).toStdString(), name);
        EXPECT_EQ(read->text(QAccessible::Value), box->currentText()) << name;
        for (const auto& [label, relation] : read->relations(QAccessible::Label))
            boxesByLabel[label->text(QAccessible::Name)].append(box->objectName());
    }
    for (auto it = boxesByLabel.cbegin(); it != boxesByLabel.cend(); ++it)
        EXPECT_EQ(it.value().size(), 1)
            << it.key().toStdString() << " labels " << it.value().join(u' ').toStdString();
}

// Its parts and action as Qt's own box has them: the list, then the text
// field; pressing opens the list, and pressing again closes it.
TEST(AccessibleNames, ChoiceBoxKeepsItsPartsAndItsPress) {
    QWidget window;
    auto* box = new ChoiceBox(&window);
    box->addItems({"None", "Odd"});
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(box);
    ASSERT_EQ(read->childCount(), 2);
    EXPECT_EQ(read->child(0)->object(), box->view());
    EXPECT_EQ(read->child(1)->object(), box->lineEdit());
    for (int i = 0; i < 2; ++i) EXPECT_EQ(read->indexOfChild(read->child(i)), i);
    read->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(box->view()->isVisible());
    read->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_FALSE(box->view()->isVisible());
}

}  // namespace

// The output check's window, made only when first asked for, with a row of
// readings open for typing.
TEST(AccessibleNames, EveryControlOfTheOutputCheckHasANameOfItsOwn) {
    TForm1 form;
    EXPECT_EQ(form.findChild<QDialog*>("CalibrationDialog"), nullptr);
    console::CalibrationDialog dialog(form, '.');
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.AskReadings(12, calibration::Pass::AsLeft);
    QList<QWidget*> controls;
    CollectControls(QAccessible::queryAccessibleInterface(&dialog), controls);
    // Cancel waits for a check to run. The table is announced by its cells;
    // it has a name of its own, and the readings open in it are controls.
    auto* table = dialog.findChild<QWidget*>("CalTable");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(table)->text(QAccessible::Name),
              "Readings and errors");
    controls.removeIf(
        [table](const QWidget* control) { return !control->isEnabled() || control == table; });
    ASSERT_GE(controls.size(), 9);
    for (const char* reading : {"CalReading1", "CalReading2", "CalReading3"})
        controls.append(dialog.findChild<QWidget*>(reading));
    ExpectOwnNames(dialog, controls);
    EXPECT_EQ(AnnouncedOnFocus(dialog, *controls.back()).toStdString(),
              "As left 12 mA: output 3 reading");
}

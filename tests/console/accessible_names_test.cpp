// What a screen reader announces as the operator moves the focus through the
// window: the name of the object the window reports as focused.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QDialog>
#include <QMap>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <string>
#include <utility>

#include "console/calibration_dialog.h"
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

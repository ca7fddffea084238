// The menu bar as an operator uses it: a click on the menu's title, then on
// the item in the menu that drops down; and its file questions answered.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

namespace console_test {

inline void ClickMenuItem(QMainWindow& window, const char* item) {
    QMenuBar& bar = *window.menuBar();
    auto* action = bar.findChild<QAction*>(item);
    ASSERT_NE(action, nullptr) << item;
    auto* menu = qobject_cast<QMenu*>(action->parent());
    QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.actionGeometry(menu->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); })) << item;
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
}

// While it lives, a file question is answered with `path` (cancelled when
// empty, or when the dialog refused the answer); `asked` counts them, and
// the first is recorded as the dialog asked it.
struct FileDialogAnswer {
    explicit FileDialogAnswer(const QString& path) {
        QObject::connect(&timer, &QTimer::timeout, [this, path] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || !dialog->isVisible()) return;
            if (asked == 0) {
                mode = dialog->acceptMode();
                folder = dialog->directory().path();
                offered = dialog->selectedFiles().value(0);
            }
            dialog->selectFile(path);
            if (asked++ > 0 || path.isEmpty()) return dialog->reject();
            static_cast<QDialog*>(dialog)->accept();  // the dialog's own checks run
        });
        timer.start(5);
    }
    QTimer timer;
    int asked = 0;
    QFileDialog::AcceptMode mode{};
    QString folder;
    QString offered;  // the file the dialog first showed
};

}  // namespace console_test

// The menu bar as an operator uses it: a click on the menu's title, then on
// the item in the menu that drops down; and its file questions answered.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

namespace console_test {

inline void ClickMenuItem(QMainWindow& window, const char* item) {
    auto* action = window.menuBar()->findChild<QAction*>(item);
    ASSERT_NE(action, nullptr) << item;
    auto* menu = qobject_cast<QMenu*>(action->parent());
    QMenuBar& bar = *window.menuBar();
    QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.actionGeometry(menu->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); })) << item;
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
}

// While it lives, every file question is answered with `path`, or
// cancelled when that is empty.
class FileDialogAnswer {
public:
    explicit FileDialogAnswer(QString path) : path_(std::move(path)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || !dialog->isVisible()) return;
            ++asked_;
            if (path_.isEmpty()) return dialog->reject();
            dialog->selectFile(path_);
            static_cast<QDialog*>(dialog)->accept();  // the file dialog's own checks run
        });
        timer_.start(5);
    }
    int asked() const { return asked_; }

private:
    QString path_;
    QTimer timer_;
    int asked_ = 0;
};

}  // namespace console_test

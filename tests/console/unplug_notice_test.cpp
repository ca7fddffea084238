// The open port's device going away (the pty's master closed): a notice in
// free space of the header, no box, nothing moved, covered or cleared,
// "Close" kept until pressed, and the notice gone at the next Open.
#include "console/unplug_notice.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMap>
#include <QTest>
#include <memory>

#include "console/tform1.h"
#include "ui_tform1.h"
#include "window_on_pty.h"

namespace {

using console_test::MessageBoxCatcher;
using console_test::WindowOnPty;

class UnplugNotice : public WindowOnPty {
protected:
    // Every control of the window with its place on screen.
    QMap<QString, QRect> Places() {
        QMap<QString, QRect> places;
        for (QWidget* w : ui().centralWidget->findChildren<QWidget*>())
            if (!w->objectName().isEmpty())
                places[w->objectName()] = QRect(w->mapTo(form_.get(), QPoint(0, 0)), w->size());
        return places;
    }

    console::UnplugNotice& notice() { return form_->unplugNotice(); }
    MessageBoxCatcher boxes_;
};

TEST_F(UnplugNotice, ShowsBesideTheControlsAndGoesAtTheNextOpen) {
    ui().discomm->setText("PPPPPP#CHEACK1#");
    ui().Memo10->setPlainText("typed by the operator");
    const QMap<QString, QRect> before = Places();
    EXPECT_FALSE(notice().isVisible());

    pty_.CloseMaster();
    ASSERT_TRUE(QTest::qWaitFor([this] { return notice().isVisible(); }));
    const QString path = QString::fromStdString(pty_.slavePath());
    EXPECT_EQ(notice().text(),
              path + " is gone. Press Close, reconnect the adapter, then press Open.");
    EXPECT_TRUE(notice().toolTip() == path);
    EXPECT_EQ(ui().Button1->text(), "Close");
    EXPECT_EQ(ui().discomm->text(), "PPPPPP#CHEACK1#");
    EXPECT_EQ(ui().Memo10->toPlainText(), "typed by the operator");
    EXPECT_TRUE(boxes_.boxes().empty()) << "no box blocks the window";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // Nothing moved, nothing visible lies under the notice, and its text fits.
    EXPECT_EQ(Places(), before);
    const QRect area(notice().mapTo(form_.get(), QPoint(0, 0)), notice().size());
    EXPECT_TRUE(form_->rect().contains(area));
    for (QWidget* w : ui().centralWidget->findChildren<QWidget*>()) {
        if (w == &notice() || !w->isVisible() || w->objectName().isEmpty()) continue;
        const QRect place(w->mapTo(form_.get(), QPoint(0, 0)), w->size());
        EXPECT_FALSE(place.intersects(area)) << w->objectName().toStdString();
    }
    EXPECT_LE(notice().heightForWidth(notice().width()), notice().height());

    // Close keeps the notice: it says what comes next.
    QTest::mouseClick(ui().Button1, Qt::LeftButton);
    EXPECT_EQ(ui().Button1->text(), "Open");
    EXPECT_TRUE(notice().isVisible());

    console_test::Pty again;
    ui().SPREALCOM->setEditText(QString::fromStdString(again.slavePath()));
    QTest::mouseClick(ui().Button1, Qt::LeftButton);
    EXPECT_EQ(ui().Button1->text(), "Close");
    EXPECT_FALSE(notice().isVisible());
}

}  // namespace

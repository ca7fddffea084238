// The open port's device going away (the pty's master closed): a notice in
// free space of the header, no box, nothing moved, covered or cleared,
// "Close" kept until pressed, and the notice gone at the next Open.
#include "console/unplug_notice.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMap>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "../ports/fake_system.h"
#include "console/port_feeder.h"
#include "console/tform1.h"
#include "ports/port_places.h"
#include "ui_tform1.h"
#include "window_on_pty.h"

namespace {

namespace fs = std::filesystem;
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
    EXPECT_EQ(notice().text(), path + " is gone; it opens again when the same adapter is back.");
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

// The notice follows the device through the window's device events: "is
// back" once the device was away and is there again, never for a device
// that never went. The kernel's tree, laid out beside the links, says both
// terminals are one adapter. The port's name, any text, is shown as it is.
class UnplugNoticeOnEvents : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vkXXXXXX";  // short: the whole path fits the notice
        root_ = ::mkdtemp(pattern);
        places_.byIdDir = root_ + "/id";
        places_.devDir = root_ + "/dev";
        places_.simulatorLink = root_ + "/sim";
        places_.sysDir = root_ + "/sys";
        fs::create_directories(places_.byIdDir);
        fs::create_directories(places_.devDir);
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string root_;
    ports::PortPlaces places_;
};

TEST_F(UnplugNoticeOnEvents, TellsTheDeviceIsBackOnlyAfterItWasAway) {
    const std::string port = places_.byIdDir + "/<b>a&lt;";
    const std::string other = places_.byIdDir + "/usb-other";
    const QString gone = " is gone; it opens again when the same adapter is back.";
    // The same device back is opened again by itself.
    const QString back = " came back and is open again.";
    // A pty's device goes with its master, so the name opened is a link: it
    // may dangle, go, or be pointed at a device that stays ("plugged in").
    struct Step {
        std::string link;
        bool present;
    };
    struct Row {
        const char* name;
        bool presentAtHangUp;
        std::vector<Step> then;
        QString says;
    };
    const Row rows[] = {
        {"away at the hang-up, then back", false, {{port, true}}, back},
        {"there at the hang-up, away, then back", true, {{port, false}, {port, true}}, back},
        {"away at the hang-up, another device comes", false, {{other, true}}, gone},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        console_test::Pty opened;
        console_test::Pty stays;
        for (const console_test::Pty* pty : {&opened, &stays})
            ports_test::AddUsbTty(places_.sysDir, pty->slavePath(), {"0403", "6001", "A1", "1-1"});
        TForm1 form;
        form.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return form.portFeeder().started(); }));
        form.portFeeder().Start(places_);
        QComboBox& box = *form.controls()->SPREALCOM;
        // Links `link` to `device` as udev does, renamed into place, and waits
        // until the list shows it; or removes it and waits until it has gone.
        const auto plug = [&](const std::string& link, const console_test::Pty* device) {
            const QString item = QString::fromStdString(link);
            if (device == nullptr) {
                fs::remove(link);
                return QTest::qWaitFor([&] { return box.findText(item) < 0; });
            }
            fs::create_symlink(device->slavePath(), link + ".new");
            fs::rename(link + ".new", link);
            return QTest::qWaitFor([&] {
                return box.itemData(box.findText(item), Qt::ToolTipRole)
                    .toString()
                    .endsWith(QString::fromStdString(device->slavePath()));
            });
        };
        ASSERT_TRUE(plug(port, &opened));
        box.setCurrentIndex(box.findText(QString::fromStdString(port)));
        form.controls()->Button1->click();
        ASSERT_TRUE(form.portOpen());
        if (row.presentAtHangUp) {
            ASSERT_TRUE(plug(port, &stays));
        }
        opened.CloseMaster();
        console::UnplugNotice& notice = form.unplugNotice();
        ASSERT_TRUE(QTest::qWaitFor([&] { return notice.isVisible(); }));
        for (const Step& step : row.then)
            ASSERT_TRUE(plug(step.link, step.present ? &stays : nullptr));
        EXPECT_EQ(notice.text(), QString::fromStdString(port) + row.says);
        EXPECT_EQ(console_test::ShownText(&notice), notice.text());
        fs::remove(port);
        fs::remove(other);
        fs::remove_all(places_.sysDir);
    }
}

}  // namespace

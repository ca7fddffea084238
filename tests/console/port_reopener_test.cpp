// An adapter's by-id link in a temporary folder goes with its device and comes
// back on a new one, which the kernel's tree, laid out beside it, names as
// the same adapter or another: the window opens the same one again by itself
// with the line settings it had, sends nothing twice and leaves the exchange
// alone; says why when another process holds the device and tries again at
// the next device event; after Close opens nothing; and leaves another
// adapter of the model, given the same link, alone.
#include <cstdio>
#include <filesystem>

#include "../ports/fake_system.h"
#include "console/port_feeder.h"
#include "console/unplug_notice.h"
#include "line_settings.h"
#include "window_on_pty.h"

namespace {

namespace fs = std::filesystem;
using console_test::Pty;
using namespace std::chrono_literals;

TEST(PortReopener, SameAdapterBack) {
    const struct {
        const char* name;
        bool seenGone, pressClose, held, sameAdapter;
    } rows[] = {{"GoneThenBack", true, false, false, true},
                {"BackBeforeTheHangUpIsReported", false, false, false, true},
                {"HeldByAnotherProcess", true, false, true, true},
                {"ClosedWhileGone", true, true, false, true},
                {"ClosedWithTheDeviceAlreadyBack", false, true, false, true},
                {"AnotherOfTheModelBehindTheLink", true, false, false, false}};
    // Without serial numbers, so the two share a by-id name.
    const ports_test::UsbAdapter plugged{"0403", "6001", "", "1-1.2"};
    const ports_test::UsbAdapter another{"0403", "6001", "", "1-1.3"};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        char pattern[] = "/tmp/vk630-r-XXXXXX";
        ports::PortPlaces places;
        const std::string root = ::mkdtemp(pattern);
        places.byIdDir = root + "/by-id";
        places.sysDir = root + "/sys";
        fs::create_directory(places.byIdDir);
        const std::string link = places.byIdDir + "/usb-FTDI_FT232R_USB_UART-if00-port0";
        auto adapter = std::make_unique<Pty>();
        ports_test::AddUsbTty(places.sysDir, adapter->slavePath(), plugged);
        fs::create_symlink(adapter->slavePath(), link);
        TForm1 form;
        form.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return form.portFeeder().started(); }));
        form.portFeeder().Start(places);
        Ui::TForm1& ui = *form.controls();
        ui.SPREALCOM->setEditText(QString::fromStdString(link));
        ui.ComboBox4->setEditText("4800");
        ui.ComboBox3->setCurrentIndex(1);
        QTest::mouseClick(ui.Button1, Qt::LeftButton);
        ASSERT_TRUE(form.portOpen());
        adapter->CloseMaster();
        if (row.seenGone) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return form.unplugNotice().isVisible(); }));
            fs::remove(link);
            ASSERT_TRUE(QTest::qWaitFor([&] { return ui.SPREALCOM->findText(link.c_str()) < 0; }));
        }
        QTest::mouseClick(ui.Button9, Qt::LeftButton);  // to a line that takes nothing
        if (row.pressClose) QTest::mouseClick(ui.Button1, Qt::LeftButton);
        Pty back;
        ports_test::AddUsbTty(places.sysDir, back.slavePath(), row.sameAdapter ? plugged : another);
        // Holds the lock until its input closes, as another program holding the port.
        FILE* holder = row.held
                           ? ::popen(("exec flock -x -n " + back.slavePath() + " cat").c_str(), "w")
                           : nullptr;
        if (holder) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return !console_test::CanLock(back.slavePath()); }));
        }
        fs::remove(link);
        fs::create_symlink(back.slavePath(), link);
        const auto notice = [&] { return form.unplugNotice().text().toStdString(); };
        if (row.held) {
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return notice().find(" did not open: ") != std::string::npos; }));
            EXPECT_NE(notice().find(": it is in use by flock"), std::string::npos) << notice();
            EXPECT_TRUE(form.unplugNotice().toolTip().contains(" by flock (process "));
            EXPECT_FALSE(form.comm().IsOpen());
            EXPECT_EQ(ui.Button1->text(), "Close");
            EXPECT_GT(form.unplugNotice().palette().color(QPalette::WindowText).red(), 100);
            ::pclose(holder);
            fs::create_symlink(back.slavePath(), places.byIdDir + "/usb-B2");
        }
        const bool reopens = !row.pressClose && row.sameAdapter;
        if (!row.sameAdapter) {  // its event has been handled once the list shows it
            ASSERT_TRUE(QTest::qWaitFor([&] { return ui.SPREALCOM->findText(link.c_str()) >= 0; }));
            EXPECT_TRUE(
                notice().ends_with(" is gone; it opens again when the same adapter is back."))
                << notice();
        }
        const bool reopened = QTest::qWaitFor(
            [&] { return form.unplugNotice().text().endsWith(" came back and is open again."); },
            reopens ? 5000 : 1000);
        EXPECT_EQ(reopened, reopens);
        EXPECT_EQ(form.comm().IsOpen(), !row.pressClose) << "a hung-up port stays until Close";
        EXPECT_EQ(ui.Button1->text(), row.pressClose ? "Open" : "Close");
        EXPECT_TRUE(back.Silent(400ms)) << "nothing from before sent again";
        EXPECT_TRUE(form.unplugNotice().isVisible() || !row.seenGone) << "kept at Close";
        if (row.pressClose && row.seenGone) {
            EXPECT_TRUE(QTest::qWaitFor([&] {
                return notice().ends_with(" is back. Press Close, then Open to go on.");
            })) << notice();
        }
        if (reopened) {
            EXPECT_LT(form.unplugNotice().palette().color(QPalette::WindowText).red(), 100);
            EXPECT_EQ(form.unplugNotice().toolTip().toStdString(), link);
            EXPECT_EQ(form.exchange().ReplyKind, 101);
            EXPECT_EQ(ui.discomm->text(), "PPPPPP#CHEACK1#");
            const auto line = console_test::ReadLineSettings(back.slavePath());
            EXPECT_TRUE(line && line->outputSpeed == 4800 && line->oddParity);
            QTest::mouseClick(ui.Button4, Qt::LeftButton);
            EXPECT_EQ(back.Read(14), "PPPPPP#STATUS#");
        }
        fs::remove_all(root);
    }
}

}  // namespace

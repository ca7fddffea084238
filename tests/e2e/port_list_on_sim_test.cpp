// The demo as a technician meets it: the simulated transmitter's link is
// picked from the port list without typing and "Read Parameters" fills the
// window; when the line hangs up, the notice appears, and when the simulator
// is started again on the same link the console opens it by itself.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QTest>
#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include "console/port_feeder.h"
#include "console/unplug_notice.h"
#include "console_on_sim.h"
#include "core/device_state.h"
#include "core/reply_builder.h"

namespace e2e {
namespace {

class PortListOnSim : public ConsoleOnSim {
protected:
    std::vector<std::string> SimulatorFlags() const override { return {"--hangup-after", "2"}; }

    int ItemOf(const std::string& path) {
        return ui().SPREALCOM->findText(QString::fromStdString(path));
    }
    bool Eventually(const std::function<bool()>& condition) {
        return QTest::qWaitFor(condition, static_cast<int>(kReplyDeadline.count()));
    }

    void PickFromDropDown(int item) {
        QComboBox& box = *ui().SPREALCOM;
        box.showPopup();
        QAbstractItemView* view = box.view();
        ASSERT_TRUE(QTest::qWaitFor([view] { return view->isVisible(); }));
        const QModelIndex index = view->model()->index(item, 0);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
        ASSERT_TRUE(QTest::qWaitFor([view] { return !view->isVisible(); }));
    }
};

TEST_F(PortListOnSim, PickedFromTheListThenHungUpAndBack) {
    // The harness opened by typing; here the operator picks from the list.
    PressOpenClose();
    ports::PortPlaces places;
    places.simulatorLink = sim().LinkPath();
    form().portFeeder().Start(places);
    const int item = ItemOf(sim().LinkPath());
    ASSERT_GE(item, 9) << "after COM1..COM9";
    EXPECT_TRUE(ui().SPREALCOM->itemData(item, Qt::ToolTipRole)
                    .toString()
                    .startsWith("Simulated VK630-E transmitter (vk630-sim), "));
    ASSERT_NO_FATAL_FAILURE(PickFromDropDown(item));
    EXPECT_EQ(ui().SPREALCOM->currentText().toStdString(), sim().LinkPath());
    PressOpenClose();
    ASSERT_TRUE(form().portOpen());
    ReadParameters();
    ExpectWindowShows(vk630sim::FieldDeviceState());

    // The second frame is the simulator's last: it hangs up.
    const QString reply = Exchange(ui().Button2);
    console::UnplugNotice& notice = form().unplugNotice();
    ASSERT_TRUE(Eventually([&] { return notice.isVisible(); }));
    EXPECT_TRUE(notice.text().endsWith(" is gone; it opens again when the same adapter is back."));
    EXPECT_EQ(notice.toolTip().toStdString(), sim().LinkPath());
    EXPECT_EQ(ui().Button1->text(), "Close");
    EXPECT_EQ(ui().discomm->text(), "999999#VAR#");
    EXPECT_EQ(ReceiveBox(), reply);
    EXPECT_TRUE(boxes_.boxes().empty());

    // The link goes with the simulator; the same link again is the device back.
    ASSERT_TRUE(Eventually([&] { return ItemOf(sim().LinkPath()) < 0; }));
    EXPECT_FALSE(notice.portBack());
    vk630sim::testing::SimProcess again({"--delay", "5", "--link", sim().LinkPath()}, false);
    ASSERT_TRUE(Eventually([&] { return notice.portBack(); }));
    EXPECT_TRUE(notice.text().endsWith(" came back and is open again."));
    EXPECT_GE(ItemOf(sim().LinkPath()), 9);
    EXPECT_EQ(ui().Button1->text(), "Close");
    ReadParameters();
    // Killed outright, it leaves its link behind, pointing nowhere.
    again.Signal(SIGKILL);
    ASSERT_TRUE(Eventually([&] {
        return notice.text().endsWith(" is gone; it opens again when the same adapter is back.");
    }));
    vk630sim::testing::SimProcess third({"--delay", "5", "--link", sim().LinkPath()}, false);
    ASSERT_TRUE(
        Eventually([&] { return notice.text().endsWith(" came back and is open again."); }));
    ReadParameters();

    PressOpenClose();
    EXPECT_EQ(ui().Button1->text(), "Open");
    EXPECT_FALSE(notice.isVisible()) << "it no longer holds";
    PressOpenClose();
    ASSERT_TRUE(form().portOpen());
    EXPECT_FALSE(notice.isVisible());
    ReadParameters();
}

}  // namespace
}  // namespace e2e

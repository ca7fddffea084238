// The demo as a technician meets it: the simulated transmitter's link is in
// the port list, picked from the drop-down without typing; and when the
// line hangs up, the notice appears, says when the same link is back, and
// goes at the next Open.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QTest>
#include <memory>
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
    // The harness opened by typing; here the operator picks from the list.
    void ListPortsWithTheSimulator() {
        PressOpenClose();
        ASSERT_FALSE(form().portOpen());
        ports::PortPlaces places;
        places.simulatorLink = sim().LinkPath();
        form().portFeeder().Start(places);
    }

    int ItemOf(const std::string& path) {
        return ui().SPREALCOM->findText(QString::fromStdString(path));
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

    console::UnplugNotice& notice() { return form().unplugNotice(); }
};

TEST_F(PortListOnSim, SimulatorIsPickedFromTheListAndReadParametersFillsTheWindow) {
    ASSERT_NO_FATAL_FAILURE(ListPortsWithTheSimulator());
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
    EXPECT_TRUE(boxes_.boxes().empty());
}

class HangUpNotice : public PortListOnSim {
protected:
    std::vector<std::string> SimulatorFlags() const override { return {"--hangup-after", "1"}; }
};

TEST_F(HangUpNotice, AppearsSaysWhenTheLinkIsBackAndGoesAtTheNextOpen) {
    ASSERT_NO_FATAL_FAILURE(ListPortsWithTheSimulator());
    ASSERT_NO_FATAL_FAILURE(PickFromDropDown(ItemOf(sim().LinkPath())));
    PressOpenClose();
    ASSERT_TRUE(form().portOpen());
    const QString reply = Exchange(ui().Button2);
    EXPECT_EQ(reply, Shown(vk630sim::IdentityReply()));

    ASSERT_TRUE(QTest::qWaitFor([this] { return notice().isVisible(); },
                                static_cast<int>(kReplyDeadline.count())));
    const QString link = QString::fromStdString(sim().LinkPath());
    EXPECT_TRUE(
        notice().text().endsWith(" is gone. Press Close, reconnect the adapter, then press Open."));
    EXPECT_EQ(notice().toolTip(), link);
    EXPECT_EQ(ui().Button1->text(), "Close");
    EXPECT_EQ(ui().discomm->text(), "999999#VAR#");
    EXPECT_EQ(ReceiveBox(), reply);
    EXPECT_TRUE(boxes_.boxes().empty());

    // The simulator's link goes with it, and the list follows.
    ASSERT_TRUE(QTest::qWaitFor([&] { return ItemOf(sim().LinkPath()) < 0; },
                                static_cast<int>(kReplyDeadline.count())));
    EXPECT_FALSE(notice().portBack());

    // The same link again: the device is back.
    vk630sim::testing::SimProcess again({"--delay", "5", "--link", sim().LinkPath()}, false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ItemOf(sim().LinkPath()) >= 9; },
                                static_cast<int>(kReplyDeadline.count())));
    ASSERT_TRUE(QTest::qWaitFor([this] { return notice().portBack(); }));
    EXPECT_TRUE(notice().text().endsWith(" is back. Press Close, then Open to go on."));
    EXPECT_TRUE(notice().isVisible());

    PressOpenClose();
    EXPECT_EQ(ui().Button1->text(), "Open");
    EXPECT_TRUE(notice().isVisible());
    PressOpenClose();
    ASSERT_TRUE(form().portOpen());
    EXPECT_FALSE(notice().isVisible());
    ReadParameters();
    ExpectWindowShows(vk630sim::FieldDeviceState());
}

}  // namespace
}  // namespace e2e

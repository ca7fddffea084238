// The settings menu against the simulated transmitter: a file saved from one
// device opens into a fresh window, is written to a fresh device and verified
// there, and a device that still holds other settings shows them differing.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <memory>
#include <tuple>

#include "console_on_sim.h"
#include "core/device_state.h"
#include "menu_clicks.h"

namespace e2e {
namespace {

class SettingsMenu : public ConsoleOnSim {
protected:
    // Clicks `item`, answering its file question with `file`; the text of
    // the box it ends with, or none when `box` is false.
    QString Menu(const char* item, const QString& file, bool box = true) {
        const std::size_t seen = boxes_.boxes().size();
        console_test::FileDialogAnswer answer(file);
        console_test::ClickMenuItem(form(), item);
        asked_ = {answer.asked, answer.mode, answer.folder, answer.offered};
        if (!box) return {};
        const bool ended = QTest::qWaitFor([&] { return boxes_.boxes().size() > seen; }, 60'000);
        return ended ? boxes_.boxes().back().text : "(no box)";
    }
    std::tuple<int, QFileDialog::AcceptMode, QString, QString> asked_;
};

TEST_F(SettingsMenu, FileWrittenToAFreshDeviceVerifiesThereAndDiffersFromAnother) {
    ReadParameters();
    for (const char* query : {"Button76", "Button74", "Button81", "Button79"}) Exchange(query);
    ASSERT_NO_FATAL_FAILURE(Apply({{"ADRM", "042"},
                                   {"JTME", "005"},
                                   {"MAD3USE", "3_CMD3"},
                                   {"MAD2XIN", "5 Read U32 1234"},
                                   {"DAO2L", "300.0"},
                                   {"COMAD2", "Open"},
                                   {"COMDDATA2", "0104000A0002"}}));
    QTemporaryDir dir;
    const QString file = dir.filePath("unit.json");
    Menu("SaveSettings1", dir.filePath("unit"), false);  // the suffix added
    const QString here = QDir::currentPath();
    ASSERT_EQ(asked_, std::tuple(1, QFileDialog::AcceptSave, here, here + "/vk630e-042.json"));

    form_ = std::make_unique<TForm1>();
    form_->show();
    ASSERT_NO_FATAL_FAILURE(StartSimulator({}));
    ASSERT_NO_FATAL_FAILURE(OpenOnSimulator());
    Menu("OpenSettings1", file, false);
    ASSERT_EQ(asked_, std::tuple(1, QFileDialog::AcceptOpen, dir.path(), QString()));
    const QString verified =
        "All 38 settings verified on " + QString::fromStdString(sim().LinkPath());
    EXPECT_EQ(Menu("WriteAllSettings1", {}), verified);
    vk630sim::DeviceState written = vk630sim::FieldDeviceState();
    written.address = "042";
    written.interval = "005";
    written.polling[2].commandNumber = 3;
    written.polling[1].parseFormat = 5;
    written.outputs[1].at20mA = "300.0";
    ExpectWindowShows(written);
    EXPECT_EQ(Menu("VerifyAgainstFile1", file), verified);

    PressOpenClose();
    ASSERT_NO_FATAL_FAILURE(StartSimulator({}));
    ASSERT_NO_FATAL_FAILURE(OpenOnSimulator());
    const QString differ = Menu("VerifyAgainstFile1", file);
    EXPECT_TRUE(differ.startsWith("7 settings differ on ")) << differ.toStdString();
    EXPECT_TRUE(differ.contains("<td>device.address</td><td>042</td><td>017</td>"));
}

// The window's fields keep the file's slot values after the read-back of a
// device that has no command slots; the device never reported them.
TEST_F(SettingsMenu, VerifyBelievesOnlyWhatTheDeviceReported) {
    ReadParameters();
    for (const char* query : {"Button76", "Button74", "Button81", "Button79"}) Exchange(query);
    QTemporaryDir dir;
    const QString file = dir.filePath("unit.json");
    Menu("SaveSettings1", file, false);
    PressOpenClose();
    ASSERT_NO_FATAL_FAILURE(StartSimulator({"--unknown", "COMR,COMP"}));
    ASSERT_NO_FATAL_FAILURE(OpenOnSimulator());
    const QString differ = Menu("VerifyAgainstFile1", file);
    EXPECT_TRUE(differ.startsWith("10 settings differ on ")) << differ.toStdString();
    EXPECT_EQ(differ.count("<td>(not reported)</td>"), 10);
}

}  // namespace
}  // namespace e2e

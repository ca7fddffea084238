// Which way writing the line settings drives RTS. A pty has no RTS to
// watch (its modem ioctls fail), so the rule every setter goes through is
// checked here on its own.
#include "seriallink/rts_rule.h"

#include <gtest/gtest.h>

namespace seriallink::test {
namespace {

struct RtsCase {
    const char* what;
    TRtsControl mode;
    bool driverToggles;
    bool threadToggled;
    RtsWrite expected;
};

class RtsRuleTest : public ::testing::TestWithParam<RtsCase> {};

TEST_P(RtsRuleTest, SettersTouchRtsOnlyWhenItIsTheirs) {
    const RtsCase& c = GetParam();
    EXPECT_EQ(RtsOnApply(c.mode, c.driverToggles, c.threadToggled), c.expected);
}

using enum TRtsControl;
INSTANTIATE_TEST_SUITE_P(
    Modes, RtsRuleTest,
    ::testing::Values(
        RtsCase{"enable_raises", RtsEnable, false, false, RtsWrite::Raise},
        RtsCase{"disable_lowers", RtsDisable, false, false, RtsWrite::Lower},
        // Leaving the toggled mode is the owner's decision, block or not.
        RtsCase{"enable_after_toggling_raises", RtsEnable, false, true, RtsWrite::Raise},
        // Switching to the thread's toggling starts from the idle level.
        RtsCase{"toggle_taken_on_lowers", RtsTransmissionAvailable, false, false, RtsWrite::Lower},
        // While the thread toggles, a block may be on the line right now.
        RtsCase{"toggle_while_thread_toggles_leaves_it", RtsTransmissionAvailable, false, true,
                RtsWrite::Leave},
        RtsCase{"toggle_by_the_driver_leaves_it", RtsTransmissionAvailable, true, false,
                RtsWrite::Leave}),
    [](const ::testing::TestParamInfo<RtsCase>& info) { return info.param.what; });

}  // namespace
}  // namespace seriallink::test

// The termios a set of line settings becomes. A pty keeps neither data bits
// nor parity, so these are checked on the encoding a real UART receives.
#include <gtest/gtest.h>
#include <termios.h>

#include "seriallink/tty_control.h"

namespace seriallink::tty {
namespace {

struct EncodeCase {
    const char* what;
    LineSettings settings;
    std::uint32_t cflagSet;    // bits that must be on
    std::uint32_t cflagClear;  // bits that must be off
    std::uint32_t iflag;       // exact
};

LineSettings Line(int dataBits, TParity parity, TStopBits stop) {
    LineSettings s;
    s.dataBits = dataBits;
    s.parity = parity;
    s.stopBits = stop;
    return s;
}

LineSettings With(LineSettings s, void (*change)(LineSettings&)) {
    change(s);
    return s;
}

class EncodeLineTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeLineTest, GivesARawLineWithTheseBits) {
    const EncodeCase& c = GetParam();
    TermiosFields current;
    // A cooked terminal, to show that nothing of it survives.
    current.iflag = ICRNL | IXANY | ISTRIP | IGNPAR | BRKINT;
    current.oflag = OPOST | ONLCR;
    current.lflag = ECHO | ICANON | ISIG | IEXTEN;
    current.cflag = B38400 | CS7 | PARENB | PARODD | CSTOPB | CRTSCTS;
    current.ispeed = current.ospeed = 38400;
    const TermiosFields t = EncodeLine(c.settings, current);
    EXPECT_EQ(t.cflag & c.cflagSet, c.cflagSet);
    EXPECT_EQ(t.cflag & c.cflagClear, 0u);
    EXPECT_EQ(t.cflag & (CREAD | CLOCAL), static_cast<std::uint32_t>(CREAD | CLOCAL));
    EXPECT_EQ(t.iflag, c.iflag);
    EXPECT_EQ(t.oflag, 0u);
    EXPECT_EQ(t.lflag, 0u);
    EXPECT_EQ(t.vmin, 1);
    EXPECT_EQ(t.vtime, 0);
    EXPECT_EQ(t.vstart, static_cast<unsigned char>(c.settings.xonChar));
    EXPECT_EQ(t.vstop, static_cast<unsigned char>(c.settings.xoffChar));
    if (c.settings.baudRate != 0) {
        EXPECT_EQ(t.cflag & CBAUD, static_cast<std::uint32_t>(CBAUDEX)) << "any rate: BOTHER";
        EXPECT_EQ(t.ospeed, c.settings.baudRate);
        EXPECT_EQ(t.ispeed, c.settings.baudRate);
    } else {
        EXPECT_EQ(t.cflag & CBAUD, static_cast<std::uint32_t>(B38400)) << "rate kept";
        EXPECT_EQ(t.ospeed, 38400u);
    }
}

constexpr std::uint32_t kSize = CSIZE;

INSTANTIATE_TEST_SUITE_P(
    Lines, EncodeLineTest,
    ::testing::Values(EncodeCase{"8N1", Line(8, TParity::None, TStopBits::_1), CS8,
                                 PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS, 0},
                      EncodeCase{"7E2", Line(7, TParity::Even, TStopBits::_2),
                                 CS7 | PARENB | CSTOPB, PARODD | CMSPAR | (kSize & ~CS7), 0},
                      EncodeCase{"6O1", Line(6, TParity::Odd, TStopBits::_1), CS6 | PARENB | PARODD,
                                 CMSPAR | CSTOPB | (kSize & ~CS6), 0},
                      EncodeCase{"5N1_5", Line(5, TParity::None, TStopBits::_1_5), CS5 | CSTOPB,
                                 PARENB | kSize, 0},
                      EncodeCase{"8M1", Line(8, TParity::Mark, TStopBits::_1),
                                 CS8 | PARENB | PARODD | CMSPAR, CSTOPB, 0},
                      EncodeCase{"8S1", Line(8, TParity::Space, TStopBits::_1),
                                 CS8 | PARENB | CMSPAR, PARODD | CSTOPB, 0},
                      EncodeCase{"rts_cts",
                                 With(Line(8, TParity::None, TStopBits::_1),
                                      [](LineSettings& s) { s.hardwareFlow = true; }),
                                 CS8 | CRTSCTS, PARENB, 0},
                      EncodeCase{"marked_errors",
                                 With(Line(8, TParity::Even, TStopBits::_1),
                                      [](LineSettings& s) { s.markErrors = true; }),
                                 CS8 | PARENB, 0, INPCK | PARMRK},
                      EncodeCase{"xon_xoff_both_ways",
                                 With(Line(8, TParity::None, TStopBits::_1),
                                      [](LineSettings& s) {
                                          s.xonXoffOut = true;
                                          s.xonXoffIn = true;
                                          s.xonChar = 'Q';
                                          s.xoffChar = 'S';
                                      }),
                                 CS8, 0, IXON | IXOFF},
                      EncodeCase{"odd_rate",
                                 With(Line(8, TParity::None, TStopBits::_1),
                                      [](LineSettings& s) { s.baudRate = 31250; }),
                                 CS8, 0, 0},
                      EncodeCase{"rate_zero_keeps_the_rate",
                                 With(Line(8, TParity::None, TStopBits::_1),
                                      [](LineSettings& s) { s.baudRate = 0; }),
                                 CS8, 0, 0}),
    [](const ::testing::TestParamInfo<EncodeCase>& info) { return info.param.what; });

}  // namespace
}  // namespace seriallink::tty

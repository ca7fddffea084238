// A reply that reaches the console in two bursts. Above the 300 ms read
// interval each burst is a chunk of its own: each replaces the receive box
// and the kept reply, and each is decoded alone at its own tick, so the
// second part is decoded without the first. Below it the link joins the
// bursts into one chunk and the whole reply is decoded.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "console_on_sim.h"
#include "core/device_state.h"
#include "core/reply_builder.h"

namespace e2e {
namespace {

enum class Reply { Parameters, Command1ParseBytes };

std::string FullReply(Reply reply) {
    const vk630sim::DeviceState device = vk630sim::FieldDeviceState();
    return reply == Reply::Parameters ? vk630sim::ParameterReply(device)
                                      : vk630sim::CommandParseReply(device, 1);
}

// What the console must see when the simulator sends the first half, pauses
// and sends the rest.
std::vector<std::string> Chunks(Reply reply, bool joined) {
    const std::string whole = FullReply(reply);
    if (joined) return {whole};
    const std::size_t half = whole.size() / 2;
    return {whole.substr(0, half), whole.substr(half)};
}

using Texts = std::map<std::string, std::string>;

struct SplitRow {
    const char* name;
    int pauseMs;
    bool joined;  // one chunk expected
    Reply reply;
    const char* button;
    std::vector<Edit> before;  // window texts that differ from the device's
    Texts whenLastChunkCame;   // controls already decoded, or not, by then
    Texts atEnd;
};

void PrintTo(const SplitRow& row, std::ostream* out) {
    *out << row.name;
}

// The parameter reply splits between the ZDAD02 and ZDAD03 blocks: the first
// part fills the controls up to the second polling row, the second part the
// rest.
const std::vector<Edit> kParameterEdits = {
    {"JTME", "5"}, {"MAD1MADR", "9"}, {"MAD3MADR", "9"}, {"DAO1H", "9"}, {"DAO3L", "9"}};
const Texts kParametersDecoded = {{"JTME", "020"},
                                  {"MAD1MADR", "001"},
                                  {"MAD3MADR", "001"},
                                  {"DAO1H", "0.000"},
                                  {"DAO3L", "100.0"}};

// The parse reply splits right after its key: the first part holds the key
// and none of its fields, the second the fields and no key.
const std::vector<Edit> kParseEdits = {{"ACOMBY1", "EE"}, {"ACOMBY2", "EE"}, {"ACOMBY3", "EE"}};
const Texts kParseUntouched = {{"ACOMBY1", "EE"}, {"ACOMBY2", "EE"}, {"ACOMBY3", "EE"}};

const SplitRow kSplitRows[] = {
    {"ParametersApartDecodeEachPartAlone",
     400,
     false,
     Reply::Parameters,
     "Button9",
     kParameterEdits,
     {{"JTME", "020"}, {"MAD1MADR", "001"}, {"MAD3MADR", "9"}, {"DAO3L", "9"}},
     kParametersDecoded},
    {"ParametersCloseTogetherDecodeWhole",
     50,
     true,
     Reply::Parameters,
     "Button9",
     kParameterEdits,
     {{"JTME", "5"}, {"MAD3MADR", "9"}},
     kParametersDecoded},
    {"ParseBytesApartDecodeNothing", 400, false, Reply::Command1ParseBytes, "Button74", kParseEdits,
     kParseUntouched, kParseUntouched},
    {"ParseBytesCloseTogetherDecodeWhole",
     50,
     true,
     Reply::Command1ParseBytes,
     "Button74",
     kParseEdits,
     kParseUntouched,
     {{"ACOMBY1", "01"}, {"ACOMBY2", "03"}, {"ACOMBY3", "00"}}},
};

class SplitReply : public ConsoleOnSim, public ::testing::WithParamInterface<SplitRow> {
protected:
    std::vector<std::string> SimulatorFlags() const override {
        return {"--split-reply", std::to_string(GetParam().pauseMs)};
    }

    struct Arrival {
        QString shown;
        Texts controls;
    };

    // Each text the receive box takes, with the watched controls as they
    // stand at that moment.
    void WatchReceiveBox(const Texts& watched) {
        QObject::connect(ui().Memo10, &QPlainTextEdit::textChanged, form_.get(), [this, watched] {
            if (ReceiveBox().isEmpty()) return;
            Arrival arrival{ReceiveBox(), {}};
            for (const auto& entry : watched) {
                arrival.controls[entry.first] =
                    TextOf(QString::fromStdString(entry.first)).toStdString();
            }
            arrivals_.push_back(arrival);
        });
    }

    std::vector<Arrival> arrivals_;
};

TEST_P(SplitReply, IsDecodedAsTheChunksCome) {
    const SplitRow& row = GetParam();
    const std::vector<std::string> chunks = Chunks(row.reply, row.joined);
    ASSERT_NO_FATAL_FAILURE(Apply(row.before));
    WatchReceiveBox(row.whenLastChunkCame);

    QTest::mouseClick(Button(row.button), Qt::LeftButton);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return arrivals_.size() >= chunks.size() && !DecodePending(); },
                        static_cast<int>(kReplyDeadline.count())))
        << arrivals_.size() << " of " << chunks.size() << " chunks";

    ASSERT_EQ(arrivals_.size(), chunks.size());
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        EXPECT_EQ(arrivals_[i].shown, Shown(chunks[i])) << "chunk " << i;
    }
    // Kept alone, never joined to the part before it.
    EXPECT_EQ(form().exchange().ReplyText, chunks.back());
    EXPECT_EQ(arrivals_.back().controls, row.whenLastChunkCame);
    for (const auto& [control, text] : row.atEnd) {
        EXPECT_EQ(TextOf(QString::fromStdString(control)).toStdString(), text) << control;
    }
    EXPECT_TRUE(boxes_.boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Device, SplitReply, ::testing::ValuesIn(kSplitRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e

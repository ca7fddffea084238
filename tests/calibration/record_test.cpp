#include "calibration/record.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "calibration/file_digest.h"

namespace calibration {
namespace {

Record Checked(const std::string& address, const std::string& identity) {
    OutputsSection outputs;
    outputs.asFound = {Evaluate(4, {4.01, 4.0, 3.98}, 0.25)};
    outputs.adjustment =
        Adjustment{{"000001", "000001", "000001"}, {"0.9800", "1.0000", "1.0100"}, true};
    outputs.asLeft = {Evaluate(4, {4.0, 4.0, 4.0}, 0.25), Evaluate(20, {20, 20, 20.01}, 0.25)};
    outputs.complete = true;
    return {"2026-12-09T03:41:07+01:00",
            "1.0",
            {"FT-101", identity, address, "/dev/ttyUSB0"},
            "A. Tech",
            "Fluke 87V",
            std::nullopt,
            outputs};
}

Record Written(const std::string& address, const std::string& identity) {
    Record record = Checked(address, identity);
    record.outputs.reset();
    record.technician.clear();
    record.settings =
        SettingsSection{"unit.json", Sha256Hex(""), 13, false, {{"device.address", "018", "017"}}};
    return record;
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Record, ReadsBackWhatItWroteInTheFilesKeyOrderAndRefusesAnyOtherShape) {
    Record record = Written("017", "VK630-E \xB5V2");  // a device byte above 127
    record.outputs = Checked("017", "").outputs;
    const std::string json = WriteRecord(record);
    EXPECT_EQ(ReadRecord(json, "r.json"), record);
    std::size_t at = 0;
    for (const char* key : {"\"format\": \"vk630e-record\"",
                            "\"version\": 1",
                            "\"made\"",
                            "\"program\"",
                            "\"tag\"",
                            "\"identity\": \"VK630-E \xC2\xB5V2\"",
                            "\"address\"",
                            "\"port\"",
                            "\"technician\"",
                            "\"meter\"",
                            "\"settings\"",
                            "\"sha256\": \"e3b0c442",
                            "\"outputs\"",
                            "\"tolerancePercentOfSpan\": 0.25",
                            "\"adjustAt\": 20",
                            "\"asFound\"",
                            "\"measured\": [\n          4.01",
                            "\"adjustment\"",
                            "\"asLeft\"",
                            "\"complete\": true",
                            "\"verdict\": \"fail\""}) {
        at = json.find(key, at);
        ASSERT_NE(at, std::string::npos) << key << " in order in\n" << json;
    }
    EXPECT_EQ(json.back(), '\n');
    const std::pair<const char*, nlohmann::json> wrong[] = {
        {"/format", "vk630e-settings"},  {"/version", 2},
        {"/unit/identity", "\xC4\x80"},  {"/unit/tag", 7},
        {"/settings/written", 2000000},  {"/settings/verified", "yes"},
        {"/outputs/asFound", 4},         {"/outputs/asLeft/0/measured", {4.0, 4.0}},
        {"/outputs/asLeft/0/pass/1", 1}, {"/outputs/adjustment/after", {"1"}},
    };
    for (const auto& [where, value] : wrong) {
        nlohmann::json doc = nlohmann::json::parse(json);
        doc[nlohmann::json::json_pointer(where)] = value;
        EXPECT_THROW(ReadRecord(doc.dump(), "r.json"), BadRecordFile) << where;
    }
    EXPECT_THROW(ReadRecord("[1", "s.json"), BadRecordFile);
}

TEST(Record, VerdictFollowsEverySectionItHolds) {
    Record none = Checked("017", "X"), stopped = none, failedAsLeft = none, failedAsFound = none;
    none.outputs.reset();
    stopped.outputs->complete = false;
    failedAsLeft.outputs->asLeft->back().pass[2] = false;
    failedAsFound.outputs->asFound[0].pass[0] = false;
    Record checkOnly = failedAsFound;
    checkOnly.outputs->adjustment.reset();
    checkOnly.outputs->asLeft.reset();
    Record differs = Checked("017", "X");
    differs.settings = Written("017", "X").settings;
    Record bothGood = differs;
    bothGood.settings->verified = true;
    bothGood.settings->differences.clear();
    const std::pair<const Record*, const char*> cases[] = {
        {&none, "incomplete"},    {&stopped, "incomplete"}, {&failedAsLeft, "fail"},
        {&failedAsFound, "pass"}, {&checkOnly, "fail"},     {&differs, "fail"},
        {&bothGood, "pass"},
    };
    for (const auto& [record, verdict] : cases) EXPECT_EQ(Verdict(*record), verdict);
}

TEST(Record, SaveMergesTheSameUnitAndRefusesAnother) {
    const std::string dir = testing::TempDir() + "record_save_" + std::to_string(::getpid());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string path = dir + "/unit.json";

    SaveRecord(path, Written("017", "VK630-E"));
    const Record merged = SaveRecord(path, Checked("017", "VK630-E"));
    EXPECT_EQ(ReadRecord(Slurp(path), path), merged);
    EXPECT_TRUE(merged.settings && merged.outputs);
    // An update without a technician keeps the one who checked the outputs.
    EXPECT_EQ(SaveRecord(path, Written("017", "VK630-E")).technician, "A. Tech");

    // A section saved before the unit said who it is joins the unit's file,
    // which keeps the identity it knows.
    EXPECT_EQ(SaveRecord(path, Written("017", "")).unit.identity, "VK630-E");

    const std::string before = Slurp(path);
    for (const Record& other : {Checked("018", "VK630-E"), Checked("017", "VK630-F")})
        EXPECT_THROW(SaveRecord(path, other), BadRecordFile);
    std::ofstream(dir + "/foreign.json") << "{\"format\": \"vk630e-settings\", \"version\": 1}";
    EXPECT_THROW(SaveRecord(dir + "/foreign.json", Checked("017", "VK630-E")), BadRecordFile);
    EXPECT_EQ(Slurp(path), before);
    // Nothing left beside them.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                            std::filesystem::directory_iterator()),
              2);
    EXPECT_THROW(SaveRecord(dir + "/missing/unit.json", Checked("017", "VK630-E")),
                 std::system_error);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace calibration

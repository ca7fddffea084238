#include "settings/settings_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace settings {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

SettingsFile Example() {
    SettingsFile file{"2026-12-08T14:00:00+01:00", "1.0", WindowDefaults()};
    file.fields.indices["MAD1USE"] = 1;
    file.fields.indices["MAD2XIN"] = 23;  // the empty last item of row 2's list
    file.fields.indices["COMAD2"] = 1;
    file.fields.texts["ADRM"] = "\xE9#,";  // bytes as typed, beyond ASCII too
    return file;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

TEST(SettingsFile, WritesTheFixedLayoutAndReadsItBackWhole) {
    const SettingsFile file = Example();
    const std::string text = WriteSettings(file);
    EXPECT_THAT(text, StartsWith("{\n  \"format\": \"vk630e-settings\",\n  \"version\": 1,\n"
                                 "  \"saved\": \"2026-12-08T14:00:00+01:00\",\n"
                                 "  \"program\": \"1.0\",\n  \"device\": {\n"
                                 "    \"baud\": \"9600\",\n    \"parity\": \"None\",\n"
                                 "    \"interval\": \"10\",\n    \"address\": \"\xC3\xA9#,\"\n"));
    EXPECT_THAT(text, HasSubstr("\"command\": \"1_CMD1\""));
    EXPECT_THAT(text, HasSubstr("\"command\": null"));
    EXPECT_THAT(text, HasSubstr("\"format\": \"\""));
    EXPECT_EQ(text.back(), '\n');

    const SettingsFile back = ReadSettings(text, "unit.json");
    EXPECT_EQ(back.fields, file.fields);
    EXPECT_EQ(back.saved, file.saved);
    EXPECT_EQ(back.program, file.program);
}

TEST(SettingsFile, RefusesABadFileWholeNamingFileKeyAndExpectation) {
    const std::string good = WriteSettings(Example());
    struct Case {
        const char* what;
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"not JSON", "{\"format\": ", "unit7.json: the document: expected JSON; parse error"},
        {"number beyond a double", "1E400",
         "unit7.json: the document: expected JSON; number overflow"},
        {"not an object", "[1]", "unit7.json: the document: expected an object, found array"},
        {"another format", Replace(good, "vk630e-settings", "vk630-other"),
         "unit7.json: format: expected \"vk630e-settings\", found \"vk630-other\""},
        {"no format", Replace(good, "\"format\"", "\"formats\""),
         "unit7.json: format: missing; expected \"vk630e-settings\""},
        {"newer version", Replace(good, "\"version\": 1", "\"version\": 2"),
         "unit7.json: version: expected 1; version 2 comes from a newer program"},
        {"version as text", Replace(good, "\"version\": 1", "\"version\": \"1\""),
         "unit7.json: version: expected 1, found \"1\""},
        {"missing key",
         Replace(good, "\"migration\": \"00000\"\n    },\n    {\n      \"command\": null",
                 "\"x\": \"00000\"\n    },\n    {\n      \"command\": null"),
         "unit7.json: polling[0].migration: missing key"},
        {"extra key", Replace(good, "\"baud\"", "\"colour\": 1, \"baud\""),
         "unit7.json: device.colour: unexpected key; expected only baud, parity, interval, "
         "address"},
        {"number for a text", Replace(good, "\"interval\": \"10\"", "\"interval\": 10"),
         "unit7.json: device.interval: expected a text in quotes, found number"},
        {"short list", Replace(good, "\"parse\": [\n        \"01\",", "\"parse\": ["),
         "unit7.json: commandSlots[0].parse: expected a list of 3 entries, found 2"},
        {"number for a list", Replace(good, "\"outputs\": [", "\"outputs\": 7, \"x\": ["),
         "unit7.json: outputs: expected a list of 3 entries, found number"},
        {"choice not in its list", Replace(good, "\"parity\": \"None\"", "\"parity\": \"none\""),
         "unit7.json: device.parity: expected one of \"None\", \"Odd\", \"Even\", or null, found "
         "\"none\""},
        {"choice as a number", Replace(good, "\"baud\": \"9600\"", "\"baud\": 3"),
         "unit7.json: device.baud: expected one of \"1200\""},
        {"character beyond a byte",
         Replace(good, "\"interval\": \"10\"", "\"interval\": \"1\\u20ac\""),
         "unit7.json: device.interval: expected characters of code 0 to 255 only"},
        {"saved not a text",
         Replace(good, "\"saved\": \"2026-12-08T14:00:00+01:00\"", "\"saved\": null"),
         "unit7.json: saved: expected a text, found null"},
    };
    for (const Case& c : cases) {
        try {
            ReadSettings(c.text, "unit7.json");
            ADD_FAILURE() << c.what << ": loaded";
        } catch (const BadSettingsFile& error) {
            EXPECT_THAT(error.what(), StartsWith(c.message)) << c.what;
        }
    }
}

}  // namespace
}  // namespace settings

#include "settings/settings_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
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
    // Values as wide as the device's replies carry them.
    file.fields.texts["ADRM"] = "999";
    file.fields.texts["DataQY3"] = "-0001";
    file.fields.texts["COMDDATA1"] = std::string(198, 'f');
    file.fields.texts["BCOMBY1"] = "AF";
    file.fields.texts["BCOMBY3"] = "0a";
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
                                 "    \"interval\": \"10\",\n    \"address\": \"999\"\n"));
    EXPECT_THAT(text, HasSubstr("\"command\": \"1_CMD1\""));
    EXPECT_THAT(text, HasSubstr("\"command\": null"));
    EXPECT_THAT(text, HasSubstr("\"format\": \"\""));
    EXPECT_EQ(text.back(), '\n');
    SettingsFile typed = file;
    typed.fields.texts["ADRM"] = "\xE9";  // bytes as typed in the window, beyond ASCII too
    EXPECT_THAT(WriteSettings(typed), HasSubstr("\"address\": \"\xC3\xA9\""));

    const std::string path = ::testing::TempDir() + "unit.json";
    std::ofstream(path, std::ios::binary) << text;
    const LoadedSettings loaded = ReadSettingsFile(path, "unit.json");
    EXPECT_EQ(loaded.bytes, text);
    const SettingsFile& back = loaded.file;
    EXPECT_EQ(back.fields, file.fields);
    EXPECT_EQ(back.saved, file.saved);
    EXPECT_EQ(back.program, file.program);

    std::ofstream(path, std::ios::binary) << text << std::string(kMostFileBytes - text.size(), ' ');
    EXPECT_EQ(ReadSettingsFile(path, "unit.json").bytes.size(), kMostFileBytes);
}

// Every file is read from disk as the window and vk630e-cli read it. Values
// that would put frames of their own on the line, files that would exhaust
// memory or never end, and keys given twice are refused like any mistake,
// with a message that stays short whatever the file holds.
TEST(SettingsFile, RefusesABadFileWholeNamingFileKeyAndExpectation) {
    const std::string good = WriteSettings(Example());
    const std::string dir = ::testing::TempDir() + "refused-settings";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directory(dir);
    ASSERT_EQ(::mkfifo((dir + "/pipe.json").c_str(), 0600), 0);
    const std::string nested = std::string(200000, '[') + std::string(200000, ']');
    std::string longKey;
    for (int i = 0; i < 30; ++i) longKey += "\xC3\xA9";  // cut between characters only
    std::string deepest = "unit7.json: format";
    for (int i = 0; i < 15; ++i) deepest += "[0]";
    struct Case {
        const char* what;
        std::string text;
        std::string message;
        std::string path = {};  // read instead of a file holding `text`
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
        {"a second frame in a value",
         Replace(good, "\"address\": \"999\"", "\"address\": \"017#TEKVAR#JTM:999\""),
         "unit7.json: device.address: expected 1 to 3 printable ASCII characters other than "
         "\"#\", found \"017#TEKVAR#JTM:999\""},
        {"a NUL", Replace(good, "\"interval\": \"10\"", "\"interval\": \"1 \\u0000\""),
         "unit7.json: device.interval: expected 1 to 3 printable ASCII characters other than "
         "\"#\", found \"1 \\x00\""},
        {"beyond ASCII", Replace(good, "\"address\": \"999\"", "\"address\": \"\xC3\xA9\""),
         "unit7.json: device.address: expected 1 to 3 printable ASCII characters other than "
         "\"#\", found \"\\xE9\""},
        {"empty", Replace(good, "\"interval\": \"10\"", "\"interval\": \"\""),
         "unit7.json: device.interval: expected 1 to 3"},
        {"wider than the reply", Replace(good, "\"000001\"", "\"-8.0000\""),
         "unit7.json: polling[0].coefficient: expected 1 to 6 printable ASCII characters"},
        {"not hexadecimal", Replace(good, std::string(198, 'f'), "0103ZZ"),
         "unit7.json: commandSlots[0].command: expected an even number of hexadecimal digits, at "
         "most 198, found \"0103ZZ\""},
        {"half a byte", Replace(good, "\"0103000000044409\"", "\"010\""),
         "unit7.json: commandSlots[1].command: expected an even number"},
        {"100 bytes", Replace(good, std::string(198, 'f'), std::string(200, '0')),
         "unit7.json: commandSlots[0].command: expected an even number"},
        {"a parse byte of one digit", Replace(good, "\"0a\"", "\"1\""),
         "unit7.json: commandSlots[1].parse[2]: expected 2 hexadecimal digits, found \"1\""},
        {"a long text", Replace(good, "\"999\"", '"' + std::string(1000000, 'x') + '"'),
         "unit7.json: device.address: expected 1 to 3 printable ASCII characters other than "
         "\"#\", found \"" +
             std::string(40, 'x') + "\"…"},
        {"version as a list", Replace(good, "\"version\": 1", "\"version\": [1]"),
         "unit7.json: version: expected 1, found array"},
        {"a long key", Replace(good, "\"baud\"", "\"x" + longKey + "\": 1, \"baud\""),
         "unit7.json: device.x" + longKey.substr(0, 38) + "…: unexpected key"},
        {"deep nesting", Replace(good, "\"vk630e-settings\"", nested),
         deepest + ": expected at most 16 lists and objects inside each other"},
        {"a key twice",
         Replace(good, "\"address\": \"999\"", "\"address\": \"017\", \"address\": \"099\""),
         "unit7.json: device.address: key given twice; expected each key once"},
        {"a key twice in a list",
         Replace(good, "\"format\": \"\"", "\"format\": \"\", \"start\": \"1\""),
         "unit7.json: polling[1].start: key given twice"},
        {"2 MiB", good + std::string(2 << 20, ' '), "unit7.json: is larger than 1 MiB"},
        {"endless", "", "unit7.json: is a device, not a settings file", "/dev/zero"},
        {"a folder", "", "unit7.json: is a folder, not a settings file", dir},
        {"a FIFO", "", "unit7.json: is a named pipe (FIFO), not a settings file",
         dir + "/pipe.json"},
        {"missing", "", "unit7.json: cannot be read: No such file", dir + "/none.json"},
    };
    for (const Case& c : cases) {
        const std::string path = c.path.empty() ? dir + "/unit7.json" : c.path;
        if (c.path.empty()) std::ofstream(path, std::ios::binary | std::ios::trunc) << c.text;
        try {
            ReadSettingsFile(path, "unit7.json");
            ADD_FAILURE() << c.what << ": loaded";
        } catch (const BadSettingsFile& error) {
            EXPECT_THAT(error.what(), StartsWith(c.message)) << c.what;
            EXPECT_LT(std::string(error.what()).size(), 200u) << c.what;
        }
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace settings

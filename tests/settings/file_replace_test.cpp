#include "settings/file_replace.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace settings {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

// Through a link the file it names is replaced, keeping its mode; a new
// file gets the mode the umask gives; a device
// (a terminal here) is written as it is, with nothing made beside it.
TEST(ReplaceFile, ReplacesWhatALinkNamesAndWritesADeviceAsItIs) {
    char pattern[] = "/tmp/vk630e-replace-XXXXXX";
    const fs::path dir = ::mkdtemp(pattern);
    std::ofstream(dir / "unit.json") << "old";
    fs::permissions(dir / "unit.json", fs::perms(0640));
    fs::create_symlink(dir / "unit.json", dir / "link.json");
    ReplaceFile(dir / "link.json", "new");
    EXPECT_EQ(Read(dir / "unit.json"), "new");
    EXPECT_TRUE(fs::is_symlink(dir / "link.json"));
    EXPECT_EQ(fs::status(dir / "unit.json").permissions(), fs::perms(0640));
    ReplaceFile(dir / "fresh.json", "new");  // as the umask lets a new file be
    EXPECT_NE(fs::status(dir / "fresh.json").permissions() & fs::perms::owner_write, fs::perms{});
    try {
        ReplaceFile(dir / "none" / "unit.json", "new");
        ADD_FAILURE() << "written into no folder";
    } catch (const std::system_error& refused) {
        EXPECT_EQ(refused.code(), std::errc::no_such_file_or_directory);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 3);
    fs::remove_all(dir);

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    ReplaceFile(::ptsname(master), "new");
    char shown[8] = {};
    pollfd ready{master, POLLIN, 0};
    ASSERT_EQ(::poll(&ready, 1, 0), 1);
    EXPECT_EQ(std::string(shown, ::read(master, shown, sizeof shown)), "new");
    ::close(master);
}

}  // namespace
}  // namespace settings

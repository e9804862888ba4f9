// Replacing a file: links followed and kept, anything but a regular file left alone, and the
// temporaries of a killed write cleared by the settings store's next write.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Registry.h"
#include "platform/SafeReplace.h"
#include "tests/support/TestEnvironment.h"

namespace {

namespace fs = std::filesystem;
using platform::ReplaceStatus;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::size_t entryCount(const std::string& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(SafeReplaceTest, LinkChainsAreFollowedAndStay) {
    testsupport::TempDir dir;
    std::ofstream(dir.file("real")) << "old";
    fs::create_directory(dir.file("sub"));
    fs::create_symlink("../real", dir.file("sub/up"));
    fs::create_symlink("sub/up", dir.file("link"));
    EXPECT_EQ(platform::replacementTarget(dir.file("link")), dir.file("real"));
    const auto result = platform::replaceFile(dir.file("link"), "new", true);
    EXPECT_EQ(result.status, ReplaceStatus::Written);
    EXPECT_EQ(readFile(dir.file("real")), "new");
    EXPECT_TRUE(fs::is_symlink(dir.file("link")) && fs::is_symlink(dir.file("sub/up")));
    // A link loop ends at its last link, which is no regular file.
    fs::create_symlink("loop", dir.file("loop"));
    EXPECT_EQ(platform::replaceFile(dir.file("loop"), "x", true).status,
              ReplaceStatus::NotRegularFile);
    EXPECT_EQ(entryCount(dir.path()), 4u);
}

TEST(SafeReplaceTest, ReplacedFileKeepsItsModeAndNewFilesFollowTheUmask) {
    testsupport::TempDir dir;
    std::ofstream(dir.file("kept")) << "old";
    ::chmod(dir.file("kept").c_str(), 0640);
    ASSERT_TRUE(platform::replaceFile(dir.file("kept"), "new", true));
    ASSERT_TRUE(platform::replaceFile(dir.file("fresh"), "new", false, 0600));
    struct stat info {};
    ASSERT_EQ(::stat(dir.file("kept").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    ASSERT_EQ(::stat(dir.file("fresh").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(platform::replaceFile(dir.file("fresh"), "again", false).status,
              ReplaceStatus::AlreadyExists);
    EXPECT_EQ(readFile(dir.file("fresh")), "new");
}

class SettingsStoreFileTest : public ::testing::Test {
protected:
    std::string storeFile() const { return config.path() + "/vantorel/registry.reg"; }
    bool writeSetting(std::uint32_t value = 1) {
        auto key = platform::RegistryKey::open("SOFTWARE\\Vantorel\\Test", true);
        return key && key->writeDWord("Value", value);
    }
    void touch(const std::string& path, std::time_t age) {
        std::ofstream(path) << "partial";
        const std::time_t when = std::time(nullptr) - age;
        const utimbuf times{when, when};
        ASSERT_EQ(::utime(path.c_str(), &times), 0);
    }
    testsupport::ScopedConfigHome config;
    testsupport::DebugCapture debug;
};

TEST_F(SettingsStoreFileTest, WriteClearsOnlyStaleTemporariesOfTheStore) {
    ASSERT_TRUE(writeSetting());
    const std::string folder = config.path() + "/vantorel";
    touch(storeFile() + ".aB3xZ9", 120);  // killed write, two minutes ago
    touch(storeFile() + ".Qw12er", 5);    // a write that may still be running
    touch(storeFile() + ".old", 120);     // not the store's pattern
    touch(folder + "/other.reg.aB3xZ9", 120);
    ASSERT_TRUE(writeSetting(2));
    EXPECT_FALSE(fs::exists(storeFile() + ".aB3xZ9"));
    for (const char* kept : {"/registry.reg.Qw12er", "/registry.reg.old", "/other.reg.aB3xZ9"})
        EXPECT_TRUE(fs::exists(folder + kept)) << kept;
}

TEST_F(SettingsStoreFileTest, FifoOrFolderInThePlaceOfTheStoreIsLeftAlone) {
    fs::create_directories(config.path() + "/vantorel");
    ASSERT_EQ(::mkfifo(storeFile().c_str(), 0600), 0);
    EXPECT_FALSE(writeSetting());  // must not block on the FIFO
    EXPECT_TRUE(fs::is_fifo(storeFile()));
    EXPECT_TRUE(
        debug.contains("vyr: Error in Registry - " + storeFile() + " is not a regular file."));
    fs::remove(storeFile());
    fs::create_directory(storeFile());
    EXPECT_FALSE(writeSetting());
    EXPECT_TRUE(fs::is_directory(storeFile()));
}

TEST_F(SettingsStoreFileTest, LinkedStoreIsWrittenThroughTheLink) {
    fs::create_directories(config.path() + "/vantorel");
    std::ofstream(config.path() + "/elsewhere.reg") << "REGEDIT4\r\n";
    fs::create_symlink("../elsewhere.reg", storeFile());
    ASSERT_TRUE(writeSetting());
    EXPECT_TRUE(fs::is_symlink(storeFile()));
    EXPECT_NE(readFile(config.path() + "/elsewhere.reg").find("\"Value\"=dword:00000001"),
              std::string::npos);
}

}  // namespace

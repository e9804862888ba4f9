// cmake --install into a private prefix: the layout the package ships, and the installed
// lumtrace-validate finding its plug-in in lib/lumtrace/ with nothing beside it.

#include <gtest/gtest.h>

#include <filesystem>

#include "CliTestSupport.h"

namespace {

namespace fs = std::filesystem;

class InstallTest : public clitest::CliTest {
protected:
    static void SetUpTestSuite() {
        s_prefix = new testsupport::TempDir;
        const auto result = clitest::runProcess(
            CMAKE_COMMAND_PATH, {"--install", BUILD_TREE, "--prefix", s_prefix->path()});
        ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
    }
    static void TearDownTestSuite() {
        delete s_prefix;
        s_prefix = nullptr;
    }
    static std::string installed(const std::string& relative) {
        return s_prefix->path() + "/" + relative;
    }

    static testsupport::TempDir* s_prefix;
};

testsupport::TempDir* InstallTest::s_prefix = nullptr;

TEST_F(InstallTest, LaysOutProgramsPluginAndDesktopFiles) {
    std::vector<std::string> expected = {
        "bin/lumtrace-validate",
        "lib/lumtrace/Sievra.zkx",
        "share/applications/lumtrace.desktop",
        "share/mime/packages/lumtrace.xml",
        "share/icons/hicolor/scalable/apps/lumtrace.svg",
        "share/icons/hicolor/16x16/apps/lumtrace.png",
        "share/icons/hicolor/48x48/apps/lumtrace.png",
        "share/icons/hicolor/256x256/apps/lumtrace.png",
        "share/man/man1/Lumtrace.1.gz",
        "share/man/man1/lumtrace-validate.1.gz",
        "share/man/man1/lumtrace-export.1.gz",
        "share/bash-completion/completions/lumtrace-validate",
        "share/bash-completion/completions/lumtrace-export",
    };
    if (HAS_VIEWER) {
        expected.push_back("bin/Lumtrace");
        expected.push_back("lib/lumtrace/SievraSetup.so");  // the plug-in's dialogs
    }
    if (HAS_EXPORT) expected.push_back("bin/lumtrace-export");
    if (HAS_FIX)
        for (const char* file : {"bin/lumtrace-fix", "share/man/man1/lumtrace-fix.1.gz",
                                 "share/bash-completion/completions/lumtrace-fix"})
            expected.push_back(file);
    for (const auto& relative : expected)
        EXPECT_TRUE(fs::is_regular_file(installed(relative))) << relative;
    // Only the plug-in folder holds it: a copy in bin/ would hide a wrong lookup.
    EXPECT_FALSE(fs::exists(installed("bin/Sievra.zkx")));
    const auto executable = fs::perms::owner_exec;
    for (const char* program :
         {"bin/lumtrace-validate", "bin/lumtrace-export", "bin/lumtrace-fix"}) {
        if (!fs::exists(installed(program))) continue;  // reported above
        EXPECT_NE(fs::status(installed(program)).permissions() & executable, fs::perms::none)
            << program;
    }
}

TEST_F(InstallTest, InstalledProgramsRunFromTheirFolder) {
    const auto version = clitest::runProcess(installed("bin/lumtrace-validate"), {"--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out.rfind("lumtrace-validate 2.", 0), 0u) << version.out;
    if (!HAS_EXPORT) return;
    const std::string file = cleanFile();
    struct Case {
        const char* format;
        const char* expected;  // a line of the output
    };
    for (const Case& c : {Case{"srt", " --> "}, Case{"vtt", "WEBVTT"}}) {
        const auto run =
            clitest::runProcess(installed("bin/lumtrace-export"), {"--format", c.format, file});
        EXPECT_EQ(run.exitStatus, 0) << c.format << "\n" << run.err;
        EXPECT_NE(run.out.find(c.expected), std::string::npos) << c.format << "\n" << run.out;
    }
}

TEST_F(InstallTest, InstalledRepairFindsTheShippedProfiles) {
    if (!HAS_FIX) GTEST_SKIP() << "lumtrace-fix is not built";
    const auto run = clitest::runProcess(installed("bin/lumtrace-fix"),
                                         {"--profile", "teletext", "--dry-run", errorFile()});
    EXPECT_NE(run.exitStatus, 2) << run.err;
    EXPECT_NE(run.out.find("Dry run: nothing written."), std::string::npos) << run.out;
}

TEST_F(InstallTest, InstalledValidatorLoadsThePluginFromItsFolder) {
    const std::string program = installed("bin/lumtrace-validate");
    struct Case {
        std::string file;
        int exitStatus;
    };
    for (const Case& c : {Case{cleanFile(), 0}, Case{errorFile(), 1}}) {
        const auto result = clitest::runProcess(program, {"--quiet", c.file});
        EXPECT_EQ(result.exitStatus, c.exitStatus) << c.file << "\n" << result.err;
        EXPECT_NE(result.out.find(c.file + ": "), std::string::npos) << result.out;
        EXPECT_EQ(result.err.find("cannot load the plug-in"), std::string::npos) << result.err;
    }
}

}  // namespace

// The setup dialogs sit in a module of their own, so hosts that never configure load no Qt.

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "PluginTestSupport.h"
#include "tests/support/TestEnvironment.h"

using namespace plugintest;
namespace fs = std::filesystem;

namespace {

// The libraries a module names as needed, as readelf lists them.
std::string neededLibraries(const fs::path& module) {
    const std::string command = "readelf -d '" + module.string() + "' 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    std::string needed;
    if (!pipe) return needed;
    char line[512];
    while (std::fgets(line, sizeof line, pipe))
        if (std::strstr(line, "(NEEDED)")) needed += line;
    ::pclose(pipe);
    return needed;
}

TEST(SetupModuleTest, OnlyTheSetupModuleNeedsQt) {
    const fs::path plugin = SIEVRA_MODULE_PATH;
    const std::string pluginNeeds = neededLibraries(plugin);
    const std::string setupNeeds = neededLibraries(plugin.parent_path() / "SievraSetup.so");
    ASSERT_NE(pluginNeeds.find("libc.so"), std::string::npos) << pluginNeeds;
    EXPECT_EQ(pluginNeeds.find("Qt"), std::string::npos) << pluginNeeds;
    EXPECT_NE(setupNeeds.find("libQt6Widgets"), std::string::npos) << setupNeeds;
}

TEST(SetupModuleTest, ConfigureWithoutTheSetupModuleFailsAndSaysWhy) {
    testsupport::ScopedConfigHome config;
    testsupport::TempDir alone;
    const fs::path copy = fs::path(alone.path()) / "Sievra.zkx";
    fs::copy_file(SIEVRA_MODULE_PATH, copy);
    SievraModule module(copy.string());
    ASSERT_TRUE(module.ok()) << module.error();
    auto control = module.create();
    ASSERT_TRUE(control);
    StderrCapture capture;
    EXPECT_EQ(control->Configure(0), E_FAIL);
    bool said = false;
    for (const std::string& line : capture.lines())
        said |= line.rfind("vyr: Error in TSievra.Configure - cannot load the setup dialogs: ",
                           0) == 0 &&
                line.find("SievraSetup.so") != std::string::npos;
    EXPECT_TRUE(said);
}

}  // namespace

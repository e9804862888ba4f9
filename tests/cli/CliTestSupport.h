#pragma once
// What the command tests share: a private config home (so the registry store starts empty), a
// folder for fixtures and reports, and the rule settings the window would use.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include "ProcessRunner.h"
#include "platform/Registry.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"

namespace clitest {

inline const std::string VALIDATE = LUMTRACE_VALIDATE_PATH;
inline const char* const RULE_SETTINGS_KEY =
    "SOFTWARE\\Vantorel\\Quorvex\\Modules\\Sievra\\ValidationSettings";

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class CliTest : public ::testing::Test {
protected:
    // Rule 101 carries the current time; without it two runs give the same findings.
    void SetUp() override { setRule(101, false); }

    void setRule(int rule, bool enabled) { setRuleValue(rule, "_Enabled", enabled ? 1 : 0); }
    void setRuleType(int rule, std::uint32_t type) { setRuleValue(rule, "_Type", type); }

    // Three plain subtitles: no Error finding with the default rule settings.
    std::string cleanFile(const std::string& name = "clean.stl") {
        return testsupport::StlFileBuilder().addBlocks(3).writeTo(dir.file(name));
    }
    // A second block with vertical position 120, which the rules report as an Error.
    std::string errorFile(const std::string& name = "error.stl") {
        testsupport::StlFileBuilder::Block first, second;
        first.number = 1;
        first.in[2] = 1;
        first.out[2] = 2;
        second.number = 2;
        second.vertical = 120;
        second.in[2] = 3;
        second.out[2] = 4;
        return testsupport::StlFileBuilder().addBlock(first).addBlock(second).announce(2).writeTo(
            dir.file(name));
    }
    // Text, not subtitles: long enough for a GSI block, with no disk format code in it.
    std::string notStlFile(const std::string& name = "notes.txt") {
        std::ofstream out(dir.file(name));
        for (int i = 0; i < 100; ++i) out << "not a subtitle file\n";
        return dir.file(name);
    }

    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;

private:
    void setRuleValue(int rule, const char* suffix, std::uint32_t value) {
        auto key = platform::RegistryKey::open(RULE_SETTINGS_KEY, true);
        ASSERT_TRUE(key && key->writeDWord(std::to_string(rule) + suffix, value));
    }
};

}  // namespace clitest

// The manuals of lumtrace-validate, lumtrace-export and lumtrace-fix document every option their
// --help lists, whatever options the programs gain.

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "CliTestSupport.h"

namespace {

// Options named in the option column of the help: lines that start, after indentation, with a
// dash ("  -q, --quiet    ..." or "      --version  ...").
std::set<std::string> helpOptions(const std::string& help) {
    std::set<std::string> options;
    static const std::regex column(R"(^\s+(-[^ ]*(?: ?[^ ]+)*?)(?:\s{2,}|$))");
    static const std::regex option(R"(--?[A-Za-z0-9][A-Za-z0-9-]*)");
    for (const auto& line : clitest::splitLines(help)) {
        std::smatch found;
        if (!std::regex_search(line, found, column)) continue;
        const std::string names = found[1];
        // Only names that start a word: "ebu-tt-d" in a value list is no option "-tt-d".
        for (std::sregex_iterator it(names.begin(), names.end(), option), end; it != end; ++it)
            if (it->position() == 0 || names[it->position() - 1] == ',' ||
                names[it->position() - 1] == ' ')
                options.insert(it->str());
    }
    return options;
}

// The page source as text: "\-" is a dash, font changes (\fB, \fI, \fR, \fP) are dropped.
std::string manPageText(const std::string& path) {
    std::string text = clitest::readFile(path);
    text = std::regex_replace(text, std::regex(R"(\\f[BIRP])"), "");
    return std::regex_replace(text, std::regex(R"(\\-)"), "-");
}

struct Program {
    const char* path;
    const char* page;
    std::set<std::string> alwaysListed;  // fewer means the help layout changed and the parse missed
};

TEST(ManPageTest, DocumentsEveryOptionOfTheHelp) {
    const Program programs[] = {
        {LUMTRACE_VALIDATE_PATH, "lumtrace-validate.1", {"--help", "-h", "--version", "--quiet"}},
        {LUMTRACE_EXPORT_PATH, "lumtrace-export.1", {"--help", "-h", "--format", "--tcp-offset"}},
        {LUMTRACE_FIX_PATH, "lumtrace-fix.1", {"--help", "--profile", "--dry-run", "--in-place"}},
    };
    for (const Program& program : programs) {
        SCOPED_TRACE(program.page);
        if (std::string(program.path).empty()) continue;  // not built
        const auto help = clitest::runProcess(program.path, {"--help"});
        ASSERT_EQ(help.exitStatus, 0);
        const std::set<std::string> options = helpOptions(help.out);
        for (const auto& name : program.alwaysListed)
            ASSERT_TRUE(options.count(name)) << name << " not found in\n" << help.out;

        const std::string page =
            manPageText(SOURCE_TREE "/desktop/man/" + std::string(program.page));
        for (const auto& name : options) {
            const std::regex word("(^|[^A-Za-z0-9-])" + name + "($|[^A-Za-z0-9-])");
            EXPECT_TRUE(std::regex_search(page, word)) << name << " is missing from the manual";
        }
    }
}

}  // namespace

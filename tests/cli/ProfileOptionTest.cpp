// --profile and --list-rules: a delivery profile for one run, in every worker process, with the
// settings store left as it was.

#include <nlohmann/json.hpp>

#include <fstream>
#include <functional>
#include <regex>

#include "CliTestSupport.h"

namespace clitest {
namespace {

using testsupport::StlFileBuilder;

class ProfileOptionTest : public CliTest {
protected:
    std::string storePath() const { return config.path() + "/vantorel/registry.reg"; }

    // Teletext that meets every rule of the three profiles: boxed, double height, 4 s on screen
    // with 1 s gaps, under 11 characters a second, the first at the GSI's first in-cue. Change
    // puts one fault into the second subtitle.
    std::string teletextFile(const std::string& name,
                             const std::function<void(StlFileBuilder::Block&)>& change = {}) {
        const auto subtitle = [](std::uint16_t number, std::uint8_t second, std::string text) {
            StlFileBuilder::Block block;
            block.number = number;
            block.in[0] = block.out[0] = 10;
            block.in[2] = second;
            block.out[2] = static_cast<std::uint8_t>(second + 4);
            block.text = StlFileBuilder::text("\x0D\x0B\x0B" + text + "\x0A\x0A");
            return block;
        };
        StlFileBuilder::Block second = subtitle(2, 5, "Good night.");
        if (change) change(second);
        return StlFileBuilder()
            .gsi(gsi::totalNumberOfSubtitles, "00002")
            .addBlock(subtitle(1, 0, "Good evening."))
            .addBlock(second)
            .announce(2)
            .writeTo(dir.file(name));
    }
    // A second subtitle with one row of Length characters.
    std::string wideFile(const std::string& name, int length) {
        return teletextFile(name, [&](StlFileBuilder::Block& block) {
            block.text = StlFileBuilder::text("\x0D\x0B\x0B" +
                                              std::string(static_cast<std::size_t>(length), 'x'));
        });
    }

    static std::vector<std::string> deliveryFindings(const std::string& out) {
        std::vector<std::string> found;
        static const std::regex delivery(R"(.*(\[5\d\d\].*))");
        for (const std::string& line : splitLines(out)) {
            std::smatch match;
            if (std::regex_match(line, match, delivery)) found.push_back(match[1]);
        }
        return found;
    }
};

TEST_F(ProfileOptionTest, AProfileGivesExactlyTheFindingOfTheOneFault) {
    using Block = StlFileBuilder::Block;
    struct Case {
        const char* profile;
        std::function<void(Block&)> fault;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"teletext", {}, {}},
        {"teletext-children", {}, {}},
        {"streaming", {}, {}},
        // 4 s after the first: no gap at all.
        {"teletext",
         [](Block& b) { b.in[2] = 4; },
         {"[502] Subtitle 2 (10:00:04:00): Gap of 0 frames, less than 1"}},
        {"streaming",
         [](Block& b) {
             b.in[2] = 4;
             b.in[3] = 1;
         },
         {"[502] Subtitle 2 (10:00:04:01): Gap of 1 frames, less than 2"}},
        // 16 visible characters for 1 s.
        {"teletext",
         [](Block& b) {
             b.out[2] = 6;
             b.text = StlFileBuilder::text(
                 "\x0D\x0B\x0B"
                 "Sixteen letters.");
         },
         {"[505] Subtitle 2 (10:00:05:00): 16 characters in 1.00 s: 16.00 characters per second, "
          "more than 15"}},
        {"teletext-children",
         [](Block& b) {
             b.out[2] = 6;
             b.text = StlFileBuilder::text(
                 "\x0D\x0B\x0B"
                 "Good nights.");
         },
         {"[505] Subtitle 2 (10:00:05:00): 12 characters in 1.00 s: 12.00 characters per second, "
          "more than 11"}},
        {"teletext",
         [](Block& b) { b.text = StlFileBuilder::text("\x0D\x0B\x0B\x05Magenta"); },
         {"[511] Subtitle 2 (10:00:05:00): Colour magenta is not allowed"}},
        {"streaming",
         [](Block& b) { b.out[2] = 14; },
         {"[504] Subtitle 2 (10:00:05:00): Duration of 9000 ms, more than 7000 ms"}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(std::string(c.profile) + " case " + std::to_string(i));
        const std::string file = teletextFile(std::to_string(i) + ".stl", c.fault);
        EXPECT_EQ(deliveryFindings(runProcess(VALIDATE, {"--profile", c.profile, file}).out),
                  c.expected);
        // Without a profile the stored settings apply: every delivery rule off.
        if (c.fault) {
            EXPECT_EQ(deliveryFindings(runProcess(VALIDATE, {file}).out),
                      std::vector<std::string>{});
        }
    }
}

TEST_F(ProfileOptionTest, EveryWorkerProcessUsesTheProfile) {
    std::vector<std::string> arguments = {"-j",  "2",         "--quiet", "--format",
                                          "csv", "--profile", "teletext"};
    for (int i = 0; i < 4; ++i) arguments.push_back(wideFile(std::to_string(i) + ".stl", 38));
    const ProcessResult run = runProcess(VALIDATE, arguments);
    ASSERT_EQ(run.exitStatus, 1) << run.err;  // 508 is an Error
    int wide = 0;
    for (const std::string& line : splitLines(run.out))
        wide += line.find("[507] Subtitle 2 (10:00:05:00): Row 1 has 38 characters") !=
                std::string::npos;
    EXPECT_EQ(wide, 4) << run.out;
}

TEST_F(ProfileOptionTest, AProfileFileAndAnUnknownName) {
    const std::string file = wideFile("wide.stl", 38);
    {
        std::ofstream profile(dir.file("mine.ini"));
        profile << "[profile]\nname = Mine\n[507]\nthreshold = 30\ntype = error\n";
    }
    const ProcessResult own = runProcess(VALIDATE, {"--profile", dir.file("mine.ini"), file});
    EXPECT_EQ(own.exitStatus, 1);
    EXPECT_EQ(deliveryFindings(own.out),
              std::vector<std::string>{
                  "[507] Subtitle 2 (10:00:05:00): Row 1 has 38 characters, more than 30"});

    for (const std::string& wrong : {std::string("nosuch"), dir.file("missing.ini")}) {
        const ProcessResult run = runProcess(VALIDATE, {"--profile", wrong, file});
        EXPECT_EQ(run.exitStatus, 2);
        EXPECT_EQ(run.out, "");
        // The plug-in's own line says why.
        EXPECT_TRUE(std::regex_match(run.err, std::regex("vyr: Error in TSievra.SelectProfile - "
                                                         "(no profile named|cannot read) .*\\.\n"
                                                         "lumtrace-validate: cannot use the "
                                                         "delivery profile '.*'\n")))
            << run.err;
    }
}

TEST_F(ProfileOptionTest, ListRulesShowsWhatTheRunWouldUse) {
    const ProcessResult stored = runProcess(VALIDATE, {"--list-rules"});
    ASSERT_EQ(stored.exitStatus, 0) << stored.err;
    const auto lines = splitLines(stored.out);
    ASSERT_EQ(lines.size(), 1u + 79 + 20);
    EXPECT_EQ(lines[0].substr(0, 2), "ID");
    EXPECT_TRUE(
        std::regex_match(lines[1], std::regex(R"(101 +off +Info +Start validation information)")))
        << lines[1];
    EXPECT_TRUE(std::regex_match(lines.back(), std::regex(R"(520 +off +Error +GSI - TNS.*)")));

    const ProcessResult streaming =
        runProcess(VALIDATE, {"--list-rules", "--profile", "streaming"});
    ASSERT_EQ(streaming.exitStatus, 0) << streaming.err;
    const std::string out = streaming.out;
    for (const char* expected :
         {R"(\n502 +on +Warning +2 frames +TTI - Minimum gap check\n)",
          R"(\n503 +on +Warning +833 ms +)", R"(\n504 +on +Warning +7000 ms +)",
          R"(\n505 +on +Warning +17 cps +)", R"(\n507 +on +Warning +42 characters +)",
          R"(\n508 +off +Error +TTI - Teletext row width)", R"(\n511 +off +Warning +white,)"})
        EXPECT_TRUE(std::regex_search(out, std::regex(expected))) << expected << "\n" << out;
}

TEST_F(ProfileOptionTest, TheSettingsStoreStaysByteIdentical) {
    const std::string file = wideFile("wide.stl", 38);
    // A first plain run lets the plug-in store what it stores on its first start.
    ASSERT_EQ(runProcess(VALIDATE, {file}).exitStatus, 0);
    const std::string before = readFile(storePath());
    ASSERT_FALSE(before.empty());
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--profile", "teletext", file},
          {"-j", "2", "--profile", "streaming", file, file},
          {"--list-rules", "--profile", "teletext-children"},
          {"--profile", "nosuch", file}})
        runProcess(VALIDATE, arguments);
    EXPECT_EQ(readFile(storePath()), before);
}

}  // namespace
}  // namespace clitest

namespace clitest {
namespace {

// Each format records the profile, the delivery rules on with their thresholds and the version;
// a run without a profile keeps its CSV plain.
TEST_F(ProfileOptionTest, EveryReportRecordsWhatWasChecked) {
    using nlohmann::json;
    const std::string file = wideFile("wide.stl", 38), profile = dir.file("mine.ini");
    {
        std::ofstream out(profile);
        out << "[profile]\nname = Mine\n[507]\nthreshold = 30\ntype = error\n";
    }
    auto run = [&](const char* format, bool withProfile = true) {
        std::vector<std::string> arguments = {"--format", format, file};
        if (withProfile) arguments.insert(arguments.begin(), {"--profile", profile});
        return runProcess(VALIDATE, arguments).out;
    };
    const json rule507 = {{"id", 507}, {"type", "Error"}, {"threshold", "30 characters"}};
    const json expectedChecks = {{"version", EXPECTED_VERSION},
                                 {"settings", json::array()},
                                 {"deliveryRules", json::array({rule507})}};
    const json item = json::parse(run("json"))[0];
    EXPECT_EQ(item["profile"], json({{"name", profile}, {"file", profile}}));
    EXPECT_EQ(item["checks"], expectedChecks);
    const json shipped = json::parse(
        runProcess(VALIDATE, {"--profile", "teletext", "--format", "json", file}).out)[0];
    EXPECT_EQ(shipped["profile"]["name"], "teletext");
    EXPECT_TRUE(shipped["profile"]["file"].get<std::string>().ends_with("/profiles/teletext.ini"))
        << shipped["profile"];
    const json sarif = json::parse(run("sarif"));
    EXPECT_EQ(sarif["runs"][0]["invocations"][0]["properties"]["checks"], expectedChecks);
    EXPECT_EQ(splitLines(run("csv"))[0], "# profile=" + profile + "; file=" + profile +
                                             "; version=" EXPECTED_VERSION
                                             "; rules=507 (30 characters)");
    const std::string junit = run("junit");
    EXPECT_NE(junit.find("<property name=\"rule.507\" value=\"Error, 30 characters\" />"),
              std::string::npos);

    EXPECT_EQ(splitLines(run("csv", false))[0].rfind("path,", 0), 0u);
    const json plain = json::parse(run("json", false))[0];
    EXPECT_TRUE(plain["profile"].is_null());
    EXPECT_EQ(plain["checks"]["version"], EXPECTED_VERSION);
}

}  // namespace
}  // namespace clitest

namespace clitest {
namespace {

std::string lineOf(const std::string& text, const std::string& start) {
    for (const std::string& line : splitLines(text))
        if (line.rfind(start, 0) == 0) return line;
    return {};
}

// --set switches a rule on with a threshold, over the saved settings or a profile, and is
// refused with the words a profile file would get.
TEST_F(ProfileOptionTest, SetGivesARuleItsThresholdForOneRun) {
    const struct {
        std::vector<std::string> arguments;
        const char* rule;      // the --list-rules line that starts so
        const char* expected;  // that line, or the message on stderr when the run is refused
    } cases[] = {
        {{"--set", "505=15.5"}, "505", "505  on      Warning  15.5 cps"},
        {{"--profile", "teletext", "--set", "504=9000"}, "504", "504  on      Warning  9000 ms"},
        {{"--profile", "teletext", "--set", "504=9000"}, "502", "502  on      Warning  1 frame"},
        {{"--set", "511=white, red"}, "511", "511  on      Warning  white,red"},
        {{"--set", "505=abc"},
         nullptr,
         "lumtrace-validate: --set 505=abc: bad threshold \"abc\" for rule 505: allowed is a "
         "number of characters per second, up to two decimals with a point, e.g. 15.5\n"},
        {{"--set", "508=3"},
         nullptr,
         "lumtrace-validate: --set 508=3: bad threshold \"3\" for rule 508: it has no "
         "threshold\n"},
        {{"--set", "599=3"}, nullptr, "lumtrace-validate: --set 599=3: unknown rule 599\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back("--list-rules");
        SCOPED_TRACE(arguments[1]);
        const ProcessResult run = runProcess(VALIDATE, arguments);
        if (c.rule) {
            EXPECT_EQ(run.exitStatus, 0);
            EXPECT_EQ(lineOf(run.out, c.rule).substr(0, std::string(c.expected).size()),
                      c.expected);
        } else {
            EXPECT_EQ(run.exitStatus, 2);
            EXPECT_EQ(run.err, c.expected);
        }
    }

    const std::string file = wideFile("wide.stl", 38);
    const std::string before = readFile(storePath());
    const ProcessResult run = runProcess(VALIDATE, {"--set", "507=30", "--format", "json", file});
    const nlohmann::json item = nlohmann::json::parse(run.out)[0];
    EXPECT_EQ(item["checks"]["settings"], nlohmann::json::array({"507=30"}));
    std::vector<std::string> delivery;
    for (const auto& finding : item["findings"])
        if (finding["id"] == 507) delivery.push_back(finding["message"]);
    EXPECT_EQ(delivery,
              std::vector<std::string>{
                  "[507] Subtitle 2 (10:00:05:00): Row 1 has 38 characters, more than 30"});
    EXPECT_EQ(readFile(storePath()), before);
}

}  // namespace
}  // namespace clitest

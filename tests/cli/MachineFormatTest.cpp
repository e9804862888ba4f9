// --format and --report: every input in each machine format, read back by real parsers.

#include <nlohmann/json.hpp>
#include <pugixml.hpp>

#include <filesystem>
#include <set>

#include "CliTestSupport.h"
#include "cli/MachineReport.h"

namespace clitest {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const std::string REFUSED = "not an EBU STL file (Invalid STL file Disk Format Code)";

class MachineFormatTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        setRuleType(438, 2);  // the vertical position finding becomes a Warning
        files = {cleanFile(), notStlFile(), errorFile()};
    }
    ProcessResult run(const std::string& format) {
        std::vector<std::string> arguments = {"--format", format};
        arguments.insert(arguments.end(), files.begin(), files.end());
        return runProcess(VALIDATE, arguments);
    }
    std::vector<std::string> files;
};

TEST_F(MachineFormatTest, JsonHasOneObjectPerInputInOrder) {
    const ProcessResult result = run("json");
    EXPECT_EQ(result.exitStatus, 2);
    const json all = json::parse(result.out);
    ASSERT_EQ(all.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(all[i]["path"], files[i]);
    EXPECT_EQ(all[1]["validated"], false);
    EXPECT_EQ(all[1]["reason"], REFUSED);
    EXPECT_EQ(all[1]["findings"].size(), 0u);
    for (const std::size_t i : {0u, 2u}) {
        const json& item = all[i];
        EXPECT_EQ(item["validated"], true);
        EXPECT_FALSE(item.contains("reason"));
        std::map<std::string, int> counted;
        for (const json& finding : item["findings"]) {
            const std::string message = finding["message"];
            EXPECT_EQ(finding["module"], "Sievra");
            EXPECT_EQ(message.rfind("[" + std::to_string(int(finding["id"])) + "] ", 0), 0u);
            ++counted[finding["type"]];
        }
        EXPECT_EQ(item["counts"]["info"], counted["Info"]);
        EXPECT_EQ(item["counts"]["warning"], counted["Warning"]);
        EXPECT_EQ(item["counts"]["error"], counted["Error"]);
        EXPECT_EQ(item["counts"]["other"], 0);
    }
    EXPECT_GE(all[2]["counts"]["warning"], 1);
}

TEST_F(MachineFormatTest, JunitHasASuitePerFileAndACasePerRule) {
    const ProcessResult result = run("junit");
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(result.out.c_str())) << result.out;
    const pugi::xml_node suites = document.child("testsuites");
    std::vector<pugi::xml_node> suite;
    for (pugi::xml_node s : suites.children("testsuite")) suite.push_back(s);
    ASSERT_EQ(suite.size(), 3u);
    EXPECT_EQ(suite[1].attribute("errors").as_int(), 1);
    EXPECT_EQ(std::string(suite[1].child("testcase").child("error").attribute("message").value()),
              "not validated: " + REFUSED);
    // The same rules are run on both validated files; 438 fired (as a Warning) on one only.
    auto caseOf = [](pugi::xml_node s, const char* rule) {
        return s.find_child_by_attribute("testcase", "name", rule);
    };
    EXPECT_EQ(suite[0].attribute("tests").as_int(), suite[2].attribute("tests").as_int());
    ASSERT_TRUE(caseOf(suite[0], "438"));
    EXPECT_FALSE(caseOf(suite[0], "438").child("system-out"));
    EXPECT_NE(std::string(caseOf(suite[2], "438").child("system-out").text().get())
                  .find("Warning: [438] "),
              std::string::npos);
    EXPECT_FALSE(caseOf(suite[2], "438").child("failure"));
    EXPECT_EQ(suites.attribute("tests").as_int(), suite[0].attribute("tests").as_int() * 2 + 1);
}

TEST_F(MachineFormatTest, SarifMapsTypesToLevelsAndNamesTheFile) {
    setRuleType(438, 3);
    const ProcessResult result = run("sarif");
    const json sarif = json::parse(result.out);
    EXPECT_EQ(sarif["version"], "2.1.0");
    const json& runJson = sarif["runs"][0];
    const json& rules = runJson["tool"]["driver"]["rules"];
    std::set<std::string> levels;
    for (const json& finding : runJson["results"]) {
        EXPECT_EQ(rules[int(finding["ruleIndex"])]["id"], finding["ruleId"]);
        levels.insert(finding["level"]);
        const std::string uri =
            finding["locations"][0]["physicalLocation"]["artifactLocation"]["uri"];
        EXPECT_TRUE(uri == "file://" + files[0] || uri == "file://" + files[2]) << uri;
    }
    EXPECT_EQ(levels, (std::set<std::string>{"error", "note"}));
    const json& notice = runJson["invocations"][0]["toolExecutionNotifications"][0];
    EXPECT_EQ(notice["message"]["text"], "not validated: " + REFUSED);
    EXPECT_EQ(notice["locations"][0]["physicalLocation"]["artifactLocation"]["uri"],
              "file://" + files[1]);
}

TEST_F(MachineFormatTest, CsvHasARowPerFindingAndPerFileWithout) {
    const json all = json::parse(run("json").out);
    const std::vector<std::string> lines = splitLines(run("csv").out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0],
              "path,validated,reason,module,id,type,message,block,subtitleNumber,timeCodeIn,"
              "timeCodeOut");
    EXPECT_EQ(lines.size(), 1 + all[0]["findings"].size() + 1 + all[2]["findings"].size());
    EXPECT_NE(std::find(lines.begin(), lines.end(), files[1] + ",false," + REFUSED + ",,,,,,,,"),
              lines.end());
}

// Megabytes of findings reach the output in pieces; none may be lost or cut at a seam.
TEST_F(MachineFormatTest, LongReportsArriveWhole) {
    testsupport::StlFileBuilder builder;
    const int blocks = 6000;
    for (int i = 0; i < blocks; ++i) {
        testsupport::StlFileBuilder::Block block;
        block.number = static_cast<std::uint16_t>(i + 1);
        block.vertical = 120;
        block.in[2] = static_cast<std::uint8_t>(i / 25 % 60);
        block.in[3] = static_cast<std::uint8_t>(i % 25);
        block.out[0] = 1;
        builder.addBlock(block);
    }
    files = {builder.announce(blocks).writeTo(dir.file("long.stl"))};
    auto count438 = [](const json& findings, const char* key) {
        return std::count_if(findings.begin(), findings.end(),
                             [key](const json& f) { return f[key] == "438"; });
    };
    const std::string jsonText = run("json").out;
    ASSERT_GT(jsonText.size(), std::size_t(1) << 20);
    const json all = json::parse(jsonText);
    EXPECT_EQ(std::count_if(all[0]["findings"].begin(), all[0]["findings"].end(),
                            [](const json& f) { return f["id"] == 438; }),
              blocks);
    EXPECT_EQ(count438(json::parse(run("sarif").out)["runs"][0]["results"], "ruleId"), blocks);
    const std::vector<std::string> lines = splitLines(run("csv").out);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.find(",438,") != l.npos; }),
              blocks);
}

TEST_F(MachineFormatTest, ReportFilesPerInputInEachFormat) {
    const std::string folder = dir.file("reports");
    const ProcessResult result =
        runProcess(VALIDATE, {"-q", "--report", "json:" + folder, "--report", "junit:" + folder,
                              "--xml", folder, files[0], files[1]});
    EXPECT_EQ(result.exitStatus, 2);
    const json refused = json::parse(readFile(folder + "/notes.json"));
    EXPECT_EQ(refused[0]["validated"], false);
    EXPECT_EQ(json::parse(readFile(folder + "/clean.json"))[0]["validated"], true);
    pugi::xml_document junit;
    EXPECT_TRUE(junit.load_file((folder + "/notes.junit.xml").c_str()));
    // The window's XML layout has no place for a file that was not validated.
    EXPECT_TRUE(fs::exists(folder + "/clean.xml"));
    EXPECT_FALSE(fs::exists(folder + "/notes.xml"));

    const std::string one = dir.file("one.sarif");
    EXPECT_EQ(runProcess(VALIDATE, {"--report", "sarif:" + one, files[2]}).exitStatus, 0);
    EXPECT_EQ(json::parse(readFile(one))["version"], "2.1.0");
}

// The reports call failures what --fail-on fails the run on: the finding of rule 438 in each case.
TEST_F(MachineFormatTest, ReportsCountWhatFailOnCounts) {
    const struct {
        std::uint32_t type;  // of rule 438
        const char* failOn;  // nullptr: the option left out
        int exitStatus;
        const char* junitFailure;  // type of the failure of case 438, nullptr: none
        const char* sarifLevel;
        const char* sarifType;  // the finding's own type kept beside a changed level
    } cases[] = {
        {2, nullptr, 0, nullptr, "warning", nullptr},
        {2, "warning", 1, "Warning", "error", "Warning"},
        {3, "warning", 1, "Error", "error", nullptr},
        {3, "never", 0, nullptr, "warning", "Error"},
        {1, "warning", 0, nullptr, "note", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + (c.failOn ? c.failOn : "-"));
        setRuleType(438, c.type);
        const std::string sarifPath = dir.file("438.sarif");
        std::vector<std::string> arguments = {"--format", "junit", "--report",
                                              "sarif:" + sarifPath};
        if (c.failOn) arguments.insert(arguments.end(), {"--fail-on", c.failOn});
        arguments.push_back(files[2]);
        const ProcessResult result = runProcess(VALIDATE, arguments);
        EXPECT_EQ(result.exitStatus, c.exitStatus);

        pugi::xml_document junit;
        ASSERT_TRUE(junit.load_string(result.out.c_str())) << result.out;
        const pugi::xml_node suites = junit.child("testsuites");
        const pugi::xml_node failure = suites.child("testsuite")
                                           .find_child_by_attribute("testcase", "name", "438")
                                           .child("failure");
        EXPECT_EQ(suites.attribute("failures").as_int(), c.junitFailure ? 1 : 0);
        EXPECT_EQ(std::string(failure.attribute("type").value()),
                  c.junitFailure ? c.junitFailure : "");

        const json sarif = json::parse(readFile(sarifPath));
        const json& results = sarif["runs"][0]["results"];
        const auto finding = std::find_if(results.begin(), results.end(),
                                          [](const json& r) { return r["ruleId"] == "438"; });
        ASSERT_NE(finding, results.end());
        EXPECT_EQ((*finding)["level"], c.sarifLevel);
        EXPECT_EQ(finding->contains("properties") ? std::string((*finding)["properties"]["type"])
                                                  : std::string(),
                  c.sarifType ? c.sarifType : "");
        // Every file was validated: the tool itself ran successfully.
        EXPECT_EQ(sarif["runs"][0]["invocations"][0]["executionSuccessful"], true);
    }
}

TEST(RuleIdTest, NumberInBracketsAtTheStart) {
    const std::pair<const char*, int> cases[] = {
        {"[425] TTI # 3", 425}, {"[101] Start", 101}, {"no id", 0},
        {"[42x] odd", 0},       {"[] empty", 0},      {"text [425]", 0},
    };
    for (const auto& [message, id] : cases) EXPECT_EQ(cli::ruleId(message), id) << message;
}

}  // namespace
}  // namespace clitest

// The validation report file: its exact layout, what the text inside it may contain, and how it
// is written (never over an existing file unless asked, never half a file).

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "host/PluginHost.h"
#include "host/ValidationReportXml.h"
#include "tests/support/TestEnvironment.h"
#include "validation_fixtures.h"

namespace validationtest {
namespace {

using validationhost::buildReportXml;

TEST(ValidationReportXml, OneFindingGivesTheExactFifteenLines) {
    const std::string xml = buildReportXml("/subs/film.stl", {{7, 2, "[409] TTI # 3 - odd"}});
    EXPECT_EQ(xml,
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
              "<MEDIA_VALIDATION_REPORT>\r\n"
              "  <MEDIA_VALIDATION_REPORT_HEADER_SECTION>\r\n"
              "    <FILE_NAME>/subs/film.stl</FILE_NAME>\r\n"
              "    <LIST_ITEMS_COUNT>1</LIST_ITEMS_COUNT>\r\n"
              "    <MODULE_NAME>Sievra</MODULE_NAME>\r\n"
              "  </MEDIA_VALIDATION_REPORT_HEADER_SECTION>\r\n"
              "  <REPORT_SECTION>\r\n"
              "  <REPORT INDEX=\"0\">\r\n"
              "    <MODULE_ID>7</MODULE_ID>\r\n"
              "    <REPORT_TYPE>Warning</REPORT_TYPE>\r\n"
              "    <REPORT_MESSAGE>[409] TTI # 3 - odd</REPORT_MESSAGE>\r\n"
              "  </REPORT>\r\n"
              "  </REPORT_SECTION>\r\n"
              "</MEDIA_VALIDATION_REPORT>\r\n");
}

class ReportSizes : public ::testing::TestWithParam<int> {};

TEST_P(ReportSizes, LineCountIndexAndContentReadBack) {
    const int n = GetParam();
    std::vector<CustomReport> reports;
    for (int i = 0; i < n; ++i)
        reports.push_back({i % 3 == 0 ? 0 : 7, i % 5, "finding " + std::to_string(i)});
    const std::string xml = buildReportXml("/subs/a&b.stl", reports);

    bool wellEnded = false;
    const std::vector<std::string> lines = crLfLines(xml, &wellEnded);
    EXPECT_TRUE(wellEnded);
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(8 + 5 * n + 2));
    EXPECT_NE(xml.substr(0, 5), "\xEF\xBB\xBF<?");

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(xml.c_str())) << xml;
    const pugi::xml_node root = doc.child("MEDIA_VALIDATION_REPORT");
    const pugi::xml_node header = root.child("MEDIA_VALIDATION_REPORT_HEADER_SECTION");
    EXPECT_STREQ(header.child_value("FILE_NAME"), "/subs/a&b.stl");
    EXPECT_EQ(header.child("LIST_ITEMS_COUNT").text().as_int(-1), n);
    // The first finding's module, whatever modules follow.
    EXPECT_STREQ(header.child_value("MODULE_NAME"), n == 0 ? "" : "None");
    int index = 0;
    for (const pugi::xml_node report : root.child("REPORT_SECTION").children("REPORT")) {
        ASSERT_LT(index, n);
        EXPECT_EQ(report.attribute("INDEX").as_int(-1), index);
        EXPECT_EQ(report.child("MODULE_ID").text().as_int(-1), reports[index].module);
        EXPECT_STREQ(report.child_value("REPORT_TYPE"), reportTypeName(reports[index].reportType));
        EXPECT_EQ(report.child_value("REPORT_MESSAGE"), reports[index].reportMessage);
        ++index;
    }
    EXPECT_EQ(index, n);
}

INSTANTIATE_TEST_SUITE_P(ValidationReportXml, ReportSizes, ::testing::Values(0, 1, 2, 40));

TEST(ValidationReportXml, ModulesAndTypesAreWrittenAsNumbersAndNames) {
    const std::string xml =
        buildReportXml("f.stl", {{99, 4, "a"}, {-3, -1, "b"}, {7, 0, "c"}, {101, 3, "d"}});
    bool wellEnded = false;
    const std::vector<std::string> lines = crLfLines(xml, &wellEnded);
    ASSERT_EQ(lines.size(), 30u);
    EXPECT_EQ(lines[5], "    <MODULE_NAME>Host</MODULE_NAME>");
    EXPECT_EQ(lines[9], "    <MODULE_ID>99</MODULE_ID>");
    EXPECT_EQ(lines[10], "    <REPORT_TYPE>Unknown</REPORT_TYPE>");
    EXPECT_EQ(lines[13], "  <REPORT INDEX=\"1\">");
    EXPECT_EQ(lines[14], "    <MODULE_ID>-3</MODULE_ID>");
    EXPECT_EQ(lines[15], "    <REPORT_TYPE>Unknown</REPORT_TYPE>");
    EXPECT_EQ(lines[20], "    <REPORT_TYPE>None</REPORT_TYPE>");
    EXPECT_EQ(lines[25], "    <REPORT_TYPE>Error</REPORT_TYPE>");
}

TEST(ValidationReportXml, TextIsEscapedAndControlCharactersReplaced) {
    const std::string message = "a & b <i>x</i> \"q\" 'y'\t\x01\x1F\x7F end";
    const std::string xml = buildReportXml("/s/<&>.stl", {{7, 1, message}});
    bool wellEnded = false;
    const std::vector<std::string> lines = crLfLines(xml, &wellEnded);
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[3], "    <FILE_NAME>/s/&lt;&amp;&gt;.stl</FILE_NAME>");
    // Only the three entity references; quotes, tab and DEL stay as they are.
    EXPECT_EQ(
        lines[11],
        "    <REPORT_MESSAGE>a &amp; b &lt;i&gt;x&lt;/i&gt; \"q\" 'y'\t\xEF\xBF\xBD\xEF\xBF\xBD"
        "\x7F end</REPORT_MESSAGE>");
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(xml.c_str()));
    EXPECT_STREQ(doc.select_node("//REPORT_MESSAGE").node().child_value(),
                 "a & b <i>x</i> \"q\" 'y'\t\xEF\xBF\xBD\xEF\xBF\xBD\x7F end");
}

TEST(ValidationReportXml, EightBitTextIsReadWithTheAnsiCodePage) {
    // The tests run with LC_ALL=C, whose ANSI code page is 1252: 0xE9 is e acute.
    EXPECT_EQ(validationhost::xmlText("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(validationhost::xmlText("caf\xC3\xA9"), "caf\xC3\xA9");
}

class ReportFileTest : public ::testing::Test {
protected:
    ReportFileTest() {
        host.Report(7, 1, "[102] Loading File: x.stl");
        host.Report(7, 3, "[438] TTI # 2 - vertical position");
    }
    testsupport::TempDir dir;
    testsupport::DebugCapture debug;
    PluginHost host{"TMediaValidationForm"};
};

TEST_F(ReportFileTest, SavesToANewFileAndLeavesTheFindingsAsTheyWere) {
    const std::string path = dir.file("report.xml");
    EXPECT_EQ(host.saveReportXml(path), S_OK);
    EXPECT_EQ(readFile(path), buildReportXml("", host.reports()));
    EXPECT_EQ(host.reportCount(), 2u);
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"report.xml"});
}

TEST_F(ReportFileTest, NeverOverwritesWithoutBeingAskedAndReplacesWhenAsked) {
    const std::string path = dir.file("report.xml");
    std::ofstream(path) << "old";
    EXPECT_EQ(host.saveReportXml(path), E_FAIL);
    EXPECT_EQ(readFile(path), "old");
    EXPECT_TRUE(debug.contains(
        "vyr: Error in TMediaValidationForm.SaveReportXML - XML file already exists."));

    EXPECT_EQ(host.saveReport(path, /*ReplaceExisting*/ true), ReportSaveResult::Saved);
    EXPECT_EQ(readFile(path), buildReportXml("", host.reports()));
    EXPECT_EQ(folderEntries(dir.path()).size(), 1u);
}

TEST_F(ReportFileTest, NoFindingsWritesNothing) {
    host.clearReports();
    EXPECT_EQ(host.saveReportXml(dir.file("report.xml")), E_FAIL);
    EXPECT_TRUE(folderEntries(dir.path()).empty());
    EXPECT_TRUE(debug.lines().empty());
}

TEST_F(ReportFileTest, FailedWriteLeavesNothingBehindAndKeepsAnOldReport) {
    const std::string fresh = dir.file("new.xml");
    const std::string old = dir.file("old.xml");
    std::ofstream(old) << "old";
    {
        UnwritableFolder locked(dir.path());
        EXPECT_EQ(host.saveReportXml(fresh), E_FAIL);
        EXPECT_EQ(host.saveReport(old, true), ReportSaveResult::WriteFailed);
    }
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"old.xml"});
    EXPECT_EQ(readFile(old), "old");
    EXPECT_TRUE(debug.contains("vyr: Error in TMediaValidationForm.SaveReportXML call..."));
}

TEST_F(ReportFileTest, ADirectoryInTheWayIsNotReplaced) {
    const std::string path = dir.file("taken.xml");
    std::filesystem::create_directory(path);
    EXPECT_EQ(host.saveReport(path, true), ReportSaveResult::NotRegularFile);
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(folderEntries(dir.path()).size(), 1u);
    EXPECT_TRUE(
        debug.contains("vyr: Error in TMediaValidationForm.SaveReportXML - not a regular file."));
}

}  // namespace
}  // namespace validationtest

#include <gtest/gtest.h>

#include "cli/FindingsTable.h"

namespace cli {
namespace {

TEST(OutputFormatTest, TableColumnsFollowTheWidestEntry) {
    std::vector<CustomReport> reports = {
        {7, 1, "[102] Loading File: a.stl"},
        {0, 2, "[402] second"},
        {7, 9, "odd type"},
    };
    for (int i = 0; i < 7; ++i) reports.push_back({7, 3, "[438] row " + std::to_string(i)});
    const std::string table = formatFindingsTable(reports);
    EXPECT_EQ(table.substr(0, table.find("[438] row 1")),
              " #  Module  Type     Message\n"
              " 1  Sievra  Info     [102] Loading File: a.stl\n"
              " 2  None    Warning  [402] second\n"
              " 3  Sievra  Unknown  odd type\n"
              " 4  Sievra  Error    [438] row 0\n"
              " 5  Sievra  Error    ");
    EXPECT_NE(table.find("\n10  Sievra  Error    [438] row 6\n"), std::string::npos);
    EXPECT_EQ(formatFindingsTable({}), "#  Module  Type  Message\n");
}

TEST(OutputFormatTest, SummaryCountsEveryType) {
    const std::vector<CustomReport> reports = {{7, 3, "a"}, {7, 2, "b"}, {7, 2, "c"},
                                               {7, 1, "d"}, {7, 0, "e"}, {7, -1, "f"}};
    EXPECT_EQ(formatSummary("x.stl", countFindings(reports)),
              "x.stl: 6 findings (1 error, 2 warnings, 1 info, 2 other)");
    EXPECT_EQ(formatSummary("x.stl", countFindings({{7, 1, "d"}})),
              "x.stl: 1 finding (0 errors, 0 warnings, 1 info)");
}

TEST(OutputFormatTest, TextFromFilesIsMadeSafeForTheTerminal) {
    EXPECT_EQ(terminalText("caf\xC3\xA9 \xE2\x82\xAC"), "caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(terminalText("a\x1B[31mb\r\n\t\x7F"), "a\\x1B[31mb\\x0D\\x0A\\x09\\x7F");
    // C1 controls, written as UTF-8.
    EXPECT_EQ(terminalText("\xC2\x9B"
                           "1J"),
              "\\u009B1J");
    // Text that is not UTF-8 is read in the ANSI code page (1252 here) and escaped all the same.
    EXPECT_EQ(terminalText("\x1B[1m\xE9"), "\\x1B[1m\xC3\xA9");
    // A finding's message with a line break still makes one table row.
    const std::string table = formatFindingsTable({{7, 1, "two\nlines"}});
    EXPECT_EQ(table, "#  Module  Type  Message\n1  Sievra  Info  two\\x0Alines\n");
}

}  // namespace
}  // namespace cli

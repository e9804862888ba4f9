// --format html and --report html: one page that parses, names every input, loads nothing from
// outside, draws a colour finding's subtitle in colour and counts findings per rule as the JSON
// does; long rules are cut short, and subtitles are drawn cell by cell.

#include <nlohmann/json.hpp>
#include <pugixml.hpp>

#include <filesystem>
#include <map>
#include <regex>

#include "CliTestSupport.h"
#include "html/SubtitleDrawing.h"
#include "report/HtmlReport.h"
#include "subtitle/TextRows.h"

namespace clitest {
namespace {

using nlohmann::json;
using testsupport::StlFileBuilder;

// Text of every node Query selects, in document order.
std::vector<std::string> texts(const pugi::xml_node& root, const std::string& query) {
    std::vector<std::string> found;
    for (const pugi::xpath_node& node : root.select_nodes(query.c_str()))
        found.push_back(node.node() ? node.node().text().get() : node.attribute().value());
    return found;
}

std::string withClass(const std::string& name) {
    return "[contains(concat(' ', @class, ' '), ' " + name + " ')]";
}

// The page must parse as XML too: a reader that is not a browser can check it.
::testing::AssertionResult parses(const std::string& html, pugi::xml_document& document) {
    if (html.rfind("<!DOCTYPE html>\n", 0) != 0)
        return ::testing::AssertionFailure() << "no doctype: " << html.substr(0, 40);
    const pugi::xml_parse_result result = document.load_string(html.c_str());
    if (!result)
        return ::testing::AssertionFailure()
               << result.description() << " at " << html.substr(result.offset, 80);
    return ::testing::AssertionSuccess();
}

class HtmlReportTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        // Red and white text in a box on one row, half a second on screen: a colour finding and
        // a duration finding under the teletext profile.
        StlFileBuilder::Block block;
        block.number = 1;
        block.in[0] = block.out[0] = 10;
        block.out[2] = 0;
        block.out[3] = 12;
        block.text = StlFileBuilder::text("\x0B\x0B\x01Red\x07White\x0A\x0A");
        const std::string colour = StlFileBuilder()
                                       .gsi(gsi::originalProgrammeTitle, "A<B & C")
                                       .gsi(gsi::totalNumberOfSubtitles, "00001")
                                       .addBlock(block)
                                       .announce(1)
                                       .writeTo(dir.file("colour.stl"));
        files = {cleanFile(), notStlFile(), colour};
    }
    ProcessResult run(const std::string& format, std::vector<std::string> extra = {}) {
        std::vector<std::string> arguments = {"--profile", "teletext", "--format", format};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        arguments.insert(arguments.end(), files.begin(), files.end());
        return runProcess(VALIDATE, arguments);
    }
    std::vector<std::string> files;
};

TEST_F(HtmlReportTest, PageParsesNamesEveryFileAndFetchesNothing) {
    const ProcessResult result = run("html");
    EXPECT_EQ(result.exitStatus, 2) << result.err;  // notes.txt is not validated
    pugi::xml_document page;
    ASSERT_TRUE(parses(result.out, page));
    EXPECT_TRUE(page.select_node("/html/head/meta[@charset='utf-8']"));
    for (const char* element : {"script", "link", "img", "iframe", "object", "embed"})
        EXPECT_FALSE(page.select_node(("//" + std::string(element)).c_str())) << element;
    EXPECT_TRUE(page.select_nodes("//@src").empty());
    for (const std::string& href : texts(page, "//@href")) {
        ASSERT_EQ(href.rfind('#', 0), 0u) << href;
        EXPECT_TRUE(page.select_node(("//*[@id='" + href.substr(1) + "']").c_str())) << href;
    }
    const std::string style = page.select_node("//style").node().text().get();
    for (const char* outside : {"url(", "@import", "http:", "https:"}) {
        EXPECT_EQ(style.find(outside), std::string::npos) << outside;
        EXPECT_EQ(result.out.find(outside), std::string::npos) << outside;
    }

    const std::vector<std::string> headings = texts(page, "//section/h2");
    ASSERT_EQ(headings.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(headings[i], std::to_string(i + 1) + ". " + files[i]);
    EXPECT_EQ(texts(page, "//section[@id='f2']/p" + withClass("bad")),
              std::vector<std::string>{
                  "Not validated: not an EBU STL file (Invalid STL file Disk Format Code)"});
    // The title is text, not markup, however it reads.
    EXPECT_EQ(texts(page, "//section[@id='f3']/table" + withClass("gsi") + "//td[1]"),
              std::vector<std::string>{"A<B & C"});
    EXPECT_EQ(texts(page, "//table" + withClass("meta") + "//tr[th='Profile']/td"),
              std::vector<std::string>{"teletext"});
}

TEST_F(HtmlReportTest, ColourFindingDrawsItsSubtitleInColour) {
    pugi::xml_document page;
    ASSERT_TRUE(parses(run("html").out, page));
    const std::string drawing =
        "//details[@id='f3-r511']//div" + withClass("scr") + "//span" + withClass("rn");
    EXPECT_EQ(texts(page, drawing), std::vector<std::string>{"20"});
    const std::string cells = "//details[@id='f3-r511']//div" + withClass("scr") + "//span";
    // A spacing attribute is a space in the ink before it.
    EXPECT_EQ(texts(page, cells + withClass("f1") + withClass("b0")),
              std::vector<std::string>{"Red "});
    EXPECT_EQ(texts(page, cells + withClass("f7") + withClass("b0") + "[normalize-space()]"),
              std::vector<std::string>{"White "});
    // Not a layout rule: the text as read, not a drawing.
    EXPECT_EQ(texts(page, "//details[@id='f3-r503']//td[@class='tx']"),
              std::vector<std::string>{"Red White"});
    EXPECT_FALSE(page.select_node(("//details[@id='f3-r503']//div" + withClass("scr")).c_str()));
}

TEST_F(HtmlReportTest, CountsPerRuleAreThoseOfTheJson) {
    const json all = json::parse(run("json").out);
    pugi::xml_document page;
    ASSERT_TRUE(parses(run("html").out, page));
    for (const std::size_t f : {0u, 2u}) {
        SCOPED_TRACE(files[f]);
        std::map<int, int> problems;
        int others = 0;
        for (const json& finding : all[f]["findings"]) {
            const bool problem = finding["type"] == "Error" || finding["type"] == "Warning";
            (problem ? problems[finding["id"]] : others) += 1;
        }
        const std::string table =
            "//section[@id='f" + std::to_string(f + 1) + "']/table" + withClass("rules");
        std::map<int, int> shown;
        int shownOthers = 0;
        for (const pugi::xpath_node& row : page.select_nodes((table + "/tr[td]").c_str())) {
            const int count = row.node().select_node("td[4]").node().text().as_int(-1);
            // The rules of information share one row, which names no rule.
            if (const int rule = row.node().select_node("td[1]/a").node().text().as_int())
                shown[rule] = count;
            else
                shownOthers = count;
        }
        EXPECT_EQ(shown, problems);
        EXPECT_EQ(shownOthers, others);
    }
}

TEST_F(HtmlReportTest, ReportFilesAndWorkersGiveTheSamePages) {
    // The date is the only line that may differ between two runs.
    const auto undated = [](const std::string& html) {
        return std::regex_replace(html, std::regex("<tr><th>Date</th><td>[^<]*</td></tr>"), "");
    };
    EXPECT_EQ(undated(run("html", {"-j", "2"}).out), undated(run("html", {"-j", "1"}).out));

    const std::string folder = dir.file("reports");
    runProcess(VALIDATE, {"-q", "--profile", "teletext", "--report", "html:" + folder, "-j", "2",
                          files[0], files[2]});
    for (const char* name : {"clean.html", "colour.html"}) {
        pugi::xml_document page;
        EXPECT_TRUE(parses(readFile(folder + "/" + name), page)) << name;
        EXPECT_EQ(page.select_nodes("//section").size(), 1u) << name;
    }
    const std::string one = readFile(folder + "/colour.html");
    EXPECT_EQ(undated(one).find("f3-r511"), std::string::npos);
    EXPECT_NE(undated(one).find("f1-r511"), std::string::npos);
}

// In-process: a rule with many findings shows some whole, lists more by subtitle, counts the rest.
TEST(HtmlReportLimits, ManyFindingsOfARuleAreCutShort) {
    struct Case {
        std::size_t findings, shown, listed;
        std::size_t rows, listedItems;
        std::string left;  // empty: nothing left out
    } cases[] = {
        {3, 5, 5, 3, 0, ""},
        {4, 2, 2, 2, 2, ""},
        {5, 2, 2, 2, 2, "1 more finding of this rule left out."},
        {1200, 200, 1000, 200, 1000, ""},
        {1500, 200, 1000, 200, 1000, "300 more findings of this rule left out."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.findings);
        std::vector<CustomReport> reports;
        std::vector<validationhost::FindingPlace> places;
        for (std::size_t i = 0; i < c.findings; ++i) {
            reports.push_back({7, 2, "[502] Gap"});
            validationhost::FindingPlace place;
            place.block = static_cast<std::int32_t>(i);
            place.subtitleNumber = static_cast<std::int32_t>(i + 1);
            place.in = {10, 0, 1, 5};
            places.push_back(place);
        }
        report::HtmlOptions options;
        options.shownPerRule = c.shown;
        options.listedPerRule = c.listed;
        const std::string html = report::htmlReport(
            {}, {{"f.stl", "/nowhere/f.stl", true, {}, &reports, &places}}, options);
        pugi::xml_document page;
        ASSERT_TRUE(parses(html, page));
        EXPECT_EQ(page.select_nodes("//details[@id='f1-r502']//table/tr[td]").size(), c.rows);
        const std::string listed = page.select_node("//p[@class='more']").node().text().get();
        EXPECT_EQ(static_cast<std::size_t>(std::count(listed.begin(), listed.end(), '(')),
                  c.listedItems);
        if (c.listedItems) {
            EXPECT_EQ(listed.substr(0, listed.find(',')),
                      std::to_string(c.shown + 1) + " (10:00:01:05)");
        }
        EXPECT_EQ(html.find("left out") != std::string::npos, !c.left.empty());
        if (!c.left.empty()) {
            EXPECT_NE(html.find(c.left), std::string::npos);
        }
    }
}

// Subtitle text bytes drawn as the page shows them.
TEST(SubtitleDrawing, CellsCarryColourBoxSizeAndPlace) {
    struct Case {
        const char* name;
        std::string text;
        bool teletext;
        std::vector<std::string> present, absent;
    } cases[] = {
        {"boxed colours",
         "\x0B\x0B\x01Red\x04\x1D"
         "Blue",
         true,
         {"<span class=\"rn\">20</span>", "<span class=\"f1 b0\">Red </span>",
          "<span class=\"f4 b4\">Blue</span>"},
         {"nb"}},
        {"outside a box", "\x01Red", true, {"<span class=\"f1 nb\">Red</span>"}, {"b0\">Red"}},
        {"double height",
         "\x0D\x0B\x0BTall\x8A\x8A\x0B\x0BLow",
         true,
         {"<div class=\"ln dh\"><span class=\"rn\">20</span>", " d\"> Tall",
          "<div class=\"ln\"><span class=\"rn\">22</span>"},
         {"gap"}},
        {"empty rows between",
         "\x0B\x0B"
         "A\x8A\x8A\x8A\x0B\x0B"
         "B",
         true,
         {"<div class=\"gap\">rows 21-22 empty</div><div class=\"ln\"><span "
          "class=\"rn\">23</span>"},
         {}},
        {"beyond column 40", std::string(44, 'x'), true, {" o\">xxxx</span>"}, {}},
        {"markup in text",
         "\x0B\x0B"
         "a<b&c",
         true,
         {"a&lt;b&amp;c"},
         {"a<b"}},
        {"open italics and underline",
         "Plain \x80Slanted\x81\x82Under\x83",
         false,
         {"<span class=\"os c\">", " i\">Slanted</span>", " u\"> Under</span>"},
         {"<span class=\"cs\">"}},
    };
    const subtitle::CharacterDecoder decoder(subtitle::latinCodePage);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        subtitle::TextSettings settings;
        settings.teletext = c.teletext;
        const auto rows = subtitle::textRows(c.text, decoder, settings, {20, 2});
        std::string out;
        html::appendDrawing(out, rows, c.teletext);
        pugi::xml_document fragment;
        EXPECT_TRUE(fragment.load_string(out.c_str())) << out;
        for (const std::string& part : c.present)
            EXPECT_NE(out.find(part), std::string::npos) << out;
        for (const std::string& part : c.absent)
            EXPECT_EQ(out.find(part), std::string::npos) << out;
    }
}

}  // namespace
}  // namespace clitest

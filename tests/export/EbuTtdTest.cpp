// EBU-TT-D export: what the document says (paragraphs, styles, regions, times) and that the
// schema accepts it, for fixtures and, when present, the shared corpus.

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "ExportTestSupport.h"
#include "export/LanguageTag.h"
#include "export/SubtitleExport.h"
#include "tests/cli/ProcessRunner.h"
#include "tests/support/TestEnvironment.h"

namespace {

namespace fs = std::filesystem;
using exporttest::Block;
using exporttest::bytes;

const std::string SCHEMA_DIR = LUMTRACE_EBUTTD_SCHEMA_DIR;
const std::string XMLLINT = LUMTRACE_XMLLINT;

Block block(std::uint8_t second, std::string_view text, std::uint8_t vertical = 20,
            std::uint8_t justification = 2) {
    Block b;
    b.in[2] = second;
    b.out[2] = static_cast<std::uint8_t>(second + 1);
    b.vertical = vertical;
    b.justification = justification;
    b.text = bytes(text);
    return b;
}

// Each paragraph as "begin-end region [styles] text", spans as {styles:text}.
std::vector<std::string> paragraphs(const pugi::xml_document& doc) {
    std::vector<std::string> out;
    for (const pugi::xpath_node& found : doc.select_nodes("//p")) {
        const pugi::xml_node p = found.node();
        std::string line = std::string(p.attribute("begin").value()) + "-" +
                           p.attribute("end").value() + " " + p.attribute("region").value() + " [" +
                           p.attribute("style").value() + "] ";
        for (const pugi::xml_node child : p.children()) {
            if (child.type() == pugi::node_pcdata)
                line += child.value();
            else if (std::string(child.name()) == "span")
                line += std::string("{") + child.attribute("style").value() + ":" +
                        child.text().get() + "}";
            else
                line += std::string("<") + child.name() + ">" + child.child_value("ttm:desc");
        }
        out.push_back(line);
    }
    return out;
}

// The declared style or region with this id, as "name=value" pairs.
std::string declared(const pugi::xml_document& doc, const std::string& id) {
    const pugi::xml_node node =
        doc.find_node([&](pugi::xml_node n) { return id == n.attribute("xml:id").value(); });
    std::string out;
    for (const pugi::xml_attribute a : node.attributes())
        if (std::string(a.name()) != "xml:id")
            out += (out.empty() ? "" : " ") + std::string(a.name()) + "=" + a.value();
    return out;
}

// Empty when the schema accepts the file; else what xmllint said. Skips the calling test when
// the schema or xmllint is not there.
#define EXPECT_SCHEMA_VALID(path)                                                             \
    do {                                                                                      \
        if (!fs::exists(SCHEMA_DIR + "/ebutt_d.xsd"))                                         \
            GTEST_SKIP() << "EBU-TT-D schema folder " << SCHEMA_DIR                           \
                         << " not found: schema validation skipped";                          \
        if (XMLLINT.empty()) GTEST_SKIP() << "xmllint not found (scripts/setup installs it)"; \
        const auto lint = clitest::runProcess(                                                \
            XMLLINT, {"--noout", "--schema", SCHEMA_DIR + "/ebutt_d.xsd", path});             \
        EXPECT_EQ(lint.exitStatus, 0) << path << ": " << lint.err;                            \
    } while (0)

class EbuTtdTest : public ::testing::Test {
protected:
    // Exports blocks written as a file with display standard Dsc and language code Language.
    ExportResult exportBlocks(const std::vector<Block>& blocks, char dsc,
                              const std::string& language, const std::string& maximumRows = "23",
                              bool comments = false) {
        testsupport::StlFileBuilder builder;
        builder.gsi(gsi::displayStandardCode, std::string(1, dsc))
            .gsi(gsi::languageCode, language)
            .gsi(gsi::maximumNumberOfDisplayableRows, maximumRows);
        for (const Block& b : blocks) builder.addBlock(b);
        builder.announce(static_cast<int>(blocks.size()));
        ExportOptions options;
        options.format = ExportFormat::EbuTtD;
        options.includeComments = comments;
        const ExportResult result = exportStlFile(builder.writeTo(dir.file("in.stl")), options);
        std::ofstream(dir.file("out.xml"), std::ios::binary) << result.text;
        EXPECT_TRUE(doc.load_string(result.text.c_str())) << result.text;
        return result;
    }

    testsupport::TempDir dir;
    pugi::xml_document doc;
};

TEST_F(EbuTtdTest, TeletextColoursBoxesAndDoubleHeight) {
    Block comment = block(5, "a note");
    comment.comment = 1;
    const ExportResult result = exportBlocks(
        {block(1, "\x0D\x0B\x0B\x03Yellow\x07white\x0A\x0A\x8A\x8A\x0B\x0B\x0CSmall  gap\x0A\x0A"),
         block(3, "\x0B\x0B\x01\x1D\x07On red\x0A\x0A", 22, 1), comment},
        '1', "09", "23", true);
    ASSERT_TRUE(result.ok) << result.error;
    const pugi::xml_node tt = doc.child("tt");
    EXPECT_STREQ(tt.attribute("xml:lang").value(), "en");
    EXPECT_STREQ(tt.attribute("ttp:timeBase").value(), "media");
    EXPECT_STREQ(tt.attribute("ttp:cellResolution").value(), "40 25");
    EXPECT_EQ(paragraphs(doc),
              (std::vector<std::string>{
                  "00:00:01.000-00:00:02.000 row20x2 [center doubleRow] "
                  "{yellow onBlack:Yellow }{onBlack:white}",
                  "00:00:01.000-00:00:02.000 row22 [center normalRow] {onBlack:Small  gap}",
                  "00:00:03.000-00:00:04.000 row22 [left normalRow] {onRed:On red}",
                  "00:00:05.000-00:00:06.000  [] <metadata>a note",
              }));
    for (const auto& [id, attributes] : std::initializer_list<std::pair<const char*, const char*>>{
             {"row20x2",
              "tts:origin=10% 80% tts:extent=80% 8% tts:displayAlign=center "
              "tts:overflow=visible"},
             {"row22",
              "tts:origin=10% 88% tts:extent=80% 4% tts:displayAlign=center "
              "tts:overflow=visible"},
             {"doubleRow", "tts:fontSize=160%"},
             {"normalRow", "tts:fontSize=80%"},
             {"yellow", "tts:color=#FFFF00"},
             {"onRed", "tts:backgroundColor=#FF0000"},
             {"left", "tts:textAlign=left"}})
        EXPECT_EQ(declared(doc, id), attributes) << id;
    EXPECT_STREQ(doc.select_node("//p[@region='row22']").node().attribute("xml:space").value(),
                 "preserve");
    EXPECT_SCHEMA_VALID(dir.file("out.xml"));
}

TEST_F(EbuTtdTest, OpenSubtitlesWithItalicsPlacedByRow) {
    const ExportResult result =
        exportBlocks({block(1, "Plain \x80slanted\x81\x8A\x82under\x83 done", 10, 0),
                      block(2, "A & <b>", 11, 3)},
                     '0', "0F", "11");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_STREQ(doc.child("tt").attribute("xml:lang").value(), "fr");
    EXPECT_EQ(paragraphs(doc), (std::vector<std::string>{
                                   "00:00:01.000-00:00:02.000 at75_455h7_273 [center row145_455] "
                                   "Plain {italic:slanted}",
                                   "00:00:01.000-00:00:02.000 at82_727h7_273 [center row145_455] "
                                   "{underline:under} done",
                                   "00:00:02.000-00:00:03.000 at82_727h7_273 [right row145_455] "
                                   "A & <b>",
                               }));
    EXPECT_EQ(declared(doc, "at75_455h7_273"),
              "tts:origin=10% 75.455% tts:extent=80% 7.273% tts:displayAlign=center "
              "tts:overflow=visible");
    EXPECT_EQ(declared(doc, "italic"), "tts:fontStyle=italic");
    EXPECT_EQ(declared(doc, "base"),
              "tts:fontFamily=proportionalSansSerif tts:lineHeight=125% tts:color=#FFFFFF "
              "tts:wrapOption=noWrap ebutts:linePadding=0.5c");
    EXPECT_SCHEMA_VALID(dir.file("out.xml"));
}

TEST_F(EbuTtdTest, NothingToShowIsStillADocument) {
    const ExportResult result = exportBlocks({block(1, "")}, '1', "  ");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_STREQ(doc.child("tt").attribute("xml:lang").value(), "");
    EXPECT_TRUE(doc.select_nodes("//p").empty());
    EXPECT_SCHEMA_VALID(dir.file("out.xml"));
}

TEST(LanguageTagTest, MapsTheLanguageCodes) {
    for (const auto& [code, tag] :
         std::initializer_list<std::pair<const char*, const char*>>{{"09", "en"},
                                                                    {"0F", "fr"},
                                                                    {"0f", "fr"},
                                                                    {"08", "de"},
                                                                    {"15", "it"},
                                                                    {"0A", "es"},
                                                                    {"2A", "nl-BE"},
                                                                    {"7F", "am"},
                                                                    {"45", "zu"},
                                                                    {"56", "ru"},
                                                                    {"00", ""},
                                                                    {"16", ""},
                                                                    {"2C", ""},
                                                                    {"44", ""},
                                                                    {"80", ""},
                                                                    {"zz", ""},
                                                                    {"9", ""}}) {
        GeneralSubtitleInformation info{};
        std::fill(std::begin(info.bytes), std::end(info.bytes), ' ');
        std::copy(code, code + std::strlen(code), info.bytes + gsi::languageCode.offset);
        EXPECT_EQ(languageTag(info), tag) << code;
    }
}

// Every corpus file exports to a document the schema accepts, the same bytes each time.
TEST(EbuTtdCorpusTest, EveryCorpusFileValidates) {
    const fs::path corpus = LUMTRACE_CORPUS_DIR;
    if (!fs::is_directory(corpus))
        GTEST_SKIP() << "corpus folder " << corpus << " not found: corpus export not checked";
    testsupport::TempDir dir;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        ExportOptions options;
        options.format = ExportFormat::EbuTtD;
        const ExportResult result = exportStlFile(entry.path().string(), options);
        if (!result.ok) continue;  // files the readers refuse are the reader tests' business
        EXPECT_EQ(exportStlFile(entry.path().string(), options).text, result.text) << entry.path();
        const std::string out = dir.file(entry.path().stem().string() + ".xml");
        std::ofstream(out, std::ios::binary) << result.text;
        EXPECT_SCHEMA_VALID(out);
        ++files;
    }
    EXPECT_GT(files, 0);
}

}  // namespace

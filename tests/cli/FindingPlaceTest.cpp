// Where a finding is, as every machine format gives it: block, subtitle and time codes, the bytes
// of the block or of the header field.

#include <nlohmann/json.hpp>
#include <pugixml.hpp>

#include "CliTestSupport.h"
#include "host/FindingPlace.h"

namespace clitest {
namespace {

using nlohmann::json;
using testsupport::StlFileBuilder;

class FindingPlaceTest : public CliTest {
protected:
    // Subtitle 1 is a chain of blocks 0 and 1, the second with a time of its own; subtitle 2 is
    // block 2. Blocks 1 and 2 have an invalid vertical position (rule 438), the header an invalid
    // code page number (rule 402).
    std::string placesFile(const std::string& name = "places.stl") {
        auto block = [](std::uint16_t number, std::uint8_t extension, std::uint8_t second,
                        std::uint8_t vertical) {
            StlFileBuilder::Block b;
            b.number = number;
            b.extension = extension;
            b.in[0] = b.out[0] = 10;
            b.in[2] = second;
            b.out[2] = static_cast<std::uint8_t>(second + 2);
            b.vertical = vertical;
            return b;
        };
        return StlFileBuilder()
            .gsi(gsi::codePageNumber, "ABC")
            .addBlock(block(1, 0, 1, 20))
            .addBlock(block(1, 0xFF, 2, 120))
            .addBlock(block(2, 0xFF, 5, 120))
            .announce(3)
            .writeTo(dir.file(name));
    }
    static std::vector<json> findingsOf(const json& item, int rule) {
        std::vector<json> found;
        for (const json& finding : item["findings"])
            if (finding["id"] == rule) found.push_back(finding);
        return found;
    }
};

TEST_F(FindingPlaceTest, JsonCsvSarifAndJunitSayWhereEachFindingIs) {
    const std::string file = placesFile();
    const json all = json::parse(runProcess(VALIDATE, {"--format", "json", file}).out);
    const std::vector<json> vertical = findingsOf(all[0], 438);
    ASSERT_EQ(vertical.size(), 2u);
    const struct {
        int block, subtitle;
        const char *in, *out;
    } expected[] = {{1, 1, "10:00:01:00", "10:00:03:00"}, {2, 2, "10:00:05:00", "10:00:07:00"}};
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(vertical[i]["block"], expected[i].block);
        EXPECT_EQ(vertical[i]["subtitleNumber"], expected[i].subtitle);
        EXPECT_EQ(vertical[i]["timeCodeIn"], expected[i].in);
        EXPECT_EQ(vertical[i]["timeCodeOut"], expected[i].out);
    }
    const std::vector<json> header = findingsOf(all[0], 402);
    ASSERT_EQ(header.size(), 1u);
    EXPECT_TRUE(header[0]["block"].is_null());
    EXPECT_TRUE(header[0]["subtitleNumber"].is_null());

    const std::string csv = runProcess(VALIDATE, {"--format", "csv", file}).out;
    EXPECT_NE(csv.find("Vertical Position value = 120,2,2,10:00:05:00,10:00:07:00\r\n"),
              std::string::npos);

    const json sarif = json::parse(runProcess(VALIDATE, {"--format", "sarif", file}).out);
    std::map<std::string, std::pair<int, int>> regions;  // by message
    for (const json& result : sarif["runs"][0]["results"]) {
        const json& location = result["locations"][0];
        if (!location["physicalLocation"].contains("region")) continue;
        const json& region = location["physicalLocation"]["region"];
        regions[result["message"]["text"]] = {region["byteOffset"], region["byteLength"]};
        if (result["ruleId"] == "438") {
            EXPECT_EQ(location["logicalLocations"][0]["name"],
                      "Subtitle " + std::to_string(int(region["byteOffset"]) == 1152 ? 1 : 2));
        }
    }
    EXPECT_EQ(regions["[438] TTI # 1 - Invalid Vertical Position value = 120"],
              std::make_pair(1024 + 128, 128));
    EXPECT_EQ(regions["[438] TTI # 2 - Invalid Vertical Position value = 120"],
              std::make_pair(1024 + 256, 128));
    EXPECT_EQ(regions["[402] Invalid GSI - Code Page Number value = ABC"], std::make_pair(0, 3));

    pugi::xml_document junit;
    ASSERT_TRUE(junit.load_string(runProcess(VALIDATE, {"--format", "junit", file}).out.c_str()));
    EXPECT_STREQ(
        junit.select_node("//testcase[@name='438']/failure").node().attribute("message").value(),
        "[438] TTI # 1 - Invalid Vertical Position value = 120 - Subtitle 1 (10:00:01:00)");
}

// Worker processes hand the places on; delivery findings name their subtitle and keep the block.
TEST_F(FindingPlaceTest, PlacesCrossWorkerProcessesAndDeliveryFindingsNameTheirSubtitle) {
    const std::vector<std::string> files = {placesFile("a.stl"), placesFile("b.stl")};
    auto run = [&](const char* jobs) {
        std::vector<std::string> arguments = {"--profile", "teletext", "--format",
                                              "json",      "-j",       jobs};
        arguments.insert(arguments.end(), files.begin(), files.end());
        return json::parse(runProcess(VALIDATE, arguments).out);
    };
    const json one = run("1"), two = run("2");
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(two[i]["findings"], one[i]["findings"]) << files[i];
    int delivery = 0;
    for (const json& finding : two[1]["findings"]) {
        if (finding["id"] < 501 || finding["id"] > 520 || finding["block"].is_null()) continue;
        ++delivery;
        const std::string prefix = "[" + std::to_string(int(finding["id"])) + "] Subtitle " +
                                   std::to_string(int(finding["subtitleNumber"])) + " (" +
                                   std::string(finding["timeCodeIn"]) + "): ";
        EXPECT_EQ(std::string(finding["message"]).rfind(prefix, 0), 0u) << finding["message"];
    }
    EXPECT_GT(delivery, 0);
}

TEST(TimeCodeTextTest, TwoDigitsAPartAndThreeForBytesOverNinetyNine) {
    const std::pair<TimeCode, const char*> cases[] = {
        {{0, 0, 0, 0}, "00:00:00:00"},
        {{10, 48, 53, 16}, "10:48:53:16"},
        {{9, 5, 99, 100}, "09:05:99:100"},
        {{255, 255, 255, 255}, "255:255:255:255"},
    };
    for (const auto& [time, text] : cases) {
        std::string out = "at ";
        validationhost::appendTimeCode(out, time);
        EXPECT_EQ(out, std::string("at ") + text);
    }
}

}  // namespace
}  // namespace clitest

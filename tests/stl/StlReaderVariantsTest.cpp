// Where the viewer's and the plug-in's reader differ.

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "StlReaderFixture.h"
#include "platform/CodePage.h"

namespace {

using namespace stlreadertest;

// Where the variants differ.
class ViewerReaderTest : public ReaderTest {};
class PluginReaderTest : public ReaderTest {};

TEST_F(ViewerReaderTest, MoreBlocksPresentThanAnnounced) {
    StlReader reader(StlVariant::Viewer);
    ASSERT_EQ(open(reader, write(StlFileBuilder().addBlocks(12).announce(10))), S_OK);
    EXPECT_EQ(reader.getTextAndTimingInformationCount(), 10);
    EXPECT_EQ(reader.getTextAndTimingInformationTotalCount(), 12);
    // The list fill reads until the first failure: every block present.
    PTextAndTimingInformation tti = nullptr;
    std::uint32_t rows = 0;
    while (reader.getTextAndTimingInformation(rows, &tti) == S_OK) ++rows;
    EXPECT_EQ(rows, 12u);
    EXPECT_EQ(debug.lines(), std::vector<std::string>{kInvalidIndex});
    // Blocks 0 .. 9: 10:00:00:00 to 10:00:29:00.
    EXPECT_EQ(reader.getDuration(), 290'000'000);
}

TEST_F(ViewerReaderTest, TrailingPartialBlockIsIgnored) {
    StlReader reader(StlVariant::Viewer);
    ASSERT_EQ(open(reader, write(StlFileBuilder().addBlocks(2).trailing({1, 2, 3}))), S_OK);
    EXPECT_EQ(reader.getTextAndTimingInformationTotalCount(), 2);
}

TEST_F(ViewerReaderTest, FewerBlocksPresentThanAnnounced) {
    StlReader reader(StlVariant::Viewer);
    const auto path = write(StlFileBuilder().addBlocks(10).announce(12));
    EXPECT_EQ(open(reader, path, false), E_FAIL);
    EXPECT_TRUE(log.entries.empty());
    EXPECT_EQ(debug.lines(), std::vector<std::string>{kInvalidSize});
    EXPECT_EQ(reader.fileStream(), -1);
    EXPECT_FALSE(isStlFile(path, false, StlVariant::Viewer));
}

TEST_F(ViewerReaderTest, CountIsParsedBeforeTheDiskFormatCode) {
    StlReader reader(StlVariant::Viewer);
    EXPECT_EQ(open(reader, write(StlFileBuilder()
                                     .gsi(gsi::diskFormatCode, "STL24.01")
                                     .gsi(gsi::totalNumberOfTti, "12a"))),
              E_FAIL);
    EXPECT_TRUE(log.entries.empty());
    EXPECT_EQ(debug.lines(), std::vector<std::string>{kOpenFailed});
}

TEST_F(ViewerReaderTest, ReportsDecodeWithTheAnsiCodePage) {
    if (platform::systemAnsiCodePage() != 1252) GTEST_SKIP() << "needs a Western locale";
    StlReader reader(StlVariant::Viewer);
    ASSERT_EQ(open(reader, write(StlFileBuilder()
                                     .gsi(gsi::originalProgrammeTitle, "Caf\xE9 \x80")
                                     .gsi(gsi::creationDate,
                                          "\xE9\xE9"
                                          "0315"))),
              S_OK);
    EXPECT_EQ(log.textOf(306), "GSI - Original Programme Title : Caf\u00E9 \u20AC");
    EXPECT_EQ(log.textOf(313), "GSI - Creation Date : 15:03:\u00E9\u00E9");
}

TEST_F(PluginReaderTest, MoreBlocksPresentThanAnnounced) {
    StlReader reader(StlVariant::Plugin);
    ASSERT_EQ(open(reader, write(StlFileBuilder().addBlocks(12).announce(10))), S_OK);
    PTextAndTimingInformation tti = nullptr;
    EXPECT_EQ(reader.getTextAndTimingInformation(9, &tti), S_OK);
    EXPECT_EQ(reader.getTextAndTimingInformation(10, &tti), E_FAIL);
    EXPECT_EQ(reader.getTextAndTimingInformation(11, &tti), E_FAIL);
    EXPECT_EQ(debug.lines(), std::vector<std::string>(2, kInvalidIndex));
    EXPECT_EQ(reader.getDuration(), 290'000'000);
}

TEST_F(PluginReaderTest, FewerBlocksPresentThanAnnouncedWithSizeCheck) {
    StlReader reader(StlVariant::Plugin);
    EXPECT_EQ(open(reader, write(StlFileBuilder().addBlocks(10).announce(12)), true), E_FAIL);
    EXPECT_EQ(log.ids(), append(gsiLineIds(), 401));
    EXPECT_EQ(log.textOf(401),
              "Invalid STL file size and Text And Timing Information records count");
    EXPECT_EQ(log.entries.back().type, REPORT_TYPE_ERROR);
    EXPECT_EQ(reader.fileStream(), -1);
    EXPECT_TRUE(debug.lines().empty());
}

TEST_F(PluginReaderTest, FewerBlocksPresentThanAnnouncedWithoutSizeCheck) {
    StlReader reader(StlVariant::Plugin);
    const auto path = write(StlFileBuilder().addBlocks(10).announce(12));
    ASSERT_EQ(open(reader, path, false), S_OK);
    EXPECT_EQ(log.ids(), gsiLineIds());
    PTextAndTimingInformation tti = nullptr;
    EXPECT_EQ(reader.getTextAndTimingInformation(9, &tti), S_OK);
    EXPECT_EQ(reader.getTextAndTimingInformation(10, &tti), E_FAIL);
    EXPECT_EQ(reader.getTextAndTimingInformation(11, &tti), E_FAIL);
    EXPECT_EQ(debug.lines(), std::vector<std::string>(2, kCannotRead));
    debug.clear();
    EXPECT_EQ(reader.getDuration(), 0);
    EXPECT_EQ(debug.lines(),
              (std::vector<std::string>{kCannotRead,
                                        "vyr: Error in TSTLReader.GetDuration - cannot retrieve "
                                        "the last Text And Timing item."}));
    EXPECT_TRUE(isStlFile(path, false, StlVariant::Plugin));
    EXPECT_FALSE(isStlFile(path, true, StlVariant::Plugin));
}

TEST_F(PluginReaderTest, DiskFormatCodeIsCheckedBeforeTheCount) {
    StlReader reader(StlVariant::Plugin);
    EXPECT_EQ(open(reader, write(StlFileBuilder()
                                     .gsi(gsi::diskFormatCode, "STL24.01")
                                     .gsi(gsi::totalNumberOfTti, "12a"))),
              E_FAIL);
    EXPECT_EQ(log.ids(), std::vector<std::int32_t>{203});
    EXPECT_TRUE(debug.lines().empty());
}

TEST_F(PluginReaderTest, ReportsEveryGSILineWithRawBytes) {
    StlReader reader(StlVariant::Plugin);
    ASSERT_EQ(open(reader, write(StlFileBuilder()
                                     .addBlocks(1)
                                     .gsi(gsi::originalEpisodeTitle, "Caf\xE9")
                                     .gsi(gsi::publisher, "\x01Pub\x0A")
                                     .gsi(gsi::editorsName, std::string_view("Ann\0Bob", 7)))),
              S_OK);
    const std::vector<std::string> expected = {
        "GSI - Code Page Number : 850",
        "GSI - Disk Format Code : STL25.01",
        "GSI - Display Standard Code : 1",
        "GSI - Character Code Table Number : 00",
        "GSI - Language Code : 0F",
        "GSI - Original Programme Title : Test Programme",
        "GSI - Original Episode Title : Caf\xE9",
        "GSI - Translated Programme Title : ",
        "GSI - Translated Episode Title : ",
        "GSI - Translator's Name : ",
        "GSI - Translator's Contact Details : ",
        "GSI - Subtitle List Reference Code : ",
        "GSI - Creation Date : 15:03:12",
        "GSI - Revision Date : 16:03:12",
        "GSI - Revision Number : 01",
        "GSI - Total Number Of TTI blocks : 00001",
        "GSI - Total Number Of Subtitles : 00000",
        "GSI - Total Number Of Subtitle Groups : 001",
        "GSI - Maximum Number Of Displayable Characters : 40",
        "GSI - Maximum Number Of Displayable Rows : 23",
        "GSI - Time Code Status : 1",
        "GSI - Time Code Start Of Programme : 10000000",
        "GSI - Time Code First In Cue : 10000000",
        "GSI - Total Number Of Disks : 1",
        "GSI - Disk Sequence Number : 1",
        "GSI - Country Of Origin : GBR",
        "GSI - Publisher : Pub",
        "GSI - Editor's Name : Ann",
        "GSI - Editor's Contact Details : ",
    };
    ASSERT_EQ(log.ids(), gsiLineIds());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(log.entries[i].text, expected[i]);
        EXPECT_EQ(log.entries[i].type, REPORT_TYPE_INFO);
        EXPECT_EQ(log.entries[i].module, MODULE_SIEVRA);
    }
}

TEST_F(PluginReaderTest, BlankOrShortDatesAreReportedAsTrimmed) {
    const std::pair<const char*, const char*> cases[] = {
        {"120315", "15:03:12"}, {"      ", ""}, {"1203  ", "1203"}, {" 12031", "12031"}};
    for (const auto& [stored, shown] : cases) {
        SCOPED_TRACE(stored);
        log.entries.clear();
        StlReader reader(StlVariant::Plugin);
        ASSERT_EQ(open(reader, write(StlFileBuilder()
                                         .gsi(gsi::creationDate, stored)
                                         .gsi(gsi::revisionDate, stored))),
                  S_OK);
        EXPECT_EQ(log.textOf(313), std::string("GSI - Creation Date : ") + shown);
        EXPECT_EQ(log.textOf(314), std::string("GSI - Revision Date : ") + shown);
    }
}

TEST_F(ViewerReaderTest, HugeSparseFileCountStaysPositive) {
    const auto path = write(StlFileBuilder());
    if (::truncate(path.c_str(), std::int64_t{1} << 40) != 0)
        GTEST_SKIP() << "file system refuses a 1 TB sparse file";
    StlReader reader(StlVariant::Viewer);
    ASSERT_EQ(open(reader, path), S_OK);
    EXPECT_EQ(reader.getTextAndTimingInformationTotalCount(),
              std::numeric_limits<std::int32_t>::max());
}

}  // namespace

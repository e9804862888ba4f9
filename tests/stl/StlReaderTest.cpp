// The reader's behaviour both variants share.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "StlReaderFixture.h"

namespace {

using namespace stlreadertest;

// Behaviour both variants share.
class BothVariantsTest : public ReaderTest, public ::testing::WithParamInterface<StlVariant> {};

TEST_P(BothVariantsTest, TooShortForTheGSIBlock) {
    for (std::size_t size : {0, 1, 1023}) {
        SCOPED_TRACE(size);
        log.entries.clear();
        const std::string path = writeBytes(size);
        StlReader reader(GetParam());
        EXPECT_EQ(open(reader, path), E_FAIL);
        EXPECT_EQ(log.ids(), std::vector<std::int32_t>{202});
        EXPECT_EQ(log.textOf(202),
                  "Insufficient data reading the General Subtitle Information block");
        EXPECT_EQ(log.entries[0].type, REPORT_TYPE_ERROR);
        EXPECT_EQ(log.entries[0].module, MODULE_SIEVRA);
        EXPECT_EQ(reader.fileStream(), -1);
        EXPECT_FALSE(isStlFile(path, true, GetParam()));
    }
}

TEST_P(BothVariantsTest, MissingFile) {
    StlReader reader(GetParam());
    EXPECT_EQ(open(reader, dir.file("nothing.stl")), E_FAIL);
    EXPECT_EQ(open(reader, ""), E_FAIL);
    EXPECT_TRUE(log.entries.empty());
    EXPECT_EQ(debug.lines(), std::vector<std::string>(2, kFileNotFound));
    EXPECT_FALSE(isStlFile(dir.file("nothing.stl"), true, GetParam()));
}

TEST_P(BothVariantsTest, DirectoryAndFifoCannotBeLoaded) {
    const std::string fifo = dir.file("pipe.stl");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {dir.path(), fifo}) {
        SCOPED_TRACE(path);
        log.entries.clear();
        StlReader reader(GetParam());
        EXPECT_EQ(open(reader, path), E_FAIL);  // must not block on the FIFO
        EXPECT_EQ(log.ids(), std::vector<std::int32_t>{201});
        EXPECT_EQ(log.textOf(201), "Cannot load STL file.");
        EXPECT_EQ(reader.fileStream(), -1);
    }
    EXPECT_TRUE(debug.lines().empty());
}

TEST_P(BothVariantsTest, UnreadableFile) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads any file";
    const std::string path = write(StlFileBuilder());
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    StlReader reader(GetParam());
    EXPECT_EQ(open(reader, path), E_FAIL);
    EXPECT_EQ(log.ids(), std::vector<std::int32_t>{201});
}

TEST_P(BothVariantsTest, AnnouncedCountParsing) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"00012", 12}, {"   12", 12}, {"12   ", 12}, {"+0012", 12}, {"$000C", 12}};
    for (const auto& [field, count] : cases) {
        SCOPED_TRACE(field);
        StlReader reader(GetParam());
        const auto path = write(StlFileBuilder().addBlocks(12).gsi(gsi::totalNumberOfTti, field));
        EXPECT_EQ(open(reader, path), S_OK);
        EXPECT_EQ(reader.getTextAndTimingInformationCount(), count);
    }
    EXPECT_TRUE(debug.lines().empty());
}

TEST_P(BothVariantsTest, UnusableCountFailsWithoutReports) {
    for (const char* field : {"12a", "     ", "-0001", "1 2", "0x"}) {
        SCOPED_TRACE(field);
        debug.clear();
        log.entries.clear();
        StlReader reader(GetParam());
        const auto path = write(StlFileBuilder().addBlocks(3).gsi(gsi::totalNumberOfTti, field));
        EXPECT_EQ(open(reader, path), E_FAIL);
        EXPECT_TRUE(log.entries.empty());
        EXPECT_EQ(debug.lines(), std::vector<std::string>{kOpenFailed});
        EXPECT_EQ(reader.fileStream(), -1);
        EXPECT_FALSE(isStlFile(path, false, GetParam()));
    }
}

TEST_P(BothVariantsTest, DiskFormatCodeSetsFrameRate) {
    const std::pair<const char*, int> cases[] = {
        {"STL25.01", 25}, {"stl25.01", 25}, {"STL30.01", 30}, {"sTl30.01", 30}};
    for (const auto& [code, fps] : cases) {
        SCOPED_TRACE(code);
        log.entries.clear();
        StlReader reader(GetParam());
        EXPECT_EQ(open(reader, write(StlFileBuilder().gsi(gsi::diskFormatCode, code))), S_OK);
        EXPECT_EQ(reader.framesPerSecond(), fps);
        EXPECT_EQ(log.textOf(302), std::string("GSI - Disk Format Code : ") + code);
        EXPECT_EQ(reader.closeFile(), S_OK);
        EXPECT_EQ(reader.framesPerSecond(), 0);
    }
}

TEST_P(BothVariantsTest, UnknownDiskFormatCodeIsReportedAlone) {
    StlReader reader(GetParam());
    const auto path = write(StlFileBuilder().gsi(gsi::diskFormatCode, "STL24.01"));
    EXPECT_EQ(open(reader, path), E_FAIL);
    EXPECT_EQ(log.ids(), std::vector<std::int32_t>{203});
    EXPECT_EQ(log.textOf(203), "Invalid STL file Disk Format Code");
    EXPECT_TRUE(debug.lines().empty());
    EXPECT_FALSE(isStlFile(path, true, GetParam()));
}

TEST_P(BothVariantsTest, ZeroAnnouncedBlocks) {
    StlReader reader(GetParam());
    ASSERT_EQ(open(reader, write(StlFileBuilder().addBlocks(3).announce(0))), S_OK);
    EXPECT_EQ(reader.getDuration(), 0);
    EXPECT_EQ(debug.lines(),
              std::vector<std::string>{"vyr: Error in TSTLReader.GetDuration - no items."});
    PTextAndTimingInformation tti = nullptr;
    const HRESULT expected = GetParam() == StlVariant::Viewer ? S_OK : E_FAIL;
    EXPECT_EQ(reader.getTextAndTimingInformation(2, &tti), expected);
}

TEST_P(BothVariantsTest, OneSharedBlockBuffer) {
    StlReader reader(GetParam());
    ASSERT_EQ(open(reader, write(StlFileBuilder().addBlocks(6))), S_OK);
    PTextAndTimingInformation third = nullptr, fourth = nullptr;
    ASSERT_EQ(reader.getTextAndTimingInformation(3, &third), S_OK);
    EXPECT_EQ(subtitleNumberOf(*third), 4);
    ASSERT_EQ(reader.getTextAndTimingInformation(4, &fourth), S_OK);
    EXPECT_EQ(third, fourth);
    EXPECT_EQ(subtitleNumberOf(*third), 5);
}

TEST_P(BothVariantsTest, BlockEditedOnDiskShowsAtNextRead) {
    const auto path = write(StlFileBuilder().addBlocks(4));
    StlReader reader(GetParam());
    ASSERT_EQ(open(reader, path), S_OK);
    PTextAndTimingInformation tti = nullptr;
    ASSERT_EQ(reader.getTextAndTimingInformation(2, &tti), S_OK);
    EXPECT_EQ(textFieldDisplayBytes(*tti), "Subtitle 3");

    const int writer = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::pwrite(writer, "Edited", 6, ttiBlockOffset(2) + tti::textField.offset), 6);
    ::close(writer);

    ASSERT_EQ(reader.getTextAndTimingInformation(2, &tti), S_OK);
    EXPECT_EQ(textFieldDisplayBytes(*tti), "Editedle 3");
}

TEST_P(BothVariantsTest, ReadsAfterCloseFail) {
    StlReader reader(GetParam());
    ASSERT_EQ(open(reader, write(StlFileBuilder().addBlocks(3))), S_OK);
    ASSERT_EQ(reader.closeFile(), S_OK);
    EXPECT_EQ(reader.fileStream(), -1);
    EXPECT_EQ(reader.fileSize(), -1);

    PTextAndTimingInformation tti = nullptr;
    EXPECT_EQ(reader.getTextAndTimingInformation(0, &tti), E_FAIL);
    EXPECT_EQ(tti, nullptr);
    EXPECT_EQ(reader.getDuration(), 0);
    EXPECT_EQ(reader.getTextAndTimingInformationCount(), 3);

    PGeneralSubtitleInformation gsi = nullptr;
    ASSERT_EQ(reader.getGeneralSubtitleInformation(&gsi), S_OK);
    EXPECT_EQ(std::memcmp(gsi->bytes + gsi::diskFormatCode.offset, "STL25.01", 8), 0);
    EXPECT_EQ(debug.lines().front(),
              "vyr: Error in TSTLReader.GetTextAndTimingInformation call...");
}

TEST_P(BothVariantsTest, NullOutPointersFail) {
    StlReader reader(GetParam());
    ASSERT_EQ(open(reader, write(StlFileBuilder().addBlocks(1))), S_OK);
    EXPECT_EQ(reader.getGeneralSubtitleInformation(nullptr), E_FAIL);
    EXPECT_EQ(reader.getTextAndTimingInformation(0, nullptr), E_FAIL);
    EXPECT_EQ(debug.lines(), (std::vector<std::string>{
                                 "vyr: Error in TSTLReader.GetGeneralSubtitleInformation call...",
                                 "vyr: Error in TSTLReader.GetTextAndTimingInformation call..."}));
}

TEST_P(BothVariantsTest, FailingReportFunctionDoesNotStopTheOpen) {
    log.result = E_FAIL;
    StlReader reader(GetParam());
    EXPECT_EQ(open(reader, write(StlFileBuilder())), S_OK);
    EXPECT_EQ(log.ids(), gsiLineIds());
}

TEST_P(BothVariantsTest, FreshReader) {
    StlReader reader(GetParam());
    PGeneralSubtitleInformation gsi = nullptr;
    ASSERT_EQ(reader.getGeneralSubtitleInformation(&gsi), S_OK);
    EXPECT_EQ(std::count(gsi->bytes, gsi->bytes + GSI_BLOCK_SIZE, 0), 1024);
    EXPECT_EQ(reader.framesPerSecond(), 0);
    EXPECT_EQ(reader.getTextAndTimingInformationCount(), 0);
    PTextAndTimingInformation tti = nullptr;
    EXPECT_EQ(reader.getTextAndTimingInformation(0, &tti), E_FAIL);
}

TEST_P(BothVariantsTest, SecondOpenReleasesTheFirstFile) {
    StlReader reader(GetParam());
    ASSERT_EQ(open(reader, write(StlFileBuilder().addBlocks(2), "a.stl")), S_OK);
    const int first = reader.fileStream();
    ASSERT_EQ(open(reader, write(StlFileBuilder().addBlocks(5), "b.stl")), S_OK);
    EXPECT_EQ(reader.getTextAndTimingInformationCount(), 5);
    EXPECT_TRUE(first == reader.fileStream() || fcntl(first, F_GETFD) == -1);
}

struct DurationCase {
    const char* diskFormatCode;
    std::uint8_t firstIn[4];
    std::uint8_t lastOut[4];
    std::int64_t expected;
};

TEST_P(BothVariantsTest, Durations) {
    const DurationCase cases[] = {
        {"STL30.01", {0, 0, 1, 15}, {0, 0, 3, 0}, 15'000'000},
        {"STL25.01", {0, 0, 0, 0}, {0, 0, 0, 5}, 2'000'000},
        {"STL25.01", {1, 0, 0, 0}, {2, 0, 0, 0}, 36'000'000'000},
        {"STL25.01", {0, 0, 10, 0}, {0, 0, 5, 0}, -50'000'000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        StlFileBuilder builder;
        builder.gsi(gsi::diskFormatCode, c.diskFormatCode);
        StlFileBuilder::Block first, middle, last;
        std::copy(c.firstIn, c.firstIn + 4, first.in);
        std::copy(c.lastOut, c.lastOut + 4, last.out);
        builder.addBlock(first).addBlock(middle).addBlock(last).announce(3);
        StlReader reader(GetParam());
        ASSERT_EQ(open(reader, write(builder)), S_OK);
        EXPECT_EQ(reader.getDuration(), c.expected);
    }
}

TEST_P(BothVariantsTest, SparseFileOfTwoGigabytes) {
    const auto path = write(StlFileBuilder().addBlocks(2));
    const std::int64_t size = (std::int64_t{2} << 30) + 100;
    ASSERT_EQ(::truncate(path.c_str(), size), 0);
    StlReader reader(GetParam());
    ASSERT_EQ(open(reader, path), S_OK);
    EXPECT_EQ(reader.fileSize(), size);
    if (GetParam() == StlVariant::Viewer) {
        const std::uint32_t present = static_cast<std::uint32_t>((size - 1024) / 128);
        EXPECT_EQ(reader.getTextAndTimingInformationTotalCount(), std::int32_t(present));
        PTextAndTimingInformation tti = nullptr;
        ASSERT_EQ(reader.getTextAndTimingInformation(present - 1, &tti), S_OK);
        EXPECT_EQ(std::count(tti->bytes, tti->bytes + TTI_BLOCK_SIZE, 0), 128);
        EXPECT_EQ(reader.getTextAndTimingInformation(present, &tti), E_FAIL);
        EXPECT_EQ(debug.lines(), std::vector<std::string>{kInvalidIndex});
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, BothVariantsTest,
                         ::testing::Values(StlVariant::Viewer, StlVariant::Plugin),
                         [](const auto& info) {
                             return info.param == StlVariant::Viewer ? "Viewer" : "Plugin";
                         });

}  // namespace

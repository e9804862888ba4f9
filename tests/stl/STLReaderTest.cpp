#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "stl/STLReader.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"

namespace {

using testsupport::StlFileBuilder;

struct TReportLog {
    struct Entry {
        std::int32_t module, type;
        std::string text;
        std::int32_t id;
    };
    std::vector<Entry> entries;
    HRESULT result = S_OK;

    static HRESULT QVX_STDCALL Callback(void* context, std::int32_t module, std::int32_t type,
                                        const char* message, std::int32_t id) {
        auto* log = static_cast<TReportLog*>(context);
        log->entries.push_back({module, type, message, id});
        return log->result;
    }
    TReportFunction Function() { return {this, &TReportLog::Callback}; }

    std::vector<std::int32_t> ids() const {
        std::vector<std::int32_t> all;
        for (const auto& e : entries) all.push_back(e.id);
        return all;
    }
    std::string textOf(std::int32_t id) const {
        for (const auto& e : entries)
            if (e.id == id) return e.text;
        return "<missing>";
    }
};

std::vector<std::int32_t> GSILineIds() {
    std::vector<std::int32_t> ids;
    for (int id = 301; id <= 329; ++id) ids.push_back(id);
    return ids;
}

std::vector<std::int32_t> Append(std::vector<std::int32_t> ids, std::int32_t id) {
    ids.push_back(id);
    return ids;
}

const std::string kFileNotFound = "vyr: Error in TSTLReader.OpenFile - file not found.";
const std::string kOpenFailed = "vyr: Error in TSTLReader.OpenFile call...";
const std::string kInvalidSize = "vyr: Error in TSTLReader.OpenFile - invalid STL file size.";
const std::string kInvalidIndex =
    "vyr: Error in TSTLReader.GetTextAndTimingInformation - invalid index.";
const std::string kCannotRead =
    "vyr: Error in TSTLReader.GetTextAndTimingInformation - cannot read Text And Timing "
    "Information.";

class ReaderTest : public ::testing::Test {
protected:
    std::string Write(const StlFileBuilder& builder, const std::string& name = "file.stl") {
        return builder.writeTo(dir.file(name));
    }
    std::string WriteBytes(std::size_t size) {
        const std::string path = dir.file("raw.stl");
        std::ofstream(path, std::ios::binary) << std::string(size, ' ');
        return path;
    }
    HRESULT Open(TSTLReader& reader, const std::string& path, bool checkSize = true) {
        reader.SetReportFunction(log.Function());
        return reader.OpenFile(path, checkSize);
    }

    testsupport::TempDir dir;
    testsupport::DebugCapture debug;
    TReportLog log;
};

// Behaviour both variants share.
class BothVariantsTest : public ReaderTest, public ::testing::WithParamInterface<TSTLVariant> {};

TEST_P(BothVariantsTest, TooShortForTheGSIBlock) {
    for (std::size_t size : {0, 1, 1023}) {
        SCOPED_TRACE(size);
        log.entries.clear();
        const std::string path = WriteBytes(size);
        TSTLReader reader(GetParam());
        EXPECT_EQ(Open(reader, path), E_FAIL);
        EXPECT_EQ(log.ids(), std::vector<std::int32_t>{202});
        EXPECT_EQ(log.textOf(202),
                  "Insufficient data reading the General Subtitle Information block");
        EXPECT_EQ(log.entries[0].type, REPORT_TYPE_ERROR);
        EXPECT_EQ(log.entries[0].module, MODULE_SIEVRA);
        EXPECT_EQ(reader.FileStream(), -1);
        EXPECT_FALSE(IsSTLFile(path, true, GetParam()));
    }
}

TEST_P(BothVariantsTest, MissingFile) {
    TSTLReader reader(GetParam());
    EXPECT_EQ(Open(reader, dir.file("nothing.stl")), E_FAIL);
    EXPECT_EQ(Open(reader, ""), E_FAIL);
    EXPECT_TRUE(log.entries.empty());
    EXPECT_EQ(debug.lines(), std::vector<std::string>(2, kFileNotFound));
    EXPECT_FALSE(IsSTLFile(dir.file("nothing.stl"), true, GetParam()));
}

TEST_P(BothVariantsTest, DirectoryAndFifoCannotBeLoaded) {
    const std::string fifo = dir.file("pipe.stl");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {dir.path(), fifo}) {
        SCOPED_TRACE(path);
        log.entries.clear();
        TSTLReader reader(GetParam());
        EXPECT_EQ(Open(reader, path), E_FAIL);  // must not block on the FIFO
        EXPECT_EQ(log.ids(), std::vector<std::int32_t>{201});
        EXPECT_EQ(log.textOf(201), "Cannot load STL file.");
        EXPECT_EQ(reader.FileStream(), -1);
    }
    EXPECT_TRUE(debug.lines().empty());
}

TEST_P(BothVariantsTest, UnreadableFile) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads any file";
    const std::string path = Write(StlFileBuilder());
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    TSTLReader reader(GetParam());
    EXPECT_EQ(Open(reader, path), E_FAIL);
    EXPECT_EQ(log.ids(), std::vector<std::int32_t>{201});
}

TEST_P(BothVariantsTest, AnnouncedCountParsing) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"00012", 12}, {"   12", 12}, {"12   ", 12}, {"+0012", 12}, {"$000C", 12}};
    for (const auto& [field, count] : cases) {
        SCOPED_TRACE(field);
        TSTLReader reader(GetParam());
        const auto path = Write(StlFileBuilder().addBlocks(12).gsi(gsi::TotalNumberOfTTI, field));
        EXPECT_EQ(Open(reader, path), S_OK);
        EXPECT_EQ(reader.GetTextAndTimingInformationCount(), count);
    }
    EXPECT_TRUE(debug.lines().empty());
}

TEST_P(BothVariantsTest, UnusableCountFailsWithoutReports) {
    for (const char* field : {"12a", "     ", "-0001", "1 2", "0x"}) {
        SCOPED_TRACE(field);
        debug.clear();
        log.entries.clear();
        TSTLReader reader(GetParam());
        const auto path = Write(StlFileBuilder().addBlocks(3).gsi(gsi::TotalNumberOfTTI, field));
        EXPECT_EQ(Open(reader, path), E_FAIL);
        EXPECT_TRUE(log.entries.empty());
        EXPECT_EQ(debug.lines(), std::vector<std::string>{kOpenFailed});
        EXPECT_EQ(reader.FileStream(), -1);
        EXPECT_FALSE(IsSTLFile(path, false, GetParam()));
    }
}

TEST_P(BothVariantsTest, DiskFormatCodeSetsFrameRate) {
    const std::pair<const char*, int> cases[] = {
        {"STL25.01", 25}, {"stl25.01", 25}, {"STL30.01", 30}, {"sTl30.01", 30}};
    for (const auto& [code, fps] : cases) {
        SCOPED_TRACE(code);
        log.entries.clear();
        TSTLReader reader(GetParam());
        EXPECT_EQ(Open(reader, Write(StlFileBuilder().gsi(gsi::DiskFormatCode, code))), S_OK);
        EXPECT_EQ(reader.FramesPerSecond(), fps);
        EXPECT_EQ(log.textOf(302), std::string("GSI - Disk Format Code : ") + code);
        EXPECT_EQ(reader.CloseFile(), S_OK);
        EXPECT_EQ(reader.FramesPerSecond(), 0);
    }
}

TEST_P(BothVariantsTest, UnknownDiskFormatCodeIsReportedAlone) {
    TSTLReader reader(GetParam());
    const auto path = Write(StlFileBuilder().gsi(gsi::DiskFormatCode, "STL24.01"));
    EXPECT_EQ(Open(reader, path), E_FAIL);
    EXPECT_EQ(log.ids(), std::vector<std::int32_t>{203});
    EXPECT_EQ(log.textOf(203), "Invalid STL file Disk Format Code");
    EXPECT_TRUE(debug.lines().empty());
    EXPECT_FALSE(IsSTLFile(path, true, GetParam()));
}

TEST_P(BothVariantsTest, ZeroAnnouncedBlocks) {
    TSTLReader reader(GetParam());
    ASSERT_EQ(Open(reader, Write(StlFileBuilder().addBlocks(3).announce(0))), S_OK);
    EXPECT_EQ(reader.GetDuration(), 0);
    EXPECT_EQ(debug.lines(),
              std::vector<std::string>{"vyr: Error in TSTLReader.GetDuration - no items."});
    PTextAndTimingInformation tti = nullptr;
    const HRESULT expected = GetParam() == TSTLVariant::Viewer ? S_OK : E_FAIL;
    EXPECT_EQ(reader.GetTextAndTimingInformation(2, &tti), expected);
}

TEST_P(BothVariantsTest, OneSharedBlockBuffer) {
    TSTLReader reader(GetParam());
    ASSERT_EQ(Open(reader, Write(StlFileBuilder().addBlocks(6))), S_OK);
    PTextAndTimingInformation third = nullptr, fourth = nullptr;
    ASSERT_EQ(reader.GetTextAndTimingInformation(3, &third), S_OK);
    EXPECT_EQ(SubtitleNumberOf(*third), 4);
    ASSERT_EQ(reader.GetTextAndTimingInformation(4, &fourth), S_OK);
    EXPECT_EQ(third, fourth);
    EXPECT_EQ(SubtitleNumberOf(*third), 5);
}

TEST_P(BothVariantsTest, BlockEditedOnDiskShowsAtNextRead) {
    const auto path = Write(StlFileBuilder().addBlocks(4));
    TSTLReader reader(GetParam());
    ASSERT_EQ(Open(reader, path), S_OK);
    PTextAndTimingInformation tti = nullptr;
    ASSERT_EQ(reader.GetTextAndTimingInformation(2, &tti), S_OK);
    EXPECT_EQ(TextFieldDisplayBytes(*tti), "Subtitle 3");

    const int writer = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::pwrite(writer, "Edited", 6, ttiBlockOffset(2) + tti::TextField.Offset), 6);
    ::close(writer);

    ASSERT_EQ(reader.GetTextAndTimingInformation(2, &tti), S_OK);
    EXPECT_EQ(TextFieldDisplayBytes(*tti), "Editedle 3");
}

TEST_P(BothVariantsTest, ReadsAfterCloseFail) {
    TSTLReader reader(GetParam());
    ASSERT_EQ(Open(reader, Write(StlFileBuilder().addBlocks(3))), S_OK);
    ASSERT_EQ(reader.CloseFile(), S_OK);
    EXPECT_EQ(reader.FileStream(), -1);
    EXPECT_EQ(reader.FileSize(), -1);

    PTextAndTimingInformation tti = nullptr;
    EXPECT_EQ(reader.GetTextAndTimingInformation(0, &tti), E_FAIL);
    EXPECT_EQ(tti, nullptr);
    EXPECT_EQ(reader.GetDuration(), 0);
    EXPECT_EQ(reader.GetTextAndTimingInformationCount(), 3);

    PGeneralSubtitleInformation gsi = nullptr;
    ASSERT_EQ(reader.GetGeneralSubtitleInformation(&gsi), S_OK);
    EXPECT_EQ(std::memcmp(gsi->Bytes + gsi::DiskFormatCode.Offset, "STL25.01", 8), 0);
    EXPECT_EQ(debug.lines().front(),
              "vyr: Error in TSTLReader.GetTextAndTimingInformation call...");
}

TEST_P(BothVariantsTest, NullOutPointersFail) {
    TSTLReader reader(GetParam());
    ASSERT_EQ(Open(reader, Write(StlFileBuilder().addBlocks(1))), S_OK);
    EXPECT_EQ(reader.GetGeneralSubtitleInformation(nullptr), E_FAIL);
    EXPECT_EQ(reader.GetTextAndTimingInformation(0, nullptr), E_FAIL);
    EXPECT_EQ(debug.lines(), (std::vector<std::string>{
                                 "vyr: Error in TSTLReader.GetGeneralSubtitleInformation call...",
                                 "vyr: Error in TSTLReader.GetTextAndTimingInformation call..."}));
}

TEST_P(BothVariantsTest, FailingReportFunctionDoesNotStopTheOpen) {
    log.result = E_FAIL;
    TSTLReader reader(GetParam());
    EXPECT_EQ(Open(reader, Write(StlFileBuilder())), S_OK);
    EXPECT_EQ(log.ids(), GSILineIds());
}

TEST_P(BothVariantsTest, FreshReader) {
    TSTLReader reader(GetParam());
    PGeneralSubtitleInformation gsi = nullptr;
    ASSERT_EQ(reader.GetGeneralSubtitleInformation(&gsi), S_OK);
    EXPECT_EQ(std::count(gsi->Bytes, gsi->Bytes + GSI_BLOCK_SIZE, 0), 1024);
    EXPECT_EQ(reader.FramesPerSecond(), 0);
    EXPECT_EQ(reader.GetTextAndTimingInformationCount(), 0);
    PTextAndTimingInformation tti = nullptr;
    EXPECT_EQ(reader.GetTextAndTimingInformation(0, &tti), E_FAIL);
}

TEST_P(BothVariantsTest, SecondOpenReleasesTheFirstFile) {
    TSTLReader reader(GetParam());
    ASSERT_EQ(Open(reader, Write(StlFileBuilder().addBlocks(2), "a.stl")), S_OK);
    const int first = reader.FileStream();
    ASSERT_EQ(Open(reader, Write(StlFileBuilder().addBlocks(5), "b.stl")), S_OK);
    EXPECT_EQ(reader.GetTextAndTimingInformationCount(), 5);
    EXPECT_TRUE(first == reader.FileStream() || fcntl(first, F_GETFD) == -1);
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
        builder.gsi(gsi::DiskFormatCode, c.diskFormatCode);
        StlFileBuilder::Block first, middle, last;
        std::copy(c.firstIn, c.firstIn + 4, first.in);
        std::copy(c.lastOut, c.lastOut + 4, last.out);
        builder.addBlock(first).addBlock(middle).addBlock(last).announce(3);
        TSTLReader reader(GetParam());
        ASSERT_EQ(Open(reader, Write(builder)), S_OK);
        EXPECT_EQ(reader.GetDuration(), c.expected);
    }
}

TEST_P(BothVariantsTest, SparseFileOfTwoGigabytes) {
    const auto path = Write(StlFileBuilder().addBlocks(2));
    const std::int64_t size = (std::int64_t{2} << 30) + 100;
    ASSERT_EQ(::truncate(path.c_str(), size), 0);
    TSTLReader reader(GetParam());
    ASSERT_EQ(Open(reader, path), S_OK);
    EXPECT_EQ(reader.FileSize(), size);
    if (GetParam() == TSTLVariant::Viewer) {
        const std::uint32_t present = static_cast<std::uint32_t>((size - 1024) / 128);
        EXPECT_EQ(reader.GetTextAndTimingInformationTotalCount(), std::int32_t(present));
        PTextAndTimingInformation tti = nullptr;
        ASSERT_EQ(reader.GetTextAndTimingInformation(present - 1, &tti), S_OK);
        EXPECT_EQ(std::count(tti->Bytes, tti->Bytes + TTI_BLOCK_SIZE, 0), 128);
        EXPECT_EQ(reader.GetTextAndTimingInformation(present, &tti), E_FAIL);
        EXPECT_EQ(debug.lines(), std::vector<std::string>{kInvalidIndex});
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, BothVariantsTest,
                         ::testing::Values(TSTLVariant::Viewer, TSTLVariant::Plugin),
                         [](const auto& info) {
                             return info.param == TSTLVariant::Viewer ? "Viewer" : "Plugin";
                         });

// Where the variants differ.
class ViewerReaderTest : public ReaderTest {};
class PluginReaderTest : public ReaderTest {};

TEST_F(ViewerReaderTest, MoreBlocksPresentThanAnnounced) {
    TSTLReader reader(TSTLVariant::Viewer);
    ASSERT_EQ(Open(reader, Write(StlFileBuilder().addBlocks(12).announce(10))), S_OK);
    EXPECT_EQ(reader.GetTextAndTimingInformationCount(), 10);
    EXPECT_EQ(reader.GetTextAndTimingInformationTotalCount(), 12);
    // The list fill reads until the first failure: every block present.
    PTextAndTimingInformation tti = nullptr;
    std::uint32_t rows = 0;
    while (reader.GetTextAndTimingInformation(rows, &tti) == S_OK) ++rows;
    EXPECT_EQ(rows, 12u);
    EXPECT_EQ(debug.lines(), std::vector<std::string>{kInvalidIndex});
    // Blocks 0 .. 9: 10:00:00:00 to 10:00:29:00.
    EXPECT_EQ(reader.GetDuration(), 290'000'000);
}

TEST_F(ViewerReaderTest, TrailingPartialBlockIsIgnored) {
    TSTLReader reader(TSTLVariant::Viewer);
    ASSERT_EQ(Open(reader, Write(StlFileBuilder().addBlocks(2).trailing({1, 2, 3}))), S_OK);
    EXPECT_EQ(reader.GetTextAndTimingInformationTotalCount(), 2);
}

TEST_F(ViewerReaderTest, FewerBlocksPresentThanAnnounced) {
    TSTLReader reader(TSTLVariant::Viewer);
    const auto path = Write(StlFileBuilder().addBlocks(10).announce(12));
    EXPECT_EQ(Open(reader, path, false), E_FAIL);
    EXPECT_TRUE(log.entries.empty());
    EXPECT_EQ(debug.lines(), std::vector<std::string>{kInvalidSize});
    EXPECT_EQ(reader.FileStream(), -1);
    EXPECT_FALSE(IsSTLFile(path, false, TSTLVariant::Viewer));
}

TEST_F(ViewerReaderTest, CountIsParsedBeforeTheDiskFormatCode) {
    TSTLReader reader(TSTLVariant::Viewer);
    EXPECT_EQ(Open(reader, Write(StlFileBuilder()
                                     .gsi(gsi::DiskFormatCode, "STL24.01")
                                     .gsi(gsi::TotalNumberOfTTI, "12a"))),
              E_FAIL);
    EXPECT_TRUE(log.entries.empty());
    EXPECT_EQ(debug.lines(), std::vector<std::string>{kOpenFailed});
}

TEST_F(ViewerReaderTest, ReportsDecodeWithTheAnsiCodePage) {
    if (platform::systemAnsiCodePage() != 1252) GTEST_SKIP() << "needs a Western locale";
    TSTLReader reader(TSTLVariant::Viewer);
    ASSERT_EQ(Open(reader, Write(StlFileBuilder()
                                     .gsi(gsi::OriginalProgrammeTitle, "Caf\xE9 \x80")
                                     .gsi(gsi::CreationDate,
                                          "\xE9\xE9"
                                          "0315"))),
              S_OK);
    EXPECT_EQ(log.textOf(306), "GSI - Original Programme Title : Caf\u00E9 \u20AC");
    EXPECT_EQ(log.textOf(313), "GSI - Creation Date : 15:03:\u00E9\u00E9");
}

TEST_F(PluginReaderTest, MoreBlocksPresentThanAnnounced) {
    TSTLReader reader(TSTLVariant::Plugin);
    ASSERT_EQ(Open(reader, Write(StlFileBuilder().addBlocks(12).announce(10))), S_OK);
    PTextAndTimingInformation tti = nullptr;
    EXPECT_EQ(reader.GetTextAndTimingInformation(9, &tti), S_OK);
    EXPECT_EQ(reader.GetTextAndTimingInformation(10, &tti), E_FAIL);
    EXPECT_EQ(reader.GetTextAndTimingInformation(11, &tti), E_FAIL);
    EXPECT_EQ(debug.lines(), std::vector<std::string>(2, kInvalidIndex));
    EXPECT_EQ(reader.GetDuration(), 290'000'000);
}

TEST_F(PluginReaderTest, FewerBlocksPresentThanAnnouncedWithSizeCheck) {
    TSTLReader reader(TSTLVariant::Plugin);
    EXPECT_EQ(Open(reader, Write(StlFileBuilder().addBlocks(10).announce(12)), true), E_FAIL);
    EXPECT_EQ(log.ids(), Append(GSILineIds(), 401));
    EXPECT_EQ(log.textOf(401),
              "Invalid STL file size and Text And Timing Information records count");
    EXPECT_EQ(log.entries.back().type, REPORT_TYPE_ERROR);
    EXPECT_EQ(reader.FileStream(), -1);
    EXPECT_TRUE(debug.lines().empty());
}

TEST_F(PluginReaderTest, FewerBlocksPresentThanAnnouncedWithoutSizeCheck) {
    TSTLReader reader(TSTLVariant::Plugin);
    const auto path = Write(StlFileBuilder().addBlocks(10).announce(12));
    ASSERT_EQ(Open(reader, path, false), S_OK);
    EXPECT_EQ(log.ids(), GSILineIds());
    PTextAndTimingInformation tti = nullptr;
    EXPECT_EQ(reader.GetTextAndTimingInformation(9, &tti), S_OK);
    EXPECT_EQ(reader.GetTextAndTimingInformation(10, &tti), E_FAIL);
    EXPECT_EQ(reader.GetTextAndTimingInformation(11, &tti), E_FAIL);
    EXPECT_EQ(debug.lines(), std::vector<std::string>(2, kCannotRead));
    debug.clear();
    EXPECT_EQ(reader.GetDuration(), 0);
    EXPECT_EQ(debug.lines(),
              (std::vector<std::string>{kCannotRead,
                                        "vyr: Error in TSTLReader.GetDuration - cannot retrieve "
                                        "the last Text And Timing item."}));
    EXPECT_TRUE(IsSTLFile(path, false, TSTLVariant::Plugin));
    EXPECT_FALSE(IsSTLFile(path, true, TSTLVariant::Plugin));
}

TEST_F(PluginReaderTest, DiskFormatCodeIsCheckedBeforeTheCount) {
    TSTLReader reader(TSTLVariant::Plugin);
    EXPECT_EQ(Open(reader, Write(StlFileBuilder()
                                     .gsi(gsi::DiskFormatCode, "STL24.01")
                                     .gsi(gsi::TotalNumberOfTTI, "12a"))),
              E_FAIL);
    EXPECT_EQ(log.ids(), std::vector<std::int32_t>{203});
    EXPECT_TRUE(debug.lines().empty());
}

TEST_F(PluginReaderTest, ReportsEveryGSILineWithRawBytes) {
    TSTLReader reader(TSTLVariant::Plugin);
    ASSERT_EQ(Open(reader, Write(StlFileBuilder()
                                     .addBlocks(1)
                                     .gsi(gsi::OriginalEpisodeTitle, "Caf\xE9")
                                     .gsi(gsi::Publisher, "\x01Pub\x0A")
                                     .gsi(gsi::EditorsName, std::string_view("Ann\0Bob", 7)))),
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
    ASSERT_EQ(log.ids(), GSILineIds());
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
        TSTLReader reader(TSTLVariant::Plugin);
        ASSERT_EQ(Open(reader, Write(StlFileBuilder()
                                         .gsi(gsi::CreationDate, stored)
                                         .gsi(gsi::RevisionDate, stored))),
                  S_OK);
        EXPECT_EQ(log.textOf(313), std::string("GSI - Creation Date : ") + shown);
        EXPECT_EQ(log.textOf(314), std::string("GSI - Revision Date : ") + shown);
    }
}

TEST_F(ViewerReaderTest, HugeSparseFileCountStaysPositive) {
    const auto path = Write(StlFileBuilder());
    if (::truncate(path.c_str(), std::int64_t{1} << 40) != 0)
        GTEST_SKIP() << "file system refuses a 1 TB sparse file";
    TSTLReader reader(TSTLVariant::Viewer);
    ASSERT_EQ(Open(reader, path), S_OK);
    EXPECT_EQ(reader.GetTextAndTimingInformationTotalCount(),
              std::numeric_limits<std::int32_t>::max());
}

}  // namespace

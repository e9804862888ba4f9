// The chunked block walk must give exactly what block-by-block reads give.

#include <gtest/gtest.h>

#include <fstream>

#include "stl/StlReader.h"
#include "stl/TtiBlockCursor.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"

using testsupport::StlFileBuilder;

namespace {

std::vector<std::uint16_t> walkNumbers(StlReader& reader, std::uint32_t blocks, std::size_t chunk) {
    TtiBlockCursor cursor(reader, chunk);
    std::vector<std::uint16_t> numbers;
    PTextAndTimingInformation block = nullptr;
    for (std::uint32_t i = 0; i < blocks && cursor.get(i, &block) == S_OK; ++i)
        numbers.push_back(subtitleNumberOf(*block));
    return numbers;
}

}  // namespace

TEST(TTIBlockCursor, MatchesSingleReadsAcrossChunksAndStopsWhereTheReaderStops) {
    testsupport::TempDir dir;
    testsupport::DebugCapture debug;
    const std::string path = StlFileBuilder().addBlocks(7).writeTo(dir.file("a.stl"));
    for (const StlVariant variant : {StlVariant::Viewer, StlVariant::Plugin}) {
        StlReader reader(variant);
        ASSERT_EQ(reader.openFile(path, false), S_OK);
        const std::vector<std::uint16_t> expected = {1, 2, 3, 4, 5, 6, 7};
        EXPECT_EQ(walkNumbers(reader, 10, 3), expected);
        EXPECT_EQ(walkNumbers(reader, 10, 512), expected);
        EXPECT_EQ(walkNumbers(reader, 10, 1), expected);
        // Past the last block the reader's own answer and diagnostic come back.
        debug.clear();
        TtiBlockCursor cursor(reader, 4);
        PTextAndTimingInformation block = nullptr;
        EXPECT_EQ(cursor.get(7, &block), E_FAIL);
        EXPECT_FALSE(debug.lines().empty());
        EXPECT_EQ(cursor.get(0, nullptr), E_FAIL);
    }
}

TEST(TTIBlockCursor, ANewWalkSeesBytesChangedOnDisk) {
    testsupport::TempDir dir;
    const std::string path = StlFileBuilder().addBlocks(5).writeTo(dir.file("b.stl"));
    StlReader reader;
    ASSERT_EQ(reader.openFile(path, true), S_OK);
    EXPECT_EQ(walkNumbers(reader, 5, 512)[3], 4);
    {
        std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(static_cast<std::streamoff>(ttiBlockOffset(3) + 1));
        f.put(char(0x39));
        f.put(char(0x30));
    }
    EXPECT_EQ(walkNumbers(reader, 5, 512)[3], 12345);
}

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "stl/FormatCheck.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"

namespace {

using testsupport::StlFileBuilder;
using Verdict = FormatCheck::Verdict;

struct FormatCase {
    const char* what;
    StlFileBuilder file;
    Verdict verdict;
    std::string reason;
    int framesPerSecond;
};

StlFileBuilder withCode(const char* code) {
    StlFileBuilder b;
    b.gsi(gsi::diskFormatCode, code).addBlocks(3);
    return b;
}

StlFileBuilder announcing(const char* count) {
    StlFileBuilder b;
    b.addBlocks(2).gsi(gsi::totalNumberOfTti, count);
    return b;
}

TEST(FormatCheck, NamesTheReasonAndWhatCanStillBeShown) {
    const FormatCase cases[] = {
        {"standard 25", withCode("STL25.01"), Verdict::Standard, "", 25},
        {"standard 30 in lower case", withCode("stl30.01"), Verdict::Standard, "", 30},
        {"24 fps", withCode("STL24.01"), Verdict::NonStandardDiskFormat,
         "The disk format code is STL24.01; only STL25.01 and STL30.01 are standard.", 24},
        {"23.976 fps", withCode("STL23.01"), Verdict::NonStandardDiskFormat,
         "The disk format code is STL23.01; only STL25.01 and STL30.01 are standard.", 24},
        {"50 fps", withCode("STL50.01"), Verdict::NonStandardDiskFormat,
         "The disk format code is STL50.01; only STL25.01 and STL30.01 are standard.", 50},
        {"unknown code", withCode("XYZ12.34"), Verdict::Refused,
         "The disk format code is XYZ12.34; only STL25.01 and STL30.01 are standard.", 0},
        {"missing blocks", StlFileBuilder().addBlocks(2).announce(1215), Verdict::MissingBlocks,
         "The header announces 1,215 text blocks, the file holds 2.", 25},
        {"both", withCode("STL29.01").announce(5), Verdict::NonStandardDiskFormat,
         "The disk format code is STL29.01; only STL25.01 and STL30.01 are standard. The header "
         "announces 5 text blocks, the file holds 3.",
         30},
        {"more present than announced", StlFileBuilder().addBlocks(4).announce(2),
         Verdict::Standard, "", 25},
        {"non-digit count", announcing("12a45"), Verdict::Refused,
         "The header's count of text blocks, \"12a45\", is not a number.", 25},
        {"negative count", announcing("-0001"), Verdict::Refused,
         "The header announces a negative number of text blocks (-1).", 25},
    };
    testsupport::TempDir dir;
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.what);
        const FormatCheck check = checkStlFormat(c.file.writeTo(dir.path() + "/f.stl"));
        EXPECT_EQ(check.verdict, c.verdict);
        EXPECT_EQ(check.reason, c.reason);
        EXPECT_EQ(check.framesPerSecond, c.framesPerSecond);
        EXPECT_EQ(check.canOpenReadOnly(), c.verdict == Verdict::NonStandardDiskFormat ||
                                               c.verdict == Verdict::MissingBlocks);
    }
}

TEST(FormatCheck, FilesThatAreNoSubtitleFiles) {
    testsupport::TempDir dir;
    const std::string shortFile = dir.path() + "/short.stl";
    StlFileBuilder b;
    auto bytes = b.bytes();
    bytes.resize(100);
    FILE* f = std::fopen(shortFile.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    EXPECT_EQ(checkStlFormat(shortFile).reason,
              "The file holds 100 bytes, too few for the 1,024-byte header of an STL file.");
    EXPECT_EQ(checkStlFormat(dir.path()).reason, "This is not a regular file.");
    EXPECT_EQ(checkStlFormat(dir.path() + "/none.stl").reason, "The file cannot be found or read.");
    EXPECT_EQ(withThousands(99999), "99,999");
    EXPECT_EQ(withThousands(1000000), "1,000,000");
    EXPECT_EQ(withThousands(999), "999");
    EXPECT_EQ(withThousands(-1234), "-1,234");
    EXPECT_EQ(withThousands(INT64_MIN), "-9,223,372,036,854,775,808");
}

}  // namespace

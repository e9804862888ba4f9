#include <gtest/gtest.h>

#include "RepairSupport.h"

using namespace repairtest;
using repair::Fix;

namespace {

// Three subtitles (two with a chain of two blocks), a user data block, two groups.
testsupport::StlFileBuilder countsFile() {
    Block first = subtitleBlock(1, at(0, 1, 0), at(0, 2, 0)), userData = first, second = first,
          comment = subtitleBlock(3, at(0, 5, 0), at(0, 6, 0));
    first.extension = 0;
    userData.extension = 0xFE;
    second.group = comment.group = 1;
    second.number = 2;
    comment.comment = 1;
    testsupport::StlFileBuilder file;
    file.addBlock(first)
        .addBlock(subtitleBlock(1, at(0, 1, 0), at(0, 2, 0)))
        .addBlock(userData)
        .addBlock(second)
        .addBlock(comment)
        .gsi(gsi::totalNumberOfSubtitles, "00009")
        .gsi(gsi::totalNumberOfSubtitleGroups, "7")
        .announce(3);
    return file;
}

TEST(HeaderFixTest, CountsAreSetFromTheBlocks) {
    struct Case {
        Fix fix;
        const StlField& field;
        const char* expected;
    };
    const Case cases[] = {
        {Fix::BlockCount, gsi::totalNumberOfTti, "00005"},
        {Fix::SubtitleCount, gsi::totalNumberOfSubtitles, "00003"},
        {Fix::GroupCount, gsi::totalNumberOfSubtitleGroups, "002"},
    };
    const std::string input = bytesOf(countsFile());
    for (const Case& c : cases) {
        SCOPED_TRACE(repair::fixName(c.fix));
        const Repaired r = repaired(input, fixes({c.fix}));
        ASSERT_EQ(r.proposal.changes.size(), 1u);
        EXPECT_EQ(r.proposal.changes[0].field, c.field.name);
        EXPECT_EQ(gsiField(r.bytes, c.field), c.expected);
        // Nothing but the field differs.
        std::string back = r.bytes;
        back.replace(c.field.offset, c.field.length, gsiField(input, c.field));
        EXPECT_EQ(back, input);
        EXPECT_TRUE(repaired(r.bytes, fixes({c.fix})).proposal.changes.empty());
    }
}

}  // namespace

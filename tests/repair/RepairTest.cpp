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

namespace {

std::string textBlockFile(std::string_view text, std::string_view dsc = "1") {
    testsupport::StlFileBuilder file;
    Block b = subtitleBlock(1, at(0, 1, 0), at(0, 2, 0), text);
    // The builder fills the field after the text with unused space; the text may say otherwise.
    b.text.resize(std::min<std::size_t>(b.text.size(), TTI_TEXT_FIELD_SIZE));
    file.addBlock(b)
        .announce(1)
        .gsi(gsi::displayStandardCode, dsc)
        .gsi(gsi::totalNumberOfSubtitles, "00001");
    return bytesOf(file);
}

std::string padded(std::string text) {
    text.resize(TTI_TEXT_FIELD_SIZE, '\x8F');
    return text;
}

TEST(TextFixTest, TextFieldsAreCleanedUp) {
    struct Case {
        Fix fix;
        std::string text, expected;
    };
    const Case cases[] = {
        {Fix::UnusedSpace, std::string("Hi\x8FX\x8F\x20", 6), padded("Hi")},
        {Fix::UnusedSpace, "Hi", padded("Hi")},
        {Fix::TrailingSpaces, "Hi  \x8AThere ", padded("Hi\x8AThere")},
        {Fix::TrailingSpaces, "  \x8A\x8A Hi", padded("\x8A\x8A Hi")},
        // Junk after the end of the text keeps its place.
        {Fix::TrailingSpaces, std::string("Hi \x8FZ", 5), padded(std::string("Hi\x8F\x8FZ", 5))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Repaired r = repaired(textBlockFile(c.text), fixes({c.fix}));
        EXPECT_EQ(blockField(r.bytes, 0, tti::textField), c.expected);
        EXPECT_EQ(repaired(r.bytes, fixes({c.fix})).proposal.changes.size(), 0u);
    }
}

TEST(TextFixTest, TrailingSpacesAtTheEndOfAChainBlockAreKept) {
    Block first = subtitleBlock(1, at(0, 1, 0), at(0, 2, 0), "Hello "),
          last = subtitleBlock(1, at(0, 1, 0), at(0, 2, 0), "world ");
    first.extension = 0;
    testsupport::StlFileBuilder file;
    file.addBlock(first).addBlock(last).announce(2);
    const Repaired r = repaired(bytesOf(file), fixes({Fix::TrailingSpaces}));
    EXPECT_EQ(blockField(r.bytes, 0, tti::textField), padded("Hello "));
    EXPECT_EQ(blockField(r.bytes, 1, tti::textField), padded("world"));
}

TEST(TextFixTest, RenumberCountsOnFromTheFirstNumber) {
    Block chained = subtitleBlock(9, at(0, 2, 0), at(0, 3, 0));
    chained.extension = 0;
    Block userData = chained;
    userData.extension = 0xFE;
    userData.number = 40;
    testsupport::StlFileBuilder file;
    file.addBlock(subtitleBlock(5, at(0, 1, 0), at(0, 2, 0)))
        .addBlock(chained)
        .addBlock(userData)
        .addBlock(subtitleBlock(9, at(0, 2, 0), at(0, 3, 0)))
        .addBlock(subtitleBlock(3, at(0, 4, 0), at(0, 5, 0)))
        .announce(5);
    const std::string input = bytesOf(file);
    // Only when chosen: no profile-like set of fixes renumbers.
    EXPECT_TRUE(repaired(input, fixes({Fix::Overlap, Fix::BlockCount})).proposal.changes.empty());
    const Repaired r = repaired(input, fixes({Fix::Renumber}));
    const auto number = [&](std::uint32_t block) {
        return static_cast<int>(subtitleNumberOf(*reinterpret_cast<const TextAndTimingInformation*>(
            r.bytes.data() + ttiBlockOffset(block))));
    };
    EXPECT_EQ((std::vector<int>{number(0), number(1), number(2), number(3), number(4)}),
              (std::vector<int>{5, 6, 40, 6, 7}));
}

TEST(HeaderFixTest, DisplayStandardFollowsTheCodes) {
    struct Case {
        const char* dsc;
        std::string text;
        const char* expected;
        std::size_t notFixed;
    };
    const Case cases[] = {
        {"0", "\x0D\x0BHi", "1", 0},  // teletext codes in an open file
        {" ", "\x07Hi", "1", 0},      // undefined: read as open
        {"1", "\x80Hi\x81", "0", 0},  // open codes only
        {"1", "\x07Hi", "1", 0},      // agrees
        {"2", "\x80Hi", "2", 0},      // Level 2 left alone
        {"0", "Hi", "0", 0},          // no codes: nothing to tell
        {"1", "\x07Hi\x80", "1", 1},  // both kinds
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.dsc) + " " + c.text);
        const Repaired r = repaired(textBlockFile(c.text, c.dsc), fixes({Fix::DisplayStandard}));
        EXPECT_EQ(gsiField(r.bytes, gsi::displayStandardCode), c.expected);
        EXPECT_EQ(r.proposal.notFixed.size(), c.notFixed);
    }
}

TEST(HeaderFixTest, TimeCodesOfTheHeaderFollowTheSubtitles) {
    struct Case {
        Fix fix;
        const char* tcp;
        const char* tcf;
        const char* setTcp;  // --set tcp, or null
        const StlField& field;
        const char* expected;
    };
    // The first subtitle comes in at 10:00:01:00 (a comment before it does not count).
    const Case cases[] = {
        {Fix::FirstInCue, "10000000", "10000000", nullptr, gsi::timeCodeFirstInCue, "10000100"},
        {Fix::FirstInCue, "10000000", "", nullptr, gsi::timeCodeFirstInCue, "10000100"},
        {Fix::StartOfProgramme, "10000200", "", nullptr, gsi::timeCodeStartOfProgramme, "10000000"},
        {Fix::StartOfProgramme, "abc", "", nullptr, gsi::timeCodeStartOfProgramme, "10000000"},
        {Fix::StartOfProgramme, "09595900", "", nullptr, gsi::timeCodeStartOfProgramme, "09595900"},
        {Fix::StartOfProgramme, "09595900", "", "09:00:00:00", gsi::timeCodeStartOfProgramme,
         "09000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        std::string input =
            timedFile({{at(0, 0, 5), at(0, 0, 10), 0, true}, {at(0, 1, 0), at(0, 2, 0)}});
        repair::Options options = fixes({c.fix});
        if (c.setTcp) {
            ASSERT_TRUE(repair::setParameter(options, "tcp", c.setTcp, 25));
        }
        std::string tcp = c.tcp, tcf = c.tcf;
        tcp.resize(8, ' ');
        tcf.resize(8, ' ');
        input.replace(gsi::timeCodeStartOfProgramme.offset, 8, tcp);
        input.replace(gsi::timeCodeFirstInCue.offset, 8, tcf);
        EXPECT_EQ(gsiField(repaired(input, options).bytes, c.field), c.expected);
    }
}

TEST(HeaderFixTest, RevisionOnlyWhenSomethingElseChanges) {
    struct Case {
        const char* number;
        const char* tns;
        const char* expectedNumber;
        const char* expectedDate;
    };
    const Case cases[] = {
        {"01", "00009", "02", "240131"},
        {"99", "00009", "99", "240131"},
        {"  ", "00009", "01", "240131"},
        {"01", "00001", "01", "120316"},  // nothing else changed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        std::string input = textBlockFile("Hi");
        input.replace(gsi::revisionNumber.offset, 2, c.number);
        input.replace(gsi::totalNumberOfSubtitles.offset, 5, c.tns);
        const Repaired r = repaired(input, fixes({Fix::SubtitleCount, Fix::Revision}));
        EXPECT_EQ(gsiField(r.bytes, gsi::revisionNumber), c.expectedNumber);
        EXPECT_EQ(gsiField(r.bytes, gsi::revisionDate), c.expectedDate);
    }
}

}  // namespace

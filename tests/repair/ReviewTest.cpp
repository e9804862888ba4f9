// What a review relies on: a change written alone writes only its own bytes, the revision follows
// the changes really written, a document and a file repaired alike, parameters and profiles read
// as documented.

#include <gtest/gtest.h>

#include "RepairSupport.h"
#include "repair/ProfileOptions.h"

using namespace repairtest;
using repair::Fix;

namespace {

// Overlap, short gap, short and long subtitles, stray bytes, trailing spaces, wrong counts.
std::string messyFile() {
    testsupport::StlFileBuilder file;
    std::string stray =
        "Hi \x8A"
        "there  \x8F";
    stray += "X";
    file.addBlock(subtitleBlock(3, at(0, 1, 0), at(0, 2, 10), stray))
        .addBlock(subtitleBlock(7, at(0, 2, 0), at(0, 2, 5)))
        .addBlock(subtitleBlock(7, at(0, 2, 6), at(0, 20, 0)))
        .addBlock(subtitleBlock(8, at(0, 30, 0), at(0, 29, 0)))
        .announce(2)
        .gsi(gsi::totalNumberOfSubtitles, "00001")
        .gsi(gsi::displayStandardCode, "0")
        .trailing({1, 2, 3});
    return bytesOf(file);
}

repair::Options everything() {
    repair::Options options = fixes({});
    for (const Fix fix : repair::allFixes())
        if (fix != Fix::Shift) repair::add(options.fixes, fix);
    return options;
}

// Offsets of the bytes that differ.
std::vector<std::size_t> differences(const std::string& a, const std::string& b) {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i]) at.push_back(i);
    return at;
}

TEST(ReviewTest, EveryFixAtOnceTouchesOnlyItsFieldsAndSettles) {
    const std::string input = messyFile();
    const Repaired r = repaired(input, everything());
    ASSERT_EQ(r.bytes.size(), input.size());
    EXPECT_EQ(r.bytes.substr(r.bytes.size() - 3), "\x01\x02\x03");
    // Every differing byte lies in an edit of some change.
    for (const std::size_t offset : differences(input, r.bytes)) {
        bool edited = false;
        for (const repair::Change& change : r.proposal.changes)
            for (const repair::ByteEdit& edit : change.edits)
                edited =
                    edited || (offset >= edit.offset && offset < edit.offset + edit.bytes.size());
        EXPECT_TRUE(edited) << offset;
    }
    const Repaired again = repaired(r.bytes, everything());
    EXPECT_TRUE(again.proposal.changes.empty()) << again.proposal.changes.front().field;
    EXPECT_EQ(again.bytes, r.bytes);
}

TEST(ReviewTest, ChangesWrittenOneByOneAddUpToAllOfThem) {
    const std::string input = messyFile();
    const repair::Proposal proposal = repair::propose(repair::documentOfBytes(input), everything());
    ASSERT_GT(proposal.changes.size(), 5u);
    std::string oneByOne = input;
    for (std::size_t i = 0; i < proposal.changes.size(); ++i) {
        std::vector<bool> chosen(proposal.changes.size(), false);
        chosen[i] = true;
        std::string alone = input;
        repair::applyChanges(alone, proposal, chosen);
        const bool revision = proposal.changes[i].fix() == Fix::Revision;
        // The revision alone is no change of the file.
        EXPECT_EQ(alone == input, revision) << proposal.changes[i].field;
        repair::applyChanges(oneByOne, proposal, chosen);
    }
    std::string all = input;
    repair::applyChanges(all, proposal, repair::chooseAll(proposal));
    EXPECT_EQ(oneByOne.substr(GSI_BLOCK_SIZE), all.substr(GSI_BLOCK_SIZE));

    // The document applies the same bytes as the file.
    subtitle::Document document = repair::documentOfBytes(input);
    repair::applyChanges(document, proposal, repair::chooseAll(proposal));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(document.gsi.bytes), GSI_BLOCK_SIZE),
              all.substr(0, GSI_BLOCK_SIZE));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(document.blocks.data()),
                          document.blocks.size() * TTI_BLOCK_SIZE),
              all.substr(GSI_BLOCK_SIZE, document.blocks.size() * TTI_BLOCK_SIZE));
    EXPECT_EQ(document.subtitles.size(), 4u);
}

TEST(ReviewTest, ParametersAreReadAsDocumented) {
    struct Case {
        const char* name;
        const char* value;
        int fps;
        bool ok;
        Fix fix;
        std::int64_t frames;  // of the parameter set
    };
    const Case cases[] = {
        {"gap", "3", 25, true, Fix::Gap, 3},
        {"gap", "-3", 25, false, Fix::Gap, 0},
        {"gap", "2.5", 25, false, Fix::Gap, 0},
        {"min-duration", "30", 25, true, Fix::MinDuration, 30},
        {"max-duration", "", 25, false, Fix::MaxDuration, 0},
        {"shift", "-12", 25, true, Fix::Shift, -12},
        {"shift", "-00:00:01:05", 25, true, Fix::Shift, -30},
        {"shift", "+00:00:01:05", 30, true, Fix::Shift, 35},
        {"shift", "00:00:01:25", 25, false, Fix::Shift, 0},
        {"tcp", "09:59:00:00", 25, true, Fix::StartOfProgramme, (9 * 3600 + 59 * 60) * 25},
        {"tcp", "09590000", 30, true, Fix::StartOfProgramme, (9 * 3600 + 59 * 60) * 30},
        {"tcp", "24:00:00:00", 25, false, Fix::StartOfProgramme, 0},
        {"revision-date", "240229", 25, true, Fix::Revision, 0},
        {"revision-date", "2024-02", 25, false, Fix::Revision, 0},
        {"speed", "1", 25, false, Fix::Gap, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "=" + c.value);
        repair::Options options;
        std::string error;
        EXPECT_EQ(repair::setParameter(options, c.name, c.value, c.fps, &error), c.ok);
        EXPECT_EQ(error.empty(), c.ok);
        EXPECT_EQ(repair::has(options.fixes, c.fix), c.ok);
        if (!c.ok) continue;
        const repair::Parameters& p = options.parameters;
        const std::int64_t set = c.fix == Fix::Gap           ? p.gapFrames
                                 : c.fix == Fix::MinDuration ? p.minDurationFrames
                                 : c.fix == Fix::Shift       ? p.shiftFrames
                                 : c.fix == Fix::Revision    ? 0
                                                             : *p.startOfProgrammeFrames;
        EXPECT_EQ(set, c.frames);
    }
    for (const Fix fix : repair::allFixes())
        EXPECT_EQ(repair::fixFromName(repair::fixName(fix)), fix);
}

TEST(ReviewTest, ProfilesChooseTheFixesOfTheirRulesInFramesOfTheFile) {
    auto profile = readProfileFile(REPAIR_PROFILES_DIR "/teletext.ini");
    ASSERT_TRUE(profile);
    struct Case {
        int fps;
        std::int64_t minimum;
    };
    for (const Case c : {Case{25, 25}, Case{30, 30}}) {
        const repair::Options options = repair::profileOptions(profile->settings, c.fps);
        EXPECT_EQ(options.parameters.gapFrames, 1);
        EXPECT_EQ(options.parameters.minDurationFrames, c.minimum);
        for (const Fix fix : {Fix::BlockCount, Fix::SubtitleCount, Fix::GroupCount, Fix::Overlap,
                              Fix::Gap, Fix::MinDuration, Fix::FirstInCue, Fix::StartOfProgramme,
                              Fix::DisplayStandard, Fix::UnusedSpace, Fix::Revision})
            EXPECT_TRUE(repair::has(options.fixes, fix)) << repair::fixName(fix);
        for (const Fix fix :
             {Fix::MaxDuration, Fix::Shift, Fix::OutBeforeIn, Fix::Renumber, Fix::TrailingSpaces})
            EXPECT_FALSE(repair::has(options.fixes, fix)) << repair::fixName(fix);
    }
    // Milliseconds rounded so that the rule is met: 833 ms is 20.8 frames at 25 fps.
    setThresholdFromText(*profile->settings.find(503), "833");
    setThresholdFromText(*profile->settings.find(504), "7010");
    profile->settings.find(504)->enabled = true;
    const repair::Options options = repair::profileOptions(profile->settings, 25);
    EXPECT_EQ(options.parameters.minDurationFrames, 21);
    EXPECT_EQ(options.parameters.maxDurationFrames, 175);
    std::string error;
    EXPECT_FALSE(repair::findRepairProfile("no-such-profile", &error));
    EXPECT_EQ(error, "no profile named no-such-profile");
}

}  // namespace

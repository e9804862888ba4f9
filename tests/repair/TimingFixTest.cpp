// The timing fixes on small files: which times move, by how much, and what is left as not fixed.

#include <gtest/gtest.h>

#include "RepairSupport.h"

using namespace repairtest;
using repair::Fix;

namespace {

struct TimingCase {
    const char* name;
    std::vector<Timed> input;
    std::vector<Fix> fixes;
    std::vector<std::pair<const char*, const char*>> settings;
    std::vector<Timed> expected;
    std::size_t notFixed = 0;
};

repair::Options optionsOf(const TimingCase& c) {
    repair::Options options;
    for (const Fix fix : c.fixes) repair::add(options.fixes, fix);
    for (const auto& [name, value] : c.settings) {
        std::string error;
        EXPECT_TRUE(repair::setParameter(options, name, value, 25, &error)) << error;
    }
    return options;
}

TEST(TimingFixTest, MovesOnlyTheTimesTheFixesName) {
    const int a = at(0, 1, 0), b = at(0, 2, 0), c = at(0, 3, 0), d = at(0, 4, 0);
    const std::vector<TimingCase> cases = {
        {"gap ends the earlier sooner",
         {{a, b + 1}, {b + 2, c}},
         {Fix::Gap},
         {{"gap", "2"}},
         {{a, b}, {b + 2, c}}},
        {"a gap already kept is left",
         {{a, b}, {b + 2, c}},
         {Fix::Gap},
         {{"gap", "2"}},
         {{a, b}, {b + 2, c}}},
        {"an overlap ends at the next in-time minus the gap",
         {{a, c}, {b, d}},
         {Fix::Overlap},
         {{"gap", "3"}},
         {{a, b - 3}, {b, d}}},
        {"overlap alone leaves short gaps",
         {{a, b}, {b + 1, c}},
         {Fix::Overlap},
         {},
         {{a, b}, {b + 1, c}}},
        {"comments are passed over",
         {{a, c}, {a + 5, d, 0, true}, {b, d}},
         {Fix::Overlap, Fix::Gap},
         {{"gap", "2"}},
         {{a, b - 2}, {a + 5, d}, {b, d}}},
        {"parts of a set share their out-time; the set ends before the next",
         {{a, d, 1}, {b, d, 3}, {c, d + 25}},
         {Fix::Overlap},
         {{"gap", "2"}},
         {{a, c - 2}, {b, c - 2}, {c, d + 25}}},
        {"out of time order: the later one comes in after the earlier",
         {{b, b + 10}, {a, d}},
         {Fix::Overlap},
         {{"gap", "2"}},
         {{b, b + 10}, {b + 12, d}}},
        {"neither can give way", {{b, c}, {a, b + 5}}, {Fix::Overlap}, {}, {{b, c}, {a, b + 5}}, 1},
        {"minimum duration extends into free time",
         {{a, a + 10}, {c, d}},
         {Fix::MinDuration},
         {{"min-duration", "25"}, {"gap", "2"}},
         {{a, a + 25}, {c, d}}},
        {"minimum duration keeps the gap and says what it could not do",
         {{a, a + 10}, {a + 20, d}},
         {Fix::MinDuration},
         {{"min-duration", "25"}, {"gap", "2"}},
         {{a, a + 18}, {a + 20, d}},
         1},
        {"minimum duration leaves a cumulative part",
         {{a, a + 10, 1}, {a + 5, a + 10, 3}},
         {Fix::MinDuration},
         {},
         {{a, a + 10}, {a + 5, a + 10}},
         2},
        {"maximum duration cuts",
         {{a, d}},
         {Fix::MaxDuration},
         {{"max-duration", "50"}},
         {{a, a + 50}}},
        {"maximum duration cuts a cumulative set's parts together",
         {{a, a + 100, 1}, {a + 20, a + 100, 3}},
         {Fix::MaxDuration},
         {{"max-duration", "50"}},
         {{a, a + 50}, {a + 20, a + 50}}},
        {"maximum duration leaves a set with a part coming in after the cut",
         {{a, a + 100, 1}, {a + 60, a + 100, 3}},
         {Fix::MaxDuration},
         {{"max-duration", "50"}},
         {{a, a + 100}, {a + 60, a + 100}},
         1},
        {"an out-time before the in-time is left unless chosen",
         {{b, a}, {c, c}},
         {Fix::MinDuration, Fix::MaxDuration},
         {},
         {{b, a}, {c, c}}},
        {"out-before-in sets the minimum duration",
         {{b, a}, {c, c}},
         {Fix::OutBeforeIn},
         {{"min-duration", "20"}},
         {{b, b + 20}, {c, c + 20}}},
        {"shift by frames",
         {{a, b}, {c, d, 0, true}},
         {},
         {{"shift", "-30"}},
         {{a - 30, b - 30}, {c - 30, d - 30}}},
        {"shift by a time code", {{a, b}}, {}, {{"shift", "+00:00:01:05"}}, {{a + 30, b + 30}}},
        {"a shift out of the day moves nothing",
         {{a, b}, {2, 20}},
         {},
         {{"shift", "-5"}},
         {{a, b}, {2, 20}},
         1},
    };
    for (const TimingCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string input = timedFile(c.input);
        const Repaired r = repaired(input, optionsOf(c));
        EXPECT_EQ(timesOf(r.bytes), c.expected);
        EXPECT_EQ(r.proposal.notFixed.size(), c.notFixed);
        for (const repair::NotFixed& n : r.proposal.notFixed) EXPECT_FALSE(n.why.empty());
        // A second repair finds nothing more to change (a shift shifts again, by design).
        if (!repair::has(optionsOf(c).fixes, Fix::Shift)) {
            EXPECT_EQ(repaired(r.bytes, optionsOf(c)).proposal.changes.size(), 0u);
        }
    }
}

TEST(TimingFixTest, ShiftMovesStartOfProgrammeAndFirstInCueAlike) {
    std::string input = timedFile({{at(0, 1, 0), at(0, 2, 0)}});
    input.replace(gsi::timeCodeFirstInCue.offset, 8, "10000100");
    repair::Options options;
    ASSERT_TRUE(repair::setParameter(options, "shift", "-00:00:00:10", 25));
    const Repaired r = repaired(input, options);
    EXPECT_EQ(gsiField(r.bytes, gsi::timeCodeStartOfProgramme), "09595915");
    EXPECT_EQ(gsiField(r.bytes, gsi::timeCodeFirstInCue), "10000015");
}

TEST(TimingFixTest, ChainBlocksGetTheNewTime) {
    Block first = subtitleBlock(1, at(0, 1, 0), at(0, 3, 0)), last = first;
    first.extension = 0;
    testsupport::StlFileBuilder file;
    file.addBlock(first).addBlock(last).addBlock(subtitleBlock(2, at(0, 2, 0), at(0, 4, 0)));
    file.announce(3);
    const Repaired r = repaired(bytesOf(file), fixes({Fix::Overlap}));
    ASSERT_EQ(r.proposal.changes.size(), 1u);
    EXPECT_EQ(r.proposal.changes[0].edits.size(), 2u);
    EXPECT_EQ(r.proposal.changes[0].before, "10:00:03:00");
    EXPECT_EQ(r.proposal.changes[0].after, "10:00:01:23");
    for (std::uint32_t block : {0u, 1u})
        EXPECT_EQ(blockField(r.bytes, block, tti::timeCodeOut), tc(10, 0, 1, 23)) << block;
}

}  // namespace

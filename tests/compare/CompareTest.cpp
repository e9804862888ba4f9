// The comparison engine on crafted pairs: each edit of the second file is found as what it is,
// with nothing else reported.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "CompareFixtures.h"
#include "compare/Comparison.h"
#include "tests/support/TestEnvironment.h"

namespace {

using comparetest::Sub;

struct Case {
    const char* name;
    std::function<void(std::vector<Sub>&)> edit;
    // Of the differences, in order; a changed block count shows as a header difference first.
    std::vector<std::string> kinds;
    std::int64_t offset = 0;
    int fps = 25;
    compare::Options options = {};
    std::string title = "Test Programme";
};

std::vector<std::string> kindsOf(const compare::Comparison& c) {
    std::vector<std::string> kinds;
    for (const auto& d : c.differences) kinds.push_back(compare::kindName(d.kind));
    return kinds;
}

compare::Side load(const std::string& path) {
    std::string error;
    auto side = compare::loadSide(path, error);
    EXPECT_TRUE(side) << path << ": " << error;
    return side ? *side : compare::Side{};
}

TEST(CompareTest, EachEditIsFoundAsWhatItIs) {
    const Case cases[] = {
        {"same", [](auto&) {}, {}},
        {"shift",
         [](auto& s) {
             for (Sub& x : s) x.in += 10, x.out += 10;
         },
         {},
         10},
        {"shift back",
         [](auto& s) {
             for (Sub& x : s) x.in -= 7, x.out -= 7;
         },
         {},
         -7},
        {"shift, offset not sought",
         [](auto& s) {
             for (Sub& x : s) x.in += 10, x.out += 10;
         },
         {"time", "time", "time", "time", "time", "time"},
         0,
         25,
         {0, false}},
        {"text", [](auto& s) { s[2].text = "Nobody saw you at home."; }, {"text"}},
        {"split",
         [](auto& s) {
             s.insert(s.begin() + 3, {s[2].in + 12, s[2].out, "you there."});
             s[2] = {s[2].in, s[2].in + 12, "Nobody saw"};
         },
         {"header", "split"}},
        {"merge",
         [](auto& s) {
             s[1] = {s[1].in, s[2].out, s[1].text + " " + s[2].text};
             s.erase(s.begin() + 2);
         },
         {"header", "merged"}},
        {"insert",
         [](auto& s) {
             s.insert(s.begin() + 2, {100, 110, "Wait."});
         },
         {"header", "added"}},
        {"remove", [](auto& s) { s.erase(s.begin() + 4); }, {"header", "removed"}},
        {"insert and remove with a shift",
         [](auto& s) {
             s.erase(s.begin());
             s.push_back({400, 420, "The end."});
             for (Sub& x : s) x.in += 25, x.out += 25;
         },
         {"removed", "added"},
         25},
        {"out time", [](auto& s) { s[3].out += 3; }, {"time"}},
        {"out time within tolerance", [](auto& s) { s[3].out += 3; }, {}, 0, 25, {3, true}},
        {"position", [](auto& s) { s[0].vertical = 22; }, {"position"}},
        {"colour", [](auto& s) { s[5].text = "\x03" + s[5].text; }, {"style"}},
        {"comment flag", [](auto& s) { s[1].comment = 1; }, {"comment"}},
        // The same real times at 30 fps: only the disk format code tells them apart.
        {"frame rate",
         [](auto& s) {
             for (Sub& x : s) x.in = x.in * 6 / 5, x.out = x.out * 6 / 5;
         },
         {"header"},
         0,
         30},
        {"header field", [](auto&) {}, {"header"}, 0, 25, {}, "Other Programme"},
    };
    testsupport::TempDir dir;
    const std::string a = comparetest::writeFile(comparetest::sixSubtitles(), dir.file("a.stl"));
    for (const Case& c : cases) {
        std::vector<Sub> subs = comparetest::sixSubtitles();
        c.edit(subs);
        const std::string b = comparetest::writeFile(subs, dir.file("b.stl"), c.fps, c.title);
        const compare::Comparison result = compare::compareSides(load(a), load(b), c.options);
        EXPECT_EQ(kindsOf(result), c.kinds) << c.name;
        EXPECT_EQ(result.offset, c.offset) << c.name;
        EXPECT_EQ(result.ratesDiffer, c.fps != 25) << c.name;
        EXPECT_EQ(result.differs(), !c.kinds.empty() || c.offset != 0) << c.name;
    }
}

TEST(CompareTest, DifferencesSayWhatChanged) {
    testsupport::TempDir dir;
    auto subs = comparetest::sixSubtitles();
    const std::string a = comparetest::writeFile(subs, dir.file("a.stl"));
    subs[2].text = "Nobody saw you at home.";
    subs[4].in -= 2;
    subs[0].vertical = 22;
    const std::string b = comparetest::writeFile(subs, dir.file("b.stl"), 25, "Other");
    const compare::Comparison c = compare::compareSides(load(a), load(b), {});
    std::vector<std::string> details;
    for (const auto& d : c.differences) details.push_back(d.detail);
    EXPECT_EQ(details, (std::vector<std::string>{
                           "OriginalProgrammeTitle \"Test Programme\" -> \"Other\"",
                           "VP 20 -> 22, row 20 -> 22",
                           "removed \"there.\", added \"at home.\"",
                           "in -2 frames",
                       }));
    EXPECT_EQ(compare::signedTimeCode(-(3600 * 25 + 61 * 25 + 3), {25, 25, 1}), "-01:01:01:03");
}

// A shifted file moves its first in-cue too: that is the shift, not a difference of its own.
TEST(CompareTest, HeaderTimeCodesMovedByTheShiftArePartOfIt) {
    testsupport::TempDir dir;
    auto subs = comparetest::sixSubtitles();
    const std::string a = comparetest::writeFile(subs, dir.file("a.stl"));
    for (Sub& x : subs) x.in += 10, x.out += 10;
    const auto withFirstInCue = [&](const std::string& name, const char* tcf) {
        const std::string path = comparetest::writeFile(subs, dir.file(name));
        std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(gsi::timeCodeFirstInCue.offset);
        f.write(tcf, 8);
        return path;
    };
    std::fstream af(a, std::ios::in | std::ios::out | std::ios::binary);
    af.seekp(gsi::timeCodeFirstInCue.offset);
    af.write("00000000", 8);
    af.close();
    for (const auto& [tcf, kinds] : {std::pair{"00000010", std::vector<std::string>{}},
                                     std::pair{"00000011", std::vector<std::string>{"header"}}}) {
        const compare::Comparison c = compare::compareSides(
            load(a), load(withFirstInCue(std::string("b") + tcf + ".stl", tcf)), {});
        EXPECT_EQ(c.offset, 10);
        EXPECT_EQ(kindsOf(c), kinds) << tcf;
    }
}

}  // namespace

#include <gtest/gtest.h>

#include "ExportTestSupport.h"
#include "export/CueBuilder.h"
#include "export/SrtWriter.h"
#include "export/VttWriter.h"

namespace {

constexpr FrameRate k25{25, 25, 1};

modeltest::Block timed(TimeCode in, TimeCode out, std::uint8_t cumulative, std::string_view text,
                       char dsc = '1') {
    modeltest::Block b = modeltest::block(1, 0xFF, text);
    const std::uint8_t inBytes[4] = {in.hours, in.minutes, in.seconds, in.frames};
    const std::uint8_t outBytes[4] = {out.hours, out.minutes, out.seconds, out.frames};
    std::copy(inBytes, inBytes + 4, b.in);
    std::copy(outBytes, outBytes + 4, b.out);
    b.cumulative = cumulative;
    (void)dsc;
    return b;
}

std::string describe(const CueList& list) {
    std::string out;
    for (const Cue& cue : list.cues)
        out += std::to_string(cue.startMs) + "-" + std::to_string(cue.endMs) + " " +
               exporttest::markup(list.rows(cue)) + "|";
    for (const std::string& note : list.notes) out += "\n" + note;
    return out;
}

std::string cues(const std::vector<modeltest::Block>& blocks, std::optional<TimeCode> offset = {}) {
    return describe(
        exporttest::cuesOf(modeltest::document(blocks, '0'), {k25, offset, false})->list);
}

TEST(CueBuilderTest, CumulativeSetShowsWhatIsOnScreen) {
    EXPECT_EQ(cues({timed({0, 0, 1, 0}, {0, 0, 2, 0}, 0, "Alone"),
                    timed({0, 0, 3, 0}, {0, 0, 9, 0}, 1, "One"),
                    timed({0, 0, 4, 0}, {0, 0, 9, 0}, 2, "Two"),
                    timed({0, 0, 5, 0}, {0, 0, 9, 0}, 3, "Three"),
                    timed({0, 0, 10, 0}, {0, 0, 11, 0}, 0, "After"),
                    // A set member with no set before it starts afresh.
                    timed({0, 0, 12, 0}, {0, 0, 13, 0}, 3, "Stray")}),
              "1000-2000 Alone|3000-4000 One|4000-5000 One\nTwo|5000-9000 One\nTwo\nThree|"
              "10000-11000 After|12000-13000 Stray|");
    // Each part leaves at its own out-time.
    EXPECT_EQ(cues({timed({0, 0, 0, 0}, {0, 0, 4, 0}, 1, "One"),
                    timed({0, 0, 2, 0}, {0, 0, 9, 0}, 3, "Two")}),
              "0-2000 One|2000-4000 One\nTwo|4000-9000 Two|");
}

TEST(CueBuilderTest, LeavesOutWhatCannotShowAndSortsByStart) {
    EXPECT_EQ(cues({timed({0, 0, 1, 0}, {0, 0, 2, 0}, 0, ""),
                    timed({0, 0, 5, 0}, {0, 0, 4, 0}, 0, "Back"),
                    timed({0, 0, 6, 0}, {0, 0, 7, 0}, 0, "Late"),
                    timed({0, 0, 3, 0}, {0, 0, 4, 0}, 0, "Early")}),
              "3000-4000 Early|6000-7000 Late|"
              "\n1 subtitle left out (out-time not after in-time, or before the programme "
              "start): subtitle 1 (00:00:05:00)."
              "\n1 subtitle written in start-time order: subtitle 1 (00:00:03:00).");
    // Wholly before the programme start: left out; partly before: starts at 0.
    EXPECT_EQ(cues({timed({9, 59, 0, 0}, {9, 59, 1, 0}, 0, "Before"),
                    timed({9, 59, 59, 0}, {10, 0, 1, 0}, 0, "Across")},
                   TimeCode{10, 0, 0, 0}),
              "0-1000 Across|\n1 subtitle left out (out-time not after in-time, or before the "
              "programme start): subtitle 1 (09:59:00:00).");
}

struct TimingCase {
    const char* name;
    FrameRate rate;
    TimeCode in;
    std::optional<TimeCode> offset;
    std::int64_t expectedMs;
};

class CueTimingTest : public ::testing::TestWithParam<TimingCase> {};

TEST_P(CueTimingTest, Converts) {
    const TimingCase& c = GetParam();
    TimeCode out = c.in;
    out.hours = static_cast<std::uint8_t>(out.hours + 1);
    const auto cues = exporttest::cuesOf(modeltest::document({timed(c.in, out, 0, "x")}),
                                         {c.rate, c.offset, false});
    const CueList& list = cues->list;
    ASSERT_EQ(list.cues.size(), 1u);
    EXPECT_EQ(list.cues[0].startMs, c.expectedMs);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CueTimingTest,
    ::testing::Values(
        TimingCase{"At25", k25, {10, 0, 5, 12}, {}, 36005480},
        TimingCase{"At30", {30, 30, 1}, {0, 0, 1, 15}, {}, 1500},
        TimingCase{"At23976OneHour", {24, 24000, 1001}, {1, 0, 0, 0}, {}, 3603600},
        TimingCase{"At23976Frame", {24, 24000, 1001}, {0, 0, 0, 1}, {}, 42},
        TimingCase{"At2997", {30, 30000, 1001}, {0, 0, 10, 0}, {}, 10010},
        TimingCase{"OffsetSubtracted", k25, {10, 0, 1, 5}, TimeCode{10, 0, 0, 0}, 1200},
        TimingCase{
            "OffsetInFramesAt23976", {24, 24000, 1001}, {10, 0, 1, 0}, TimeCode{10, 0, 0, 0}, 1001},
        TimingCase{"BeforeOffsetIsZero", k25, {9, 59, 59, 0}, TimeCode{10, 0, 0, 0}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriterTest, SrtAndVtt) {
    using subtitle::Colour;
    subtitle::Run plain{u"A < B & "}, lit{u"lit"}, red{u"Black on White."}, under{u"Under"};
    lit.italic = true;
    red.foreground = Colour::Black;
    red.background = Colour::White;
    red.boxed = true;
    under.underline = true;
    // Rows are asked for cue by cue; here the first cue's part is 0, the second's 1.
    CueList list;
    list.cues = {Cue{1000, 2500, {0}, 2}, Cue{3723004, 3724000, {1}, 0}};
    list.rows = [&](const Cue& cue) {
        return cue.parts.front() == 0
                   ? std::vector<CueRow>{{20, {plain, lit}, 0.8, 0.04}, {21, {red}, 0.84, 0.04}}
                   : std::vector<CueRow>{{1, {under}, 0.04, 0.04}};
    };
    EXPECT_EQ(writeSrt(list),
              "1\n00:00:01,000 --> 00:00:02,500\nA < B & <i>lit</i>\nBlack on White.\n\n"
              "2\n01:02:03,004 --> 01:02:04,000\n<u>Under</u>\n");
    EXPECT_EQ(writeVtt(list),
              "WEBVTT\n\n00:00:01.000 --> 00:00:02.500 line:80% align:center\n"
              "A &lt; B &amp; <i>lit</i>\n<c.black.bg_white>Black on White.</c>\n\n"
              "01:02:03.004 --> 01:02:04.000 line:4%\n<u>Under</u>\n");
    list.cues.clear();
    EXPECT_EQ(writeSrt(list), "");
    EXPECT_EQ(writeVtt(list), "WEBVTT\n");
}

// A spacing attribute between two colours is a space of the first run; it stays outside the tags.
TEST(WriterTest, SpacesWhereTheStyleChangesStayOutsideTheTags) {
    subtitle::Run cyan{u"Cyan on Black. "}, green{u" Green"};
    cyan.foreground = subtitle::Colour::Cyan;
    green.foreground = subtitle::Colour::Green;
    EXPECT_EQ(rowMarkup({cyan, green}, {.colours = true}),
              "<c.cyan>Cyan on Black.</c>  <c.lime>Green</c>");
    EXPECT_EQ(rowMarkup({cyan, cyan}, {.colours = true}),
              "<c.cyan>Cyan on Black. Cyan on Black.</c> ");
}

}  // namespace

#include <gtest/gtest.h>

#include "ExportTestSupport.h"
#include "export/CueBuilder.h"
#include "export/SrtWriter.h"
#include "export/VttWriter.h"

namespace {

constexpr FrameRate k25{25, 25, 1};

Subtitle subtitle(TimeCode in, TimeCode out, std::uint8_t cumulative, std::u16string text) {
    Subtitle s;
    s.in = in;
    s.out = out;
    s.cumulativeStatus = cumulative;
    if (!text.empty()) s.text = {{{std::move(text), {}}}};
    return s;
}

std::string describe(const std::vector<Cue>& cues) {
    std::string out;
    for (const Cue& cue : cues)
        out += std::to_string(cue.startMs) + "-" + std::to_string(cue.endMs) + " " +
               exporttest::markup(cue.text) + "|";
    return out;
}

TEST(CueBuilderTest, CumulativeSetShowsWhatIsOnScreen) {
    const std::vector<Subtitle> subtitles = {
        subtitle({0, 0, 1, 0}, {0, 0, 2, 0}, 0, u"Alone"),
        subtitle({0, 0, 3, 0}, {0, 0, 9, 0}, 1, u"One"),
        subtitle({0, 0, 4, 0}, {0, 0, 9, 0}, 2, u"Two"),
        subtitle({0, 0, 5, 0}, {0, 0, 9, 0}, 3, u"Three"),
        subtitle({0, 0, 10, 0}, {0, 0, 11, 0}, 0, u"After"),
        // A set member with no set before it starts afresh.
        subtitle({0, 0, 12, 0}, {0, 0, 13, 0}, 3, u"Stray"),
    };
    EXPECT_EQ(describe(buildCues(subtitles, {k25, {}})),
              "1000-2000 Alone|3000-4000 One|4000-5000 One\nTwo|5000-9000 One\nTwo\nThree|"
              "10000-11000 After|12000-13000 Stray|");
}

TEST(CueBuilderTest, EmptyTextGivesNoCueAndEndNeverPrecedesStart) {
    const std::vector<Subtitle> subtitles = {
        subtitle({0, 0, 1, 0}, {0, 0, 2, 0}, 0, u""),
        subtitle({0, 0, 5, 0}, {0, 0, 4, 0}, 0, u"Back"),
    };
    EXPECT_EQ(describe(buildCues(subtitles, {k25, {}})), "5000-5000 Back|");
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
    const auto cues = buildCues({subtitle(c.in, c.in, 0, u"x")}, {c.rate, c.offset});
    ASSERT_EQ(cues.size(), 1u);
    EXPECT_EQ(cues[0].startMs, c.expectedMs);
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
    Cue first{1000, 2500, {}}, second{3723004, 3724000, {}};
    first.text = {{{u"A < B & ", {}}, {u"lit", {.italic = true}}},
                  {{u"Red", {.colour = TextColour::Red}}}};
    second.text = {{{u"Under", {.underline = true}}}};
    EXPECT_EQ(writeSrt({first, second}),
              "1\n00:00:01,000 --> 00:00:02,500\nA < B & <i>lit</i>\nRed\n\n"
              "2\n01:02:03,004 --> 01:02:04,000\n<u>Under</u>\n");
    EXPECT_EQ(writeVtt({first, second}),
              "WEBVTT\n\n00:00:01.000 --> 00:00:02.500\nA &lt; B &amp; <i>lit</i>\n"
              "<c.red>Red</c>\n\n01:02:03.004 --> 01:02:04.000\n<u>Under</u>\n");
    EXPECT_EQ(writeSrt({}), "");
    EXPECT_EQ(writeVtt({}), "WEBVTT\n");
}

}  // namespace

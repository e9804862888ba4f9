// The start time text of finding 101.

#include <gtest/gtest.h>

#include <regex>

#include "plugin/LongTimeFormat.h"

namespace {

TEST(StartTimeText, TimeThenTwoBlanksThenDayMonthYear) {
    // 12:34:56 UTC on 8 December 2011 is that day in every time zone within twelve hours of UTC.
    const std::time_t When = 1323347696;
    const std::string Text = StartTimeText(When);
    EXPECT_TRUE(std::regex_match(Text, std::regex(R"(\S.*\S  08\.12\.2011)"))) << Text;
    // The time part is the local time: its minutes and seconds appear in it.
    std::tm Local{};
    localtime_r(&When, &Local);
    char MinutesAndSeconds[8];
    std::snprintf(MinutesAndSeconds, sizeof MinutesAndSeconds, "%02d:%02d", Local.tm_min,
                  Local.tm_sec);
    EXPECT_NE(Text.find(MinutesAndSeconds), std::string::npos) << Text;
}

}  // namespace

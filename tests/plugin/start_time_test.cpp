// The start time text of finding 101.

#include <gtest/gtest.h>

#include <regex>

#include "plugin/LongTimeFormat.h"

namespace {

TEST(StartTimeText, TimeThenTwoBlanksThenDayMonthYear) {
    // 12:34:56 UTC on 8 December 2011 is that day in every time zone within twelve hours of UTC.
    const std::time_t when = 1323347696;
    const std::string text = startTimeText(when);
    EXPECT_TRUE(std::regex_match(text, std::regex(R"(\S.*\S  08\.12\.2011)"))) << text;
    // The time part is the local time: its minutes and seconds appear in it.
    std::tm local{};
    localtime_r(&when, &local);
    char minutesAndSeconds[8];
    std::snprintf(minutesAndSeconds, sizeof minutesAndSeconds, "%02d:%02d", local.tm_min,
                  local.tm_sec);
    EXPECT_NE(text.find(minutesAndSeconds), std::string::npos) << text;
}

}  // namespace

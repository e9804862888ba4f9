#pragma once
// The start time text of a validation: the local time in the user's long time format, two
// blanks, then the date as DD.MM.YYYY.

#include <ctime>
#include <string>

// Time in the LC_TIME locale of the user's environment (the process-wide locale is left alone:
// a plug-in must not change it), e.g. "14:05:09  08.12.2011".
std::string startTimeText(std::time_t when);
std::string startTimeText();

#include "LongTimeFormat.h"

#include <locale.h>

#include <array>

namespace {

// The user's LC_TIME from the environment (LC_ALL, LC_TIME, LANG), falling back to "C" when the
// named locale is not installed.
locale_t userTimeLocale() {
    if (locale_t user = newlocale(LC_TIME_MASK, "", locale_t(0))) return user;
    return newlocale(LC_TIME_MASK, "C", locale_t(0));
}

}  // namespace

std::string startTimeText(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    std::array<char, 128> time{};
    std::array<char, 16> date{};
    if (locale_t locale = userTimeLocale()) {
        strftime_l(time.data(), time.size(), "%X", &local, locale);
        freelocale(locale);
    }
    if (time[0] == '\0') std::strftime(time.data(), time.size(), "%H:%M:%S", &local);
    std::strftime(date.data(), date.size(), "%d.%m.%Y", &local);
    return std::string(time.data()) + "  " + date.data();
}

std::string startTimeText() {
    return startTimeText(std::time(nullptr));
}

#pragma once
// The current local time in a strftime format, for dates written into files and reports.

#include <ctime>
#include <string>

namespace platform {

inline std::string localTimeNow(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, format, &local);
    return std::string(text, length);
}

}  // namespace platform

#include "StlUtils.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <limits>

#include "platform/Guarded.h"

namespace {

constexpr std::size_t STL_TEXT_BUFFER_SIZE = 114;  // the widest count plus a terminating zero
constexpr std::uint8_t UNUSED_SPACE = 0x8F;

// Control codes show as a bar; characters keep their byte for the code page to decode.
constexpr std::array<std::uint8_t, 256> makeDisplayTable() {
    std::array<std::uint8_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const bool control = b < 0x20 || (b >= 0x80 && b <= 0x9F);
        table[b] = control ? std::uint8_t{0x7C} : static_cast<std::uint8_t>(b);
    }
    return table;
}
constexpr std::array<std::uint8_t, 256> displayTable = makeDisplayTable();

bool isTrimmed(unsigned c) {
    return c <= 0x20;
}

template <class Char>
std::basic_string_view<Char> trimView(std::basic_string_view<Char> text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isTrimmed(static_cast<std::make_unsigned_t<Char>>(text[first]))) ++first;
    while (last > first && isTrimmed(static_cast<std::make_unsigned_t<Char>>(text[last - 1])))
        --last;
    return text.substr(first, last - first);
}

template <class Char>
std::basic_string<Char> rearrangeDate(std::basic_string_view<Char> date) {
    if (date.size() != 6) return std::basic_string<Char>(date);
    const Char colon = static_cast<Char>(':');
    return {date[4], date[5], colon, date[2], date[3], colon, date[0], date[1]};
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string stlTextToString(const std::uint8_t* text, int count, StlVariant variant) {
    return platform::guarded("STLTextToString", std::string(), [&]() -> std::string {
        if (!text) {
            if (variant == StlVariant::Viewer)
                platform::reportError("STLTextToString", "invalid Text argument.");
            else
                platform::reportFailure("STLTextToString");
            return {};
        }
        // A count the working buffer cannot hold would overrun it: refuse instead.
        if (count < 0 || static_cast<std::size_t>(count) >= STL_TEXT_BUFFER_SIZE) {
            platform::reportFailure("STLTextToString");
            return {};
        }
        const void* zero = std::memchr(text, 0, static_cast<std::size_t>(count));
        const std::size_t length =
            zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - text)
                 : static_cast<std::size_t>(count);
        return std::string(reinterpret_cast<const char*>(text), length);
    });
}

std::string stlTextToDisplayString(std::uint8_t* textField) {
    return platform::guarded("STLTextToDisplayString", std::string(), [&]() -> std::string {
        if (!textField) {
            platform::reportFailure("STLTextToDisplayString");
            return {};
        }
        int walked = 0;
        while (walked < static_cast<int>(TTI_TEXT_FIELD_SIZE) &&
               textField[walked] != UNUSED_SPACE) {
            textField[walked] = displayTable[textField[walked]];
            ++walked;
        }
        return stlTextToString(textField, walked);
    });
}

std::string textFieldDisplayBytes(const TextAndTimingInformation& block) {
    std::uint8_t buffer[TTI_BLOCK_SIZE] = {};
    std::memcpy(buffer, block.bytes + tti::textField.offset, TTI_TEXT_FIELD_SIZE);
    return stlTextToDisplayString(buffer);
}

std::string_view trimControl(std::string_view text) {
    return trimView(text);
}

std::u16string_view trimControl(std::u16string_view text) {
    return trimView(text);
}

std::string toUpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

std::optional<std::int32_t> strToInt32(std::string_view text) {
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    std::string_view rest = text.substr(pos);
    if (rest.empty()) return std::nullopt;

    std::size_t prefix = 0;
    if (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X')
        prefix = 1;
    else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X'))
        prefix = 2;

    if (prefix > 0) {
        const std::string_view digits = rest.substr(prefix);
        if (digits.empty() || digits.size() > 8) return std::nullopt;
        std::uint32_t pattern = 0;
        for (char c : digits) {
            const int d = hexDigit(c);
            if (d < 0) return std::nullopt;
            pattern = (pattern << 4) | static_cast<std::uint32_t>(d);
        }
        // A hexadecimal value is a bit pattern; its negation wraps like the pattern does.
        if (negative) pattern = 0u - pattern;
        return static_cast<std::int32_t>(pattern);
    }

    const std::int64_t limit = negative ? -std::int64_t{std::numeric_limits<std::int32_t>::min()}
                                        : std::int64_t{std::numeric_limits<std::int32_t>::max()};
    std::int64_t value = 0;
    for (char c : rest) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > limit) return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::optional<std::int32_t> fieldToInt32(const std::uint8_t* block, const StlField& field) {
    if (!block) return std::nullopt;
    return strToInt32(fieldText(block, field, StlVariant::Plugin));
}

std::string fieldText(const std::uint8_t* block, const StlField& field, StlVariant variant) {
    const std::uint8_t* start = block ? block + field.offset : nullptr;
    return std::string(trimControl(stlTextToString(start, field.length, variant)));
}

std::string formatGsiDate(std::string_view date) {
    return rearrangeDate(date);
}

std::u16string formatGsiDate(std::u16string_view date) {
    return rearrangeDate(date);
}

std::uint64_t ttiBlocksPresent(std::int64_t fileSize) {
    if (fileSize < static_cast<std::int64_t>(GSI_BLOCK_SIZE)) return 0;
    return (static_cast<std::uint64_t>(fileSize) - GSI_BLOCK_SIZE) / TTI_BLOCK_SIZE;
}

int framesPerSecondFromDiskFormatCode(const GeneralSubtitleInformation& gsi) {
    const std::string code = toUpperAscii(fieldText(gsi.bytes, gsi::diskFormatCode));
    if (code == "STL25.01") return 25;
    if (code == "STL30.01") return 30;
    return 0;
}

TimeCode timeCodeAt(const TextAndTimingInformation& block, const StlField& field) {
    const std::uint8_t* p = block.bytes + field.offset;
    return TimeCode{p[0], p[1], p[2], p[3]};
}

std::string formatTimeCode(const TimeCode& tc) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2u:%.2u:%.2u:%.2u", unsigned{tc.hours},
                  unsigned{tc.minutes}, unsigned{tc.seconds}, unsigned{tc.frames});
    return text;
}

std::string formatFrames(std::int64_t frames, int framesPerSecond, bool plusSign) {
    const std::int64_t magnitude = frames < 0 ? -frames : frames;
    const std::int64_t seconds = magnitude / framesPerSecond;
    const char* sign = frames < 0 ? "-" : plusSign ? "+" : "";
    char text[96];
    std::snprintf(text, sizeof text, "%s%02lld:%02lld:%02lld:%02lld", sign,
                  static_cast<long long>(seconds / 3600), static_cast<long long>(seconds / 60 % 60),
                  static_cast<long long>(seconds % 60),
                  static_cast<long long>(magnitude % framesPerSecond));
    return text;
}

std::optional<TimeCode> gsiTimeCode(const GeneralSubtitleInformation& gsi, const StlField& field) {
    const std::uint8_t* p = gsi.bytes + field.offset;
    std::uint8_t parts[4];
    for (int i = 0; i < 4; ++i) {
        const std::uint8_t tens = p[2 * i], units = p[2 * i + 1];
        if (tens < '0' || tens > '9' || units < '0' || units > '9') return std::nullopt;
        parts[i] = static_cast<std::uint8_t>((tens - '0') * 10 + (units - '0'));
    }
    return TimeCode{parts[0], parts[1], parts[2], parts[3]};
}

double timeCodeToSeconds(const TimeCode& tc, int framesPerSecond) {
    double seconds = tc.hours * 3600.0 + tc.minutes * 60.0 + tc.seconds;
    if (framesPerSecond > 0) seconds += static_cast<double>(tc.frames) / framesPerSecond;
    return seconds;
}

std::uint16_t subtitleNumberOf(const TextAndTimingInformation& block) {
    const std::uint8_t* p = block.bytes + tti::subtitleNumber.offset;
    return static_cast<std::uint16_t>(p[0] + 256 * p[1]);
}

std::uint8_t extensionBlockNumberOf(const TextAndTimingInformation& block) {
    return block.bytes[tti::extensionBlockNumber.offset];
}

char16_t hexDisplayChar(std::uint8_t byte) {
    if (byte < 0x20 || (byte >= 0x7F && byte <= 0x9F)) return u'.';
    return static_cast<char16_t>(byte);
}

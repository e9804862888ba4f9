#include "STLUtils.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <limits>

#include "platform/Guarded.h"

namespace {

constexpr std::size_t STL_TEXT_BUFFER_SIZE = 114;  // the widest count plus a terminating zero
constexpr std::uint8_t UNUSED_SPACE = 0x8F;

// Control codes show as a bar; characters keep their byte for the code page to decode.
constexpr std::array<std::uint8_t, 256> MakeDisplayTable() {
    std::array<std::uint8_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const bool control = b < 0x20 || (b >= 0x80 && b <= 0x9F);
        table[b] = control ? std::uint8_t{0x7C} : static_cast<std::uint8_t>(b);
    }
    return table;
}
constexpr std::array<std::uint8_t, 256> DisplayTable = MakeDisplayTable();

bool IsTrimmed(unsigned c) {
    return c <= 0x20;
}

template <class Char>
std::basic_string_view<Char> TrimView(std::basic_string_view<Char> Text) {
    std::size_t first = 0;
    std::size_t last = Text.size();
    while (first < last && IsTrimmed(static_cast<std::make_unsigned_t<Char>>(Text[first]))) ++first;
    while (last > first && IsTrimmed(static_cast<std::make_unsigned_t<Char>>(Text[last - 1])))
        --last;
    return Text.substr(first, last - first);
}

template <class Char>
std::basic_string<Char> RearrangeDate(std::basic_string_view<Char> Date) {
    if (Date.size() != 6) return std::basic_string<Char>(Date);
    const Char colon = static_cast<Char>(':');
    return {Date[4], Date[5], colon, Date[2], Date[3], colon, Date[0], Date[1]};
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string STLTextToString(const std::uint8_t* Text, int Count, TSTLVariant Variant) {
    return platform::guarded("STLTextToString", std::string(), [&]() -> std::string {
        if (!Text) {
            if (Variant == TSTLVariant::Viewer)
                platform::reportError("STLTextToString", "invalid Text argument.");
            else
                platform::reportFailure("STLTextToString");
            return {};
        }
        // A count the working buffer cannot hold would overrun it: refuse instead.
        if (Count < 0 || static_cast<std::size_t>(Count) >= STL_TEXT_BUFFER_SIZE) {
            platform::reportFailure("STLTextToString");
            return {};
        }
        const void* zero = std::memchr(Text, 0, static_cast<std::size_t>(Count));
        const std::size_t length =
            zero ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - Text)
                 : static_cast<std::size_t>(Count);
        return std::string(reinterpret_cast<const char*>(Text), length);
    });
}

std::string STLTextToDisplayString(std::uint8_t* TextField) {
    return platform::guarded("STLTextToDisplayString", std::string(), [&]() -> std::string {
        if (!TextField) {
            platform::reportFailure("STLTextToDisplayString");
            return {};
        }
        int walked = 0;
        while (walked < static_cast<int>(TTI_TEXT_FIELD_SIZE) &&
               TextField[walked] != UNUSED_SPACE) {
            TextField[walked] = DisplayTable[TextField[walked]];
            ++walked;
        }
        return STLTextToString(TextField, walked);
    });
}

std::string TextFieldDisplayBytes(const TTextAndTimingInformation& Block) {
    std::uint8_t buffer[TTI_BLOCK_SIZE] = {};
    std::memcpy(buffer, Block.Bytes + tti::TextField.Offset, TTI_TEXT_FIELD_SIZE);
    return STLTextToDisplayString(buffer);
}

std::string_view TrimControl(std::string_view Text) {
    return TrimView(Text);
}

std::u16string_view TrimControl(std::u16string_view Text) {
    return TrimView(Text);
}

std::string ToUpperAscii(std::string_view Text) {
    std::string upper(Text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

std::optional<std::int32_t> StrToInt32(std::string_view Text) {
    std::size_t pos = 0;
    bool negative = false;
    if (pos < Text.size() && (Text[pos] == '-' || Text[pos] == '+')) {
        negative = Text[pos] == '-';
        ++pos;
    }
    std::string_view rest = Text.substr(pos);
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
            const int d = HexDigit(c);
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

std::optional<std::int32_t> FieldToInt32(const std::uint8_t* Block, const STLField& Field) {
    if (!Block) return std::nullopt;
    return StrToInt32(FieldText(Block, Field, TSTLVariant::Plugin));
}

std::string FieldText(const std::uint8_t* Block, const STLField& Field, TSTLVariant Variant) {
    const std::uint8_t* start = Block ? Block + Field.Offset : nullptr;
    return std::string(TrimControl(STLTextToString(start, Field.Length, Variant)));
}

std::string FormatGSIDate(std::string_view Date) {
    return RearrangeDate(Date);
}

std::u16string FormatGSIDate(std::u16string_view Date) {
    return RearrangeDate(Date);
}

std::uint64_t TTIBlocksPresent(std::int64_t FileSize) {
    if (FileSize < static_cast<std::int64_t>(GSI_BLOCK_SIZE)) return 0;
    return (static_cast<std::uint64_t>(FileSize) - GSI_BLOCK_SIZE) / TTI_BLOCK_SIZE;
}

int FramesPerSecondFromDiskFormatCode(const TGeneralSubtitleInformation& Gsi) {
    const std::string code = ToUpperAscii(FieldText(Gsi.Bytes, gsi::DiskFormatCode));
    if (code == "STL25.01") return 25;
    if (code == "STL30.01") return 30;
    return 0;
}

TTimeCode TimeCodeAt(const TTextAndTimingInformation& Block, const STLField& Field) {
    const std::uint8_t* p = Block.Bytes + Field.Offset;
    return TTimeCode{p[0], p[1], p[2], p[3]};
}

std::string FormatTimeCode(const TTimeCode& Tc) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2u:%.2u:%.2u:%.2u", unsigned{Tc.Hours},
                  unsigned{Tc.Minutes}, unsigned{Tc.Seconds}, unsigned{Tc.Frames});
    return text;
}

double TimeCodeToSeconds(const TTimeCode& Tc, int FramesPerSecond) {
    double seconds = Tc.Hours * 3600.0 + Tc.Minutes * 60.0 + Tc.Seconds;
    if (FramesPerSecond > 0) seconds += static_cast<double>(Tc.Frames) / FramesPerSecond;
    return seconds;
}

std::uint16_t SubtitleNumberOf(const TTextAndTimingInformation& Block) {
    const std::uint8_t* p = Block.Bytes + tti::SubtitleNumber.Offset;
    return static_cast<std::uint16_t>(p[0] + 256 * p[1]);
}

char16_t HexDisplayChar(std::uint8_t Byte) {
    if (Byte < 0x20 || (Byte >= 0x7F && Byte <= 0x9F)) return u'.';
    return static_cast<char16_t>(Byte);
}

#pragma once
// Subtitle text once the control codes are gone: rows of runs that share one style.

#include <cstdint>
#include <string>
#include <vector>

enum class TextColour : std::uint8_t { Black, Red, Green, Yellow, Blue, Magenta, Cyan, White };

struct TextStyle {
    bool italic = false;
    bool underline = false;
    TextColour colour = TextColour::White;
    bool operator==(const TextStyle&) const = default;
};

struct StyledSpan {
    std::u16string text;
    TextStyle style;
};

using StyledLine = std::vector<StyledSpan>;
using StyledText = std::vector<StyledLine>;

std::u16string plainText(const StyledLine& line);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string toUtf8(std::u16string_view text);

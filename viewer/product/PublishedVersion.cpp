#include "PublishedVersion.h"

#include <charconv>

namespace {

// One field of the version: decimal digits only, no sign, no blanks.
std::optional<int> number(std::string_view text) {
    if (text.empty()) return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.front() == '-')
        return std::nullopt;
    return value;
}

std::optional<TVantorelVersion> versionField(std::string_view line) {
    const std::size_t first = line.find(';');
    if (first == std::string_view::npos) return std::nullopt;
    std::string_view field = line.substr(first + 1);
    field = field.substr(0, field.find(';'));

    int parts[4];
    for (int i = 0; i < 4; ++i) {
        const std::size_t dot = field.find('.');
        // Exactly three dots: the last number runs to the end of the field.
        if ((i < 3) == (dot == std::string_view::npos)) return std::nullopt;
        const auto part = number(field.substr(0, dot));
        if (!part) return std::nullopt;
        parts[i] = *part;
        if (i < 3) field = field.substr(dot + 1);
    }
    return TVantorelVersion{parts[0], parts[1], parts[2], parts[3]};
}

}  // namespace

std::optional<TVantorelVersion> ParsePublishedVersion(std::string_view Text,
                                                      std::string_view FileName) {
    std::optional<TVantorelVersion> found;
    if (FileName.empty()) return found;
    while (!Text.empty()) {
        const std::size_t end = Text.find("\r\n");
        const std::string_view line = Text.substr(0, end);
        Text = end == std::string_view::npos ? std::string_view() : Text.substr(end + 2);
        if (line.empty()) break;
        if (line.find(FileName) == std::string_view::npos) continue;
        const auto version = versionField(line);
        if (!version) break;
        found = version;
    }
    return found;
}

bool IsNewerVantorelVersion(const TVantorelVersion& Published, const TVantorelVersion& Running) {
    return Published > Running;
}

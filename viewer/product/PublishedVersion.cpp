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

std::optional<ProductVersion> versionField(std::string_view line) {
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
    return ProductVersion{parts[0], parts[1], parts[2], parts[3]};
}

}  // namespace

std::optional<ProductVersion> parsePublishedVersion(std::string_view text,
                                                    std::string_view fileName) {
    std::optional<ProductVersion> found;
    if (fileName.empty()) return found;
    while (!text.empty()) {
        const std::size_t end = text.find("\r\n");
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 2);
        if (line.empty()) break;
        if (line.find(fileName) == std::string_view::npos) continue;
        const auto version = versionField(line);
        if (!version) break;
        found = version;
    }
    return found;
}

bool isNewerVantorelVersion(const ProductVersion& published, const ProductVersion& running) {
    return published > running;
}

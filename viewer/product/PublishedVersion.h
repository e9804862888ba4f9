#pragma once
// The published version file: finding this program's line and reading its version, and telling
// whether that version is newer than the running one. No I/O, so every line rule is testable.

#include <compare>
#include <optional>
#include <string_view>

struct ProductVersion {
    int major = 0;
    int minor = 0;
    int release = 0;
    int build = 0;

    auto operator<=>(const ProductVersion&) const = default;
};

// Lines end with CR LF; reading stops at the first empty line. A line qualifies when FileName
// occurs in it (letter case counting); its second ";" field must be four decimal integers
// separated by ".". The last qualifying line wins; a malformed one ends the reading with what
// was found before it. nullopt when no qualifying line was read.
std::optional<ProductVersion> parsePublishedVersion(std::string_view text,
                                                    std::string_view fileName);

// Major, then minor, release and build decide; equal versions are not newer.
bool isNewerVantorelVersion(const ProductVersion& published, const ProductVersion& running);

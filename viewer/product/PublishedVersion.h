#pragma once
// The published version file: finding this program's line and reading its version, and telling
// whether that version is newer than the running one. No I/O, so every line rule is testable.

#include <compare>
#include <optional>
#include <string_view>

struct TVantorelVersion {
    int Major = 0;
    int Minor = 0;
    int Release = 0;
    int Build = 0;

    auto operator<=>(const TVantorelVersion&) const = default;
};

// Lines end with CR LF; reading stops at the first empty line. A line qualifies when FileName
// occurs in it (letter case counting); its second ";" field must be four decimal integers
// separated by ".". The last qualifying line wins; a malformed one ends the reading with what
// was found before it. nullopt when no qualifying line was read.
std::optional<TVantorelVersion> ParsePublishedVersion(std::string_view Text,
                                                      std::string_view FileName);

// Major, then minor, release and build decide; equal versions are not newer.
bool IsNewerVantorelVersion(const TVantorelVersion& Published, const TVantorelVersion& Running);

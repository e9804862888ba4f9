#pragma once
// Stand-ins for the platform's version-resource services: find the version block of a program or
// library file (PE resource directory, or the ELF section our build fills), look values up in it
// by path, and name a language identifier. Every offset read from a file is bounds-checked;
// hostile files give "no version block", never a crash.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace versionresource {

// The ELF section our build puts the block in.
inline constexpr std::string_view kElfSectionName = ".rsrc_version";

// The raw version block of the file; empty when the file has none or cannot be read.
std::vector<std::uint8_t> readVersionBlock(const std::string& fileName);

// Pieces of a PE or ELF file, exposed for tests.
std::vector<std::uint8_t> versionBlockFromPe(const std::vector<std::uint8_t>& file);
std::vector<std::uint8_t> versionBlockFromElf(const std::vector<std::uint8_t>& file);

// A value found in the block: where it starts, its size in bytes, and whether it is text.
struct ValueRef {
    std::size_t offset = 0;
    std::size_t size = 0;
    bool text = false;
};

// Looks up "\", "\VarFileInfo\Translation", "\StringFileInfo\040904b0\CompanyName"...
// Keys compare without regard to ASCII letter case. nullopt when the path is not there or the
// block is malformed on the way.
std::optional<ValueRef> queryValue(const std::vector<std::uint8_t>& block, std::string_view path);

// UTF-16LE text of a value, up to its first zero character, as UTF-8.
std::string textOf(const std::vector<std::uint8_t>& block, const ValueRef& value);

// "English (United States)" for 0x0409. Unlisted sublanguages fall back to the primary
// language's name.
std::string languageName(std::uint16_t language);

}  // namespace versionresource

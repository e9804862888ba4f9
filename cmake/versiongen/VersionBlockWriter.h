#pragma once
// Writes the binary version block (VS_VERSIONINFO): a tree of nodes, each a 16-bit total length,
// a 16-bit value length, a 16-bit type (0 binary, 1 text), a zero-terminated UTF-16LE key, the
// value and the children, every node starting on a 4-byte boundary of the block.
// Used by the build's generator and by the tests that need blocks of their own.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace versionblock {

using Bytes = std::vector<std::uint8_t>;

// The 52-byte fixed file information record.
struct FixedInfo {
    std::uint16_t major = 0, minor = 0, release = 0, build = 0;
    std::uint32_t flagsMask = 0x3F;
    std::uint32_t flags = 0;
    std::uint32_t os = 0;
    std::uint32_t type = 1;
    std::uint32_t subtype = 0;
};

Bytes fixedInfoBytes(const FixedInfo& info);

// UTF-8 in, UTF-16LE out, with the terminating zero.
Bytes utf16z(std::string_view utf8);

// One node. valueLength is written as given (characters for text, bytes for binary);
// each child must itself be a complete node.
Bytes node(std::string_view key, std::uint16_t type, const Bytes& value, std::uint16_t valueLength,
           const std::vector<Bytes>& children = {});

// A text leaf: "CompanyName" = "Vantorel".
Bytes stringNode(std::string_view key, std::string_view value);

struct Translation {
    std::uint16_t language;
    std::uint16_t charSet;
};

struct StringValue {
    std::string key;
    std::string value;
};

// A complete block: fixed information, one string table for the first translation, and the
// translation table.
Bytes versionBlock(const FixedInfo& fixed, const std::vector<Translation>& translations,
                   const std::vector<StringValue>& strings);

// "VarFileInfo" with its "Translation" entry.
Bytes varFileInfo(const std::vector<Translation>& translations);

// "StringFileInfo" with one table keyed by the translation ("040904b0").
Bytes stringFileInfo(const Translation& translation, const std::vector<StringValue>& strings);

}  // namespace versionblock

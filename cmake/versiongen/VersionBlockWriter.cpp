#include "VersionBlockWriter.h"

#include <cstdio>
#include <stdexcept>

namespace versionblock {

namespace {

void put16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(Bytes& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void align4(Bytes& out) {
    while (out.size() % 4) out.push_back(0);
}

// Decodes one UTF-8 sequence; malformed input becomes U+FFFD.
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
    const auto b = static_cast<unsigned char>(s[i++]);
    if (b < 0x80) return b;
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
    if (extra < 0 || i + extra > s.size()) return 0xFFFD;
    char32_t cp = b & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        const auto c = static_cast<unsigned char>(s[i]);
        if ((c & 0xC0) != 0x80) return 0xFFFD;
        cp = (cp << 6) | (c & 0x3F);
        ++i;
    }
    return cp > 0x10FFFF ? 0xFFFD : cp;
}

}  // namespace

Bytes utf16z(std::string_view utf8) {
    Bytes out;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = nextCodePoint(utf8, i);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            put16(out, 0xD800 + (cp >> 10));
            put16(out, 0xDC00 + (cp & 0x3FF));
        } else {
            put16(out, cp);
        }
    }
    put16(out, 0);
    return out;
}

Bytes fixedInfoBytes(const FixedInfo& info) {
    Bytes out;
    const std::uint32_t ms = (std::uint32_t{info.major} << 16) | info.minor;
    const std::uint32_t ls = (std::uint32_t{info.release} << 16) | info.build;
    for (std::uint32_t v : {0xFEEF04BDu, 0x00010000u, ms, ls, ms, ls, info.flagsMask, info.flags,
                            info.os, info.type, info.subtype, 0u, 0u})
        put32(out, v);
    return out;
}

Bytes node(std::string_view key, std::uint16_t type, const Bytes& value, std::uint16_t valueLength,
           const std::vector<Bytes>& children) {
    Bytes out(6, 0);
    const Bytes k = utf16z(key);
    out.insert(out.end(), k.begin(), k.end());
    align4(out);
    out.insert(out.end(), value.begin(), value.end());
    for (const Bytes& child : children) {
        align4(out);
        out.insert(out.end(), child.begin(), child.end());
    }
    if (out.size() > 0xFFFF) throw std::length_error("version block node longer than 65535 bytes");
    out[0] = static_cast<std::uint8_t>(out.size());
    out[1] = static_cast<std::uint8_t>(out.size() >> 8);
    out[2] = static_cast<std::uint8_t>(valueLength);
    out[3] = static_cast<std::uint8_t>(valueLength >> 8);
    out[4] = static_cast<std::uint8_t>(type);
    out[5] = 0;
    return out;
}

Bytes stringNode(std::string_view key, std::string_view value) {
    const Bytes v = utf16z(value);
    return node(key, 1, v, static_cast<std::uint16_t>(v.size() / 2));
}

Bytes varFileInfo(const std::vector<Translation>& translations) {
    Bytes table;
    for (const Translation& t : translations) put32(table, t.language | (t.charSet << 16));
    return node("VarFileInfo", 1, {}, 0,
                {node("Translation", 0, table, static_cast<std::uint16_t>(table.size()))});
}

Bytes stringFileInfo(const Translation& translation, const std::vector<StringValue>& strings) {
    std::vector<Bytes> values;
    for (const StringValue& s : strings) values.push_back(stringNode(s.key, s.value));
    char tableKey[9];
    std::snprintf(tableKey, sizeof tableKey, "%.4x%.4x", translation.language, translation.charSet);
    return node("StringFileInfo", 1, {}, 0, {node(tableKey, 1, {}, 0, values)});
}

Bytes versionBlock(const FixedInfo& fixed, const std::vector<Translation>& translations,
                   const std::vector<StringValue>& strings) {
    std::vector<Bytes> children;
    if (!translations.empty()) children.push_back(stringFileInfo(translations.front(), strings));
    children.push_back(varFileInfo(translations));
    const Bytes info = fixedInfoBytes(fixed);
    return node("VS_VERSION_INFO", 0, info, static_cast<std::uint16_t>(info.size()), children);
}

}  // namespace versionblock

#include "VersionResource.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

namespace versionresource {

namespace {

// A version block's lengths are 16-bit; anything claiming far more than that is not one.
constexpr std::uint64_t kMaxBlockSize = 1 << 20;

// Random access to the bytes of a file or of a buffer, every read bounds-checked.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    virtual bool readRaw(std::uint64_t offset, std::size_t count, void* out) const = 0;

    bool read(std::uint64_t offset, std::size_t count, void* out) const {
        return offset <= size() && count <= size() - offset && readRaw(offset, count, out);
    }
    std::optional<std::uint16_t> u16(std::uint64_t offset) const {
        std::uint8_t b[2];
        if (!read(offset, 2, b)) return std::nullopt;
        return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    }
    std::optional<std::uint32_t> u32(std::uint64_t offset) const {
        std::uint8_t b[4];
        if (!read(offset, 4, b)) return std::nullopt;
        return std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) |
               (std::uint32_t{b[3]} << 24);
    }
    std::optional<std::uint64_t> u64(std::uint64_t offset) const {
        const auto lo = u32(offset), hi = u32(offset + 4);
        if (!lo || !hi) return std::nullopt;
        return *lo | (std::uint64_t{*hi} << 32);
    }
    std::vector<std::uint8_t> bytes(std::uint64_t offset, std::uint64_t count) const {
        if (count == 0 || count > kMaxBlockSize) return {};
        std::vector<std::uint8_t> out(static_cast<std::size_t>(count));
        if (!read(offset, out.size(), out.data())) return {};
        return out;
    }
};

class BufferSource final : public ByteSource {
public:
    explicit BufferSource(const std::vector<std::uint8_t>& data) : m_data(data) {}
    std::uint64_t size() const override { return m_data.size(); }
    bool readRaw(std::uint64_t offset, std::size_t count, void* out) const override {
        if (count) std::memcpy(out, m_data.data() + offset, count);
        return true;
    }

private:
    const std::vector<std::uint8_t>& m_data;
};

class FileSource final : public ByteSource {
public:
    explicit FileSource(const std::string& fileName) : m_file(std::fopen(fileName.c_str(), "rb")) {
        if (m_file && fseeko(m_file.get(), 0, SEEK_END) == 0) {
            const off_t end = ftello(m_file.get());
            if (end > 0) m_size = static_cast<std::uint64_t>(end);
        }
    }
    bool isOpen() const { return m_file != nullptr; }
    std::uint64_t size() const override { return m_size; }
    bool readRaw(std::uint64_t offset, std::size_t count, void* out) const override {
        return fseeko(m_file.get(), static_cast<off_t>(offset), SEEK_SET) == 0 &&
               std::fread(out, 1, count, m_file.get()) == count;
    }

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> m_file;
    std::uint64_t m_size = 0;
};

// --- PE: resource directory, type RT_VERSION, first name, first language ---

constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kSubdirectoryBit = 0x80000000u;

struct PeSection {
    std::uint32_t virtualAddress, virtualSize, rawSize, rawOffset;
};

std::optional<std::uint64_t> rvaToOffset(const std::vector<PeSection>& sections,
                                         std::uint32_t rva) {
    for (const PeSection& s : sections) {
        const std::uint64_t start = s.virtualAddress;
        const std::uint64_t end = start + std::max(s.virtualSize, s.rawSize);
        if (rva >= start && rva < end && rva - start < s.rawSize)
            return std::uint64_t{s.rawOffset} + (rva - start);
    }
    return std::nullopt;
}

// The entry of a resource directory: with wantedId the entry with that numeric id, otherwise
// the first one. Returns its OffsetToData word.
std::optional<std::uint32_t> directoryEntry(const ByteSource& src, std::uint64_t directory,
                                            std::optional<std::uint32_t> wantedId) {
    const auto named = src.u16(directory + 12), ids = src.u16(directory + 14);
    if (!named || !ids) return std::nullopt;
    const std::uint32_t count = std::uint32_t{*named} + *ids;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t entry = directory + 16 + std::uint64_t{i} * 8;
        const auto name = src.u32(entry), data = src.u32(entry + 4);
        if (!name || !data) return std::nullopt;
        if (!wantedId || (!(*name & kSubdirectoryBit) && *name == *wantedId)) return data;
    }
    return std::nullopt;
}

std::vector<std::uint8_t> peBlock(const ByteSource& src) {
    if (src.u16(0) != 0x5A4D) return {};  // "MZ"
    const auto peOffset = src.u32(0x3C);
    if (!peOffset || src.u32(*peOffset) != 0x00004550u) return {};  // "PE\0\0"
    const std::uint64_t coff = std::uint64_t{*peOffset} + 4;
    const auto sectionCount = src.u16(coff + 2), optionalSize = src.u16(coff + 16);
    if (!sectionCount || !optionalSize) return {};
    const std::uint64_t optional = coff + 20;
    const auto magic = src.u16(optional);
    std::uint64_t dirCountAt, dirsAt;
    if (magic == 0x10b) {
        dirCountAt = 92, dirsAt = 96;
    } else if (magic == 0x20b) {
        dirCountAt = 108, dirsAt = 112;
    } else {
        return {};
    }
    const auto dirCount = src.u32(optional + dirCountAt);
    const std::uint64_t resourceDir = dirsAt + 2 * 8;
    if (!dirCount || *dirCount <= 2 || resourceDir + 8 > *optionalSize) return {};
    const auto resourceRva = src.u32(optional + resourceDir);
    if (!resourceRva || *resourceRva == 0) return {};

    std::vector<PeSection> sections;
    const std::uint64_t table = optional + *optionalSize;
    for (std::uint32_t i = 0; i < *sectionCount; ++i) {
        const std::uint64_t at = table + std::uint64_t{i} * 40;
        const auto vsize = src.u32(at + 8), va = src.u32(at + 12), rawSize = src.u32(at + 16),
                   rawOffset = src.u32(at + 20);
        if (!vsize || !va || !rawSize || !rawOffset) return {};
        sections.push_back({*va, *vsize, *rawSize, *rawOffset});
    }
    const auto root = rvaToOffset(sections, *resourceRva);
    if (!root) return {};

    // Three fixed levels (type, name, language), so no chain of offsets can loop.
    std::optional<std::uint32_t> entry = directoryEntry(src, *root, kRtVersion);
    for (int level = 0; level < 2; ++level) {
        if (!entry || !(*entry & kSubdirectoryBit)) return {};
        entry = directoryEntry(src, *root + (*entry & ~kSubdirectoryBit), std::nullopt);
    }
    if (!entry || (*entry & kSubdirectoryBit)) return {};
    const auto dataRva = src.u32(*root + *entry), dataSize = src.u32(*root + *entry + 4);
    if (!dataRva || !dataSize) return {};
    const auto data = rvaToOffset(sections, *dataRva);
    if (!data) return {};
    return src.bytes(*data, *dataSize);
}

// --- ELF: the section named kElfSectionName ---

std::vector<std::uint8_t> elfBlock(const ByteSource& src) {
    std::uint8_t ident[6];
    if (!src.read(0, sizeof ident, ident) || std::memcmp(ident,
                                                         "\x7f"
                                                         "ELF",
                                                         4) != 0)
        return {};
    const bool is64 = ident[4] == 2;
    if ((ident[4] != 1 && !is64) || ident[5] != 1) return {};  // little-endian only

    // Offsets and sizes are 64-bit words in ELF64 and 32-bit words in ELF32.
    const auto address = [&](std::uint64_t at64,
                             std::uint64_t at32) -> std::optional<std::uint64_t> {
        if (is64) return src.u64(at64);
        const auto v = src.u32(at32);
        return v ? std::optional<std::uint64_t>(*v) : std::nullopt;
    };
    const auto shoff = address(0x28, 0x20);
    const auto entsize = src.u16(is64 ? 0x3A : 0x2E);
    auto count = src.u16(is64 ? 0x3C : 0x30);
    auto strndx = src.u16(is64 ? 0x3E : 0x32);
    const std::uint64_t needEntsize = is64 ? 64 : 40;
    if (!shoff || !entsize || !count || !strndx || *shoff == 0 || *entsize < needEntsize) return {};

    const auto header = [&](std::uint64_t index) { return *shoff + index * *entsize; };
    struct Section {
        std::uint32_t name = 0, type = 0, link = 0;
        std::uint64_t offset = 0, size = 0;
    };
    const auto section = [&](std::uint64_t index) -> std::optional<Section> {
        const std::uint64_t at = header(index);
        const auto name = src.u32(at), type = src.u32(at + 4);
        const auto offset = address(at + 24, at + 16);
        const auto size = address(at + 32, at + 20);
        const auto link = src.u32(at + (is64 ? 40 : 24));
        if (!name || !type || !offset || !size || !link) return std::nullopt;
        return Section{*name, *type, *link, *offset, *size};
    };

    // Many sections: the real count and string table index live in section 0.
    std::uint64_t sectionCount = *count, strIndex = *strndx;
    if (sectionCount == 0 || strIndex == 0xFFFF) {
        const auto first = section(0);
        if (!first) return {};
        if (sectionCount == 0) sectionCount = first->size;
        if (strIndex == 0xFFFF) strIndex = first->link;
    }
    // A count the file cannot hold is a lie; don't loop over it.
    if (sectionCount > src.size() / *entsize || strIndex >= sectionCount) return {};

    const auto strings = section(strIndex);
    if (!strings) return {};
    constexpr std::uint32_t kNoBits = 8;
    for (std::uint64_t i = 0; i < sectionCount; ++i) {
        const auto s = section(i);
        if (!s) return {};
        if (s->type == kNoBits || s->name >= strings->size) continue;
        const std::uint64_t nameLength = kElfSectionName.size() + 1;
        if (strings->size - s->name < nameLength) continue;
        std::array<char, 32> name{};
        static_assert(kElfSectionName.size() + 1 <= name.size());
        if (!src.read(strings->offset + s->name, nameLength, name.data())) continue;
        if (name[kElfSectionName.size()] == '\0' &&
            std::string_view(name.data(), kElfSectionName.size()) == kElfSectionName)
            return src.bytes(s->offset, s->size);
    }
    return {};
}

std::vector<std::uint8_t> anyBlock(const ByteSource& src) {
    std::vector<std::uint8_t> block = peBlock(src);
    return block.empty() ? elfBlock(src) : block;
}

}  // namespace

std::vector<std::uint8_t> readVersionBlock(const std::string& fileName) {
    FileSource src(fileName);
    if (!src.isOpen()) return {};
    return anyBlock(src);
}

std::vector<std::uint8_t> versionBlockFromPe(const std::vector<std::uint8_t>& file) {
    return peBlock(BufferSource(file));
}

std::vector<std::uint8_t> versionBlockFromElf(const std::vector<std::uint8_t>& file) {
    return elfBlock(BufferSource(file));
}

namespace {

// --- The block itself: a tree of nodes, each starting on a 4-byte boundary of the block ---

std::size_t align4(std::size_t n) {
    return (n + 3) & ~std::size_t{3};
}

std::uint16_t word(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

struct Node {
    std::size_t end = 0;
    std::u16string key;
    ValueRef value;
    std::size_t children = 0;
};

std::optional<Node> parseNode(const std::vector<std::uint8_t>& b, std::size_t at,
                              std::size_t limit) {
    if (limit > b.size() || at > limit || limit - at < 6) return std::nullopt;
    const std::size_t length = word(b, at);
    const std::size_t valueLength = word(b, at + 2);
    const bool text = word(b, at + 4) == 1;
    if (length < 6 || length > limit - at) return std::nullopt;
    Node n;
    n.end = at + length;
    std::size_t p = at + 6;
    for (;; p += 2) {
        if (p + 2 > n.end) return std::nullopt;  // key without its terminator
        const std::uint16_t c = word(b, p);
        if (c == 0) break;
        n.key.push_back(static_cast<char16_t>(c));
    }
    const std::size_t valueAt = std::min(align4(p + 2), n.end);
    const std::size_t wanted = text ? valueLength * 2 : valueLength;
    n.value = {valueAt, std::min(wanted, n.end - valueAt), text};
    n.children = std::min(align4(valueAt + n.value.size), n.end);
    return n;
}

bool sameKey(const std::u16string& key, std::string_view name) {
    const auto lower = [](char32_t c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    return key.size() == name.size() &&
           std::equal(key.begin(), key.end(), name.begin(), [&](char16_t a, char b) {
               return lower(a) == lower(static_cast<unsigned char>(b));
           });
}

void appendUtf8(std::string& out, char32_t cp) {
    platform::appendUtf8(out, cp);
}

}  // namespace

std::optional<ValueRef> queryValue(const std::vector<std::uint8_t>& block, std::string_view path) {
    auto node = parseNode(block, 0, block.size());
    if (!node || !sameKey(node->key, "VS_VERSION_INFO")) return std::nullopt;
    while (!path.empty()) {
        const std::size_t sep = path.find('\\');
        const std::string_view name = path.substr(0, sep);
        path = sep == std::string_view::npos ? std::string_view() : path.substr(sep + 1);
        if (name.empty()) continue;
        std::optional<Node> found;
        // Each child is at least 6 bytes long, so this walk always ends.
        for (std::size_t at = node->children; at < node->end && !found;) {
            auto child = parseNode(block, at, node->end);
            if (!child) return std::nullopt;
            if (sameKey(child->key, name))
                found = std::move(child);
            else
                at = align4(child->end);
        }
        if (!found) return std::nullopt;
        node = std::move(found);
    }
    return node->value;
}

std::string textOf(const std::vector<std::uint8_t>& block, const ValueRef& value) {
    std::string out;
    if (value.offset > block.size() || value.size > block.size() - value.offset) return out;
    const std::size_t end = value.offset + value.size / 2 * 2;
    for (std::size_t p = value.offset; p < end; p += 2) {
        char32_t c = word(block, p);
        if (c == 0) break;
        if (c >= 0xD800 && c < 0xDC00 && p + 4 <= end) {
            const char32_t low = word(block, p + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                p += 2;
            }
        }
        appendUtf8(out, c >= 0xD800 && c < 0xE000 ? 0xFFFD : c);
    }
    return out;
}

std::string languageName(std::uint16_t language) {
    static constexpr std::pair<std::uint16_t, const char*> kNames[] = {
        {0x0000, "Language Neutral"},
        {0x0401, "Arabic (Saudi Arabia)"},
        {0x0402, "Bulgarian (Bulgaria)"},
        {0x0403, "Catalan (Catalan)"},
        {0x0404, "Chinese (Traditional, Taiwan)"},
        {0x0405, "Czech (Czech Republic)"},
        {0x0406, "Danish (Denmark)"},
        {0x0407, "German (Germany)"},
        {0x0408, "Greek (Greece)"},
        {0x0409, "English (United States)"},
        {0x040A, "Spanish (Spain, Traditional Sort)"},
        {0x040B, "Finnish (Finland)"},
        {0x040C, "French (France)"},
        {0x040D, "Hebrew (Israel)"},
        {0x040E, "Hungarian (Hungary)"},
        {0x040F, "Icelandic (Iceland)"},
        {0x0410, "Italian (Italy)"},
        {0x0411, "Japanese (Japan)"},
        {0x0412, "Korean (Korea)"},
        {0x0413, "Dutch (Netherlands)"},
        {0x0414, "Norwegian, Bokm\u00e5l (Norway)"},
        {0x0415, "Polish (Poland)"},
        {0x0416, "Portuguese (Brazil)"},
        {0x0418, "Romanian (Romania)"},
        {0x0419, "Russian (Russia)"},
        {0x041A, "Croatian (Croatia)"},
        {0x041B, "Slovak (Slovakia)"},
        {0x041C, "Albanian (Albania)"},
        {0x041D, "Swedish (Sweden)"},
        {0x041E, "Thai (Thailand)"},
        {0x041F, "Turkish (Turkey)"},
        {0x0421, "Indonesian (Indonesia)"},
        {0x0422, "Ukrainian (Ukraine)"},
        {0x0423, "Belarusian (Belarus)"},
        {0x0424, "Slovenian (Slovenia)"},
        {0x0425, "Estonian (Estonia)"},
        {0x0426, "Latvian (Latvia)"},
        {0x0427, "Lithuanian (Lithuania)"},
        {0x0429, "Persian (Iran)"},
        {0x042A, "Vietnamese (Vietnam)"},
        {0x042D, "Basque (Basque)"},
        {0x042F, "Macedonian (North Macedonia)"},
        {0x0436, "Afrikaans (South Africa)"},
        {0x0439, "Hindi (India)"},
        {0x043E, "Malay (Malaysia)"},
        {0x0456, "Galician (Galician)"},
        {0x0804, "Chinese (Simplified, PRC)"},
        {0x0807, "German (Switzerland)"},
        {0x0809, "English (United Kingdom)"},
        {0x080A, "Spanish (Mexico)"},
        {0x080C, "French (Belgium)"},
        {0x0810, "Italian (Switzerland)"},
        {0x0813, "Dutch (Belgium)"},
        {0x0814, "Norwegian, Nynorsk (Norway)"},
        {0x0816, "Portuguese (Portugal)"},
        {0x081A, "Serbian (Latin, Serbia)"},
        {0x081D, "Swedish (Finland)"},
        {0x0C04, "Chinese (Traditional, Hong Kong S.A.R.)"},
        {0x0C07, "German (Austria)"},
        {0x0C09, "English (Australia)"},
        {0x0C0A, "Spanish (Spain, International Sort)"},
        {0x0C0C, "French (Canada)"},
        {0x0C1A, "Serbian (Cyrillic, Serbia)"},
        {0x1004, "Chinese (Simplified, Singapore)"},
        {0x1007, "German (Luxembourg)"},
        {0x1009, "English (Canada)"},
        {0x100C, "French (Switzerland)"},
        {0x1409, "English (New Zealand)"},
        {0x1809, "English (Ireland)"},
    };
    for (const auto& [id, name] : kNames)
        if (id == language) return name;
    // An unlisted sublanguage: the primary language's name without a region.
    const std::uint16_t primary = language & 0x3FF;
    if (primary != 0)
        for (const auto& [id, name] : kNames)
            if ((id & 0x3FF) == primary) {
                const std::string full = name;
                return full.substr(0, full.find(" ("));
            }
    return "Unknown language";
}

}  // namespace versionresource

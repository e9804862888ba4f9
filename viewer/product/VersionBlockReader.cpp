#include "VersionResource.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>

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

}  // namespace versionresource

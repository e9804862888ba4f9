#include "CodePage.h"
#include "Iso6937.h"
#include "CodePageList.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

namespace platform {
namespace {

using namespace codepage;

#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr const char* kUtf16 = "UTF-16LE";
#else
constexpr const char* kUtf16 = "UTF-16BE";
#endif

constexpr char16_t kReplacement = 0xFFFD;

std::uint32_t resolveSystemPage(std::uint32_t codePage) {
    switch (codePage) {
        case 0:  // CP_ACP
        case 3:  // CP_THREAD_ACP: threads have no locale of their own here
            return systemAnsiCodePage();
        case 1:
            return systemOemCodePage();
        case 2:
            return systemMacCodePage();
        default:
            return codePage;
    }
}

// ---- iconv helpers ---------------------------------------------------------------------------

class Iconv {
public:
    explicit Iconv(const char* from) : m_cd(iconv_open(kUtf16, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(m_cd);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

// Converts one complete byte sequence on its own; the single unit it yields, or 0 when the
// sequence is not exactly one mappable BMP character.
char16_t convertSequence(iconv_t cd, const unsigned char* bytes, std::size_t count) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char16_t out[4] = {};
    char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(bytes));
    std::size_t inLeft = count;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t outLeft = sizeof(out);
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return 0;
    // Some converters hold a character back until they know no combining mark follows.
    if (iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return 0;
    if (inLeft != 0 || sizeof(out) - outLeft != sizeof(char16_t)) return 0;
    if (out[0] >= 0xD800 && out[0] <= 0xDFFF) return 0;
    return out[0];
}

// ---- single-byte pages: one 256-entry table per page, built once ------------------------------

struct ByteTable {
    std::array<char16_t, 256> single{};
};


std::unique_ptr<ByteTable> buildTable(const PageInfo& page) {
    Iconv cd(page.iconvName);
    if (!cd.ok()) return nullptr;
    auto table = std::make_unique<ByteTable>();
    for (unsigned b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        char16_t c = convertSequence(cd.get(), &byte, 1);
        if (c == 0 && b != 0) {
            const bool c1 = page.kind == Kind::SingleByteC1 && b >= 0x80 && b <= 0x9F;
            c = c1 ? static_cast<char16_t>(b) : kReplacement;
        }
        table->single[b] = c;
    }
    return table;
}

// Built on first use and kept for the life of the process; readers never lock.
struct TableCache {
    std::array<std::atomic<const ByteTable*>, kPageCount> tables{};
    std::array<std::atomic<bool>, kPageCount> failed{};
    std::mutex buildMutex;
    std::vector<std::unique_ptr<ByteTable>> owned;
};

TableCache& tableCache() {
    static TableCache cache;
    return cache;
}

const ByteTable* tableFor(std::size_t index) {
    TableCache& cache = tableCache();
    if (const ByteTable* t = cache.tables[index].load(std::memory_order_acquire)) return t;
    if (cache.failed[index].load(std::memory_order_acquire)) return nullptr;
    std::lock_guard lock(cache.buildMutex);
    if (const ByteTable* t = cache.tables[index].load(std::memory_order_acquire)) return t;
    auto built = buildTable(kPages[index]);
    if (!built) {
        cache.failed[index].store(true, std::memory_order_release);
        return nullptr;
    }
    const ByteTable* t = built.get();
    cache.owned.push_back(std::move(built));
    cache.tables[index].store(t, std::memory_order_release);
    return t;
}

std::u16string convertSingleByte(const ByteTable& table, std::string_view bytes) {
    std::u16string out(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        out[i] = table.single[static_cast<unsigned char>(bytes[i])];
    return out;
}

// ---- double-byte pages: iconv descriptors cached per thread -----------------------------------

class ThreadDescriptors {
public:
    ~ThreadDescriptors() {
        for (auto& entry : m_open)
            if (entry.second != reinterpret_cast<iconv_t>(-1)) iconv_close(entry.second);
    }
    // (iconv_t)-1 when the page cannot be opened.
    iconv_t get(std::size_t index) {
        for (const auto& entry : m_open)
            if (entry.first == index) return entry.second;
        m_open.emplace_back(index, iconv_open(kUtf16, kPages[index].iconvName));
        return m_open.back().second;
    }

private:
    std::vector<std::pair<std::size_t, iconv_t>> m_open;
};

std::optional<std::u16string> convertDoubleByte(std::size_t index, std::string_view bytes) {
    thread_local ThreadDescriptors descriptors;
    iconv_t cd = descriptors.get(index);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);

    // One input byte never yields more than one UTF-16 unit, two bytes at most two.
    std::u16string out(bytes.size() + 1, u'\0');
    std::size_t used = 0;
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(out.data() + used);
        std::size_t outLeft = (out.size() - used) * sizeof(char16_t);
        const std::size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        used = out.size() - outLeft / sizeof(char16_t);
        if (r != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2 + 8);
            continue;
        }
        if (out.size() - used < 1) out.resize(out.size() * 2 + 8);
        out[used++] = kReplacement;
        if (errno != EILSEQ) break;  // EINVAL: a lead byte cut off at the end
        // Skip the offending byte only; the next one may start a valid character.
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used);
    return out;
}

}  // namespace

std::optional<std::u16string> multiByteToWideChar(std::uint32_t codePage, std::string_view bytes) {
    const std::size_t index = findPage(resolveSystemPage(codePage));
    if (index == kPageCount) return std::nullopt;
    const PageInfo& page = kPages[index];
    if (page.kind == Kind::DoubleByte) return convertDoubleByte(index, bytes);
    if (page.kind == Kind::Iso6937) return decodeIso6937(bytes);
    const ByteTable* table = tableFor(index);
    if (!table) return std::nullopt;
    return convertSingleByte(*table, bytes);
}

bool isCodePageSupported(std::uint32_t codePage) {
    const std::size_t index = findPage(resolveSystemPage(codePage));
    if (index == kPageCount) return false;
    if (kPages[index].kind == Kind::DoubleByte) {
        Iconv cd(kPages[index].iconvName);
        return cd.ok();
    }
    return tableFor(index) != nullptr;
}

// ---- narrow strings ---------------------------------------------------------------------------

namespace {

// Strict UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF); nullopt otherwise.
std::optional<std::u16string> decodeUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        if (b0 < 0x80) {
            out.push_back(b0);
            ++i;
            continue;
        }
        int length;
        char32_t cp;
        char32_t minimum;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            length = 2, cp = b0 & 0x1F, minimum = 0x80;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            length = 3, cp = b0 & 0x0F, minimum = 0x800;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            length = 4, cp = b0 & 0x07, minimum = 0x10000;
        } else {
            return std::nullopt;
        }
        if (n - i < static_cast<std::size_t>(length)) return std::nullopt;
        for (int k = 1; k < length; ++k) {
            const auto b = static_cast<unsigned char>(text[i + k]);
            if ((b & 0xC0) != 0x80) return std::nullopt;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += length;
    }
    return out;
}

}  // namespace

std::u16string narrowToWide(std::string_view text) {
    if (auto utf8 = decodeUtf8(text)) return std::move(*utf8);
    if (auto ansi = multiByteToWideChar(0, text)) return std::move(*ansi);
    // Only reachable if iconv lacks even the Western page: keep the bytes as Latin-1.
    std::u16string latin1(text.size(), u'\0');
    std::transform(text.begin(), text.end(), latin1.begin(),
                   [](char c) { return static_cast<unsigned char>(c); });
    return latin1;
}

}  // namespace platform

#include "CodePage.h"

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

#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr const char* kUtf16 = "UTF-16LE";
#else
constexpr const char* kUtf16 = "UTF-16BE";
#endif

constexpr char16_t kReplacement = 0xFFFD;

enum class Kind : std::uint8_t {
    SingleByte,
    // Single-byte page whose undefined bytes 0x80-0x9F come out as the C1 control of the same
    // value, as Windows does for its own 125x/874 tables.
    SingleByteC1,
    DoubleByte,
    // Non-spacing diacritic (0xC1-0xCF) followed by the letter it sits on.
    Iso6937,
};

struct PageInfo {
    std::uint16_t codePage;
    const char* iconvName;
    Kind kind;
};

// Sorted by code page number. Pages iconv cannot convert are left out, so they are refused like
// the ones Windows refuses with MB_PRECOMPOSED (UTF-7/8, GB18030, ISO-2022, ISCII, symbol).
constexpr PageInfo kPages[] = {
    {37, "IBM037", Kind::SingleByte},
    {437, "IBM437", Kind::SingleByte},
    {500, "IBM500", Kind::SingleByte},
    {708, "ASMO-708", Kind::SingleByte},
    {737, "CP737", Kind::SingleByte},
    {775, "IBM775", Kind::SingleByte},
    {850, "IBM850", Kind::SingleByte},
    {852, "IBM852", Kind::SingleByte},
    {855, "IBM855", Kind::SingleByte},
    {857, "IBM857", Kind::SingleByte},
    {858, "IBM858", Kind::SingleByte},
    {860, "IBM860", Kind::SingleByte},
    {861, "IBM861", Kind::SingleByte},
    {862, "IBM862", Kind::SingleByte},
    {863, "IBM863", Kind::SingleByte},
    {864, "IBM864", Kind::SingleByte},
    {865, "IBM865", Kind::SingleByte},
    {866, "IBM866", Kind::SingleByte},
    {869, "IBM869", Kind::SingleByte},
    {870, "IBM870", Kind::SingleByte},
    {874, "CP874", Kind::SingleByteC1},
    {875, "IBM875", Kind::SingleByte},
    {932, "CP932", Kind::DoubleByte},
    {936, "CP936", Kind::DoubleByte},
    {949, "CP949", Kind::DoubleByte},
    {950, "CP950", Kind::DoubleByte},
    {1026, "IBM1026", Kind::SingleByte},
    {1047, "IBM1047", Kind::SingleByte},
    {1140, "IBM1140", Kind::SingleByte},
    {1141, "IBM1141", Kind::SingleByte},
    {1142, "IBM1142", Kind::SingleByte},
    {1143, "IBM1143", Kind::SingleByte},
    {1144, "IBM1144", Kind::SingleByte},
    {1145, "IBM1145", Kind::SingleByte},
    {1146, "IBM1146", Kind::SingleByte},
    {1147, "IBM1147", Kind::SingleByte},
    {1148, "IBM1148", Kind::SingleByte},
    {1149, "IBM1149", Kind::SingleByte},
    {1250, "CP1250", Kind::SingleByteC1},
    {1251, "CP1251", Kind::SingleByteC1},
    {1252, "CP1252", Kind::SingleByteC1},
    {1253, "CP1253", Kind::SingleByteC1},
    {1254, "CP1254", Kind::SingleByteC1},
    {1255, "CP1255", Kind::SingleByteC1},
    {1256, "CP1256", Kind::SingleByteC1},
    {1257, "CP1257", Kind::SingleByteC1},
    {1258, "CP1258", Kind::SingleByteC1},
    {1361, "JOHAB", Kind::DoubleByte},
    {10000, "MACINTOSH", Kind::SingleByte},
    // Close relatives of the Mac East Asian pages.
    {10001, "SJIS", Kind::DoubleByte},
    {10002, "BIG5", Kind::DoubleByte},
    {10003, "EUC-KR", Kind::DoubleByte},
    {10007, "MAC-CYRILLIC", Kind::SingleByte},
    {10008, "GB2312", Kind::DoubleByte},
    {10017, "MACUKRAINIAN", Kind::SingleByte},
    {10029, "MAC-CENTRALEUROPE", Kind::SingleByte},
    {10079, "MAC-IS", Kind::SingleByte},
    {20127, "ASCII", Kind::SingleByte},
    {20269, "ISO_6937", Kind::Iso6937},
    {20273, "IBM273", Kind::SingleByte},
    {20277, "IBM277", Kind::SingleByte},
    {20278, "IBM278", Kind::SingleByte},
    {20280, "IBM280", Kind::SingleByte},
    {20284, "IBM284", Kind::SingleByte},
    {20285, "IBM285", Kind::SingleByte},
    {20290, "IBM290", Kind::SingleByte},
    {20297, "IBM297", Kind::SingleByte},
    {20420, "IBM420", Kind::SingleByte},
    {20423, "IBM423", Kind::SingleByte},
    {20424, "IBM424", Kind::SingleByte},
    {20866, "KOI8-R", Kind::SingleByte},
    {20871, "IBM871", Kind::SingleByte},
    {20880, "IBM880", Kind::SingleByte},
    {20905, "IBM905", Kind::SingleByte},
    {20932, "EUC-JP", Kind::DoubleByte},
    {20936, "GB2312", Kind::DoubleByte},
    {21025, "IBM1025", Kind::SingleByte},
    {21866, "KOI8-U", Kind::SingleByte},
    {28591, "ISO-8859-1", Kind::SingleByte},
    {28592, "ISO-8859-2", Kind::SingleByte},
    {28593, "ISO-8859-3", Kind::SingleByte},
    {28594, "ISO-8859-4", Kind::SingleByte},
    {28595, "ISO-8859-5", Kind::SingleByte},
    {28596, "ISO-8859-6", Kind::SingleByte},
    {28597, "ISO-8859-7", Kind::SingleByte},
    {28598, "ISO-8859-8", Kind::SingleByte},
    {28599, "ISO-8859-9", Kind::SingleByte},
    {28600, "ISO-8859-10", Kind::SingleByte},
    {28601, "ISO-8859-11", Kind::SingleByte},
    {28603, "ISO-8859-13", Kind::SingleByte},
    {28604, "ISO-8859-14", Kind::SingleByte},
    {28605, "ISO-8859-15", Kind::SingleByte},
    {28606, "ISO-8859-16", Kind::SingleByte},
    {38598, "ISO-8859-8", Kind::SingleByte},
    {51932, "EUC-JP", Kind::DoubleByte},
    {51936, "GB2312", Kind::DoubleByte},
    {51949, "EUC-KR", Kind::DoubleByte},
};
constexpr std::size_t kPageCount = std::size(kPages);

static_assert(std::is_sorted(std::begin(kPages), std::end(kPages),
                             [](const PageInfo& a, const PageInfo& b) {
                                 return a.codePage < b.codePage;
                             }),
              "kPages must stay sorted for the binary search");

// Index into kPages, or kPageCount.
std::size_t findPage(std::uint32_t codePage) {
    auto it = std::lower_bound(std::begin(kPages), std::end(kPages), codePage,
                               [](const PageInfo& p, std::uint32_t cp) { return p.codePage < cp; });
    if (it == std::end(kPages) || it->codePage != codePage) return kPageCount;
    return static_cast<std::size_t>(it - std::begin(kPages));
}

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
    // 20269 only: the precomposed character of accent 0xC1+i followed by byte b, or 0.
    std::vector<std::array<char16_t, 256>> accented;
};

constexpr unsigned char kFirstAccent = 0xC1;
constexpr unsigned char kLastAccent = 0xCF;

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
    if (page.kind == Kind::Iso6937) {
        table->accented.resize(kLastAccent - kFirstAccent + 1);
        for (unsigned a = kFirstAccent; a <= kLastAccent; ++a)
            for (unsigned b = 0; b < 256; ++b) {
                const unsigned char pair[2] = {static_cast<unsigned char>(a),
                                               static_cast<unsigned char>(b)};
                table->accented[a - kFirstAccent][b] = convertSequence(cd.get(), pair, 2);
            }
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

std::u16string convertIso6937(const ByteTable& table, std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < kFirstAccent || b > kLastAccent) {
            out.push_back(table.single[b]);
            continue;
        }
        // A diacritic with nothing it can combine with is unmappable; the next byte then
        // stands on its own.
        char16_t combined = 0;
        if (i + 1 < bytes.size())
            combined = table.accented[b - kFirstAccent][static_cast<unsigned char>(bytes[i + 1])];
        if (combined != 0) {
            out.push_back(combined);
            ++i;
        } else {
            out.push_back(kReplacement);
        }
    }
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
    const ByteTable* table = tableFor(index);
    if (!table) return std::nullopt;
    if (page.kind == Kind::Iso6937) return convertIso6937(*table, bytes);
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

// ---- system code pages ------------------------------------------------------------------------

namespace {

struct SystemPages {
    std::uint16_t ansi;
    std::uint16_t oem;
    std::uint16_t mac;
};

constexpr SystemPages kWestern{1252, 437, 10000};

struct LanguagePages {
    const char* language;
    SystemPages pages;
};

// The pages Windows gives a system locale of that language. Where iconv has no converter for
// Windows' choice (Mac Greek, Turkish, Hebrew, Arabic, Thai, OEM Arabic 720) the caller falls
// back to the Western page of that kind.
constexpr LanguagePages kLanguages[] = {
    {"ru", {1251, 866, 10007}},  {"uk", {1251, 866, 10017}},  {"be", {1251, 866, 10007}},
    {"bg", {1251, 866, 10007}},  {"mk", {1251, 866, 10007}},  {"sr", {1251, 855, 10007}},
    {"kk", {1251, 866, 10007}},  {"ky", {1251, 866, 10007}},  {"tt", {1251, 866, 10007}},
    {"mn", {1251, 866, 10007}},  {"ba", {1251, 866, 10007}},  {"tg", {1251, 866, 10007}},
    {"pl", {1250, 852, 10029}},  {"cs", {1250, 852, 10029}},  {"sk", {1250, 852, 10029}},
    {"hu", {1250, 852, 10029}},  {"sl", {1250, 852, 10029}},  {"hr", {1250, 852, 10029}},
    {"ro", {1250, 852, 10029}},  {"sq", {1250, 852, 10029}},  {"bs", {1250, 852, 10029}},
    {"hsb", {1250, 852, 10029}}, {"dsb", {1250, 852, 10029}}, {"el", {1253, 737, 10006}},
    {"tr", {1254, 857, 10081}},  {"az", {1254, 857, 10081}},  {"he", {1255, 862, 10005}},
    {"iw", {1255, 862, 10005}},  {"ar", {1256, 720, 10004}},  {"fa", {1256, 720, 10004}},
    {"ur", {1256, 720, 10004}},  {"lt", {1257, 775, 10029}},  {"lv", {1257, 775, 10029}},
    {"et", {1257, 775, 10029}},  {"vi", {1258, 1258, 10000}}, {"th", {874, 874, 10021}},
    {"ja", {932, 932, 10001}},   {"ko", {949, 949, 10003}},
};

std::string lower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

// The locale that decides the character set, by the usual precedence.
std::string ctypeLocale() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return value;
    }
    return "C";
}

SystemPages windowsPagesFor(std::string_view locale) {
    // language[_territory][.codeset][@modifier]
    const std::size_t modifierAt = locale.find('@');
    const std::string modifier =
        modifierAt == std::string_view::npos ? "" : lower(locale.substr(modifierAt + 1));
    locale = locale.substr(0, std::min(locale.find('.'), modifierAt));
    const std::size_t territoryAt = locale.find('_');
    const std::string language = lower(locale.substr(0, territoryAt));
    const std::string territory =
        territoryAt == std::string_view::npos ? "" : lower(locale.substr(territoryAt + 1));

    if (language == "zh") {
        if (territory == "tw" || territory == "hk" || territory == "mo") return {950, 950, 10002};
        return {936, 936, 10008};
    }
    if (language == "sr" && modifier == "latin") return {1250, 852, 10029};
    for (const auto& entry : kLanguages)
        if (language == entry.language) return entry.pages;
    return kWestern;
}

std::uint16_t usable(std::uint16_t page, std::uint16_t fallback) {
    return findPage(page) != kPageCount ? page : fallback;
}

}  // namespace

std::uint16_t systemAnsiCodePage() {
    return usable(windowsPagesFor(ctypeLocale()).ansi, kWestern.ansi);
}

std::uint16_t systemOemCodePage() {
    return usable(windowsPagesFor(ctypeLocale()).oem, kWestern.oem);
}

std::uint16_t systemMacCodePage() {
    return usable(windowsPagesFor(ctypeLocale()).mac, kWestern.mac);
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

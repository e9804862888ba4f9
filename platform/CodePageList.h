#pragma once
// The Windows code pages this build converts, with the converter that does it. Internal to
// platform: users go through CodePage.h.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace platform::codepage {

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
inline constexpr PageInfo kPages[] = {
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
inline constexpr std::size_t kPageCount = std::size(kPages);

static_assert(std::is_sorted(std::begin(kPages), std::end(kPages),
                             [](const PageInfo& a, const PageInfo& b) {
                                 return a.codePage < b.codePage;
                             }),
              "kPages must stay sorted for the binary search");

// Index into kPages, or kPageCount.
inline std::size_t findPage(std::uint32_t codePage) {
    auto it = std::lower_bound(std::begin(kPages), std::end(kPages), codePage,
                               [](const PageInfo& p, std::uint32_t cp) { return p.codePage < cp; });
    if (it == std::end(kPages) || it->codePage != codePage) return kPageCount;
    return static_cast<std::size_t>(it - std::begin(kPages));
}

}  // namespace platform::codepage

#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <string>

#include "platform/Iso6937.h"

namespace {

struct DecodeCase {
    const char* what;
    std::string bytes;
    std::u16string expected;
};

const DecodeCase kCases[] = {
    {"grave",
     "\xC1"
     "e",
     u"è"},
    {"acute",
     "\xC2"
     "e",
     u"é"},
    {"circumflex",
     "\xC3"
     "e",
     u"ê"},
    {"tilde",
     "\xC4"
     "n",
     u"ñ"},
    {"macron",
     "\xC5"
     "a",
     u"ā"},
    {"breve",
     "\xC6"
     "g",
     u"ğ"},
    {"dot above",
     "\xC7"
     "z",
     u"ż"},
    {"diaeresis",
     "\xC8"
     "u",
     u"ü"},
    {"ring",
     "\xCA"
     "a",
     u"å"},
    {"cedilla",
     "\xCB"
     "c",
     u"ç"},
    {"double acute",
     "\xCD"
     "o",
     u"ő"},
    {"ogonek",
     "\xCE"
     "e",
     u"ę"},
    {"caron",
     "\xCF"
     "s",
     u"š"},
    {"capital",
     "\xC2"
     "E",
     u"É"},
    {"no precomposed form",
     "\xC2"
     "q",
     u"q\u0301"},
    {"cedilla on a letter without one",
     "\xCB"
     "q",
     u"q\u0327"},
    {"table letter with an accent", "\xC2\xE1", u"Ǽ"},
    {"before a space", "a\xC2 b", u"a´b"},
    {"diaeresis before a space", "\xC8 ", u"¨"},
    {"before a control code",
     "\xC2\x8A"
     "e",
     u"´\u008Ae"},
    {"before a teletext code", "\xC1\x0D", u"`\u000D"},
    {"at the end", "a\xC2", u"a´"},
    {"before another diacritic",
     "\xC2\xC8"
     "e",
     u"´ë"},
    {"before an undefined byte", "\xC2\xC0", u"´\uFFFD"},
    {"subtitle dollar and hash", "\xA4\xA6\x24\x23", u"$#$#"},
    {"upper half letters", "\xE1\xE8\xE9\xEA\xF1\xFB\xE0", u"ÆŁØŒæßΩ"},
    {"quotes and arrows", "\xA9\xAA\xB9\xBA\xAC", u"‘“’”←"},
    {"symbols", "\xD2\xD3\xD4\xD5\xFF", u"®©™♪\u00AD"},
    {"undefined bytes", "\xC0\xC9\xCC\xD8\xE5", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
    {"French words",
     "pr\xC2"
     "ef\xC2"
     "er\xC2"
     "ees, M\xC3"
     "eme",
     u"préférées, Même"},
};

TEST(Iso6937, DecodesTheStlLatinTable) {
    for (const DecodeCase& c : kCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(platform::decodeIso6937(c.bytes), c.expected);
    }
}

TEST(Iso6937, ControlBytesStandForThemselves) {
    for (unsigned b : {0x00u, 0x07u, 0x0Du, 0x1Fu, 0x7Fu, 0x80u, 0x8Au, 0x8Fu, 0x9Fu}) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(platform::decodeIso6937(one), std::u16string(1, static_cast<char16_t>(b))) << b;
    }
}

std::optional<char16_t> glibcSingle(iconv_t cd, const std::string& bytes) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char16_t out[4] = {};
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t outLeft = sizeof(out);
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
        iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
        sizeof(out) - outLeft != sizeof(char16_t))
        return std::nullopt;
    return out[0];
}

// glibc serves as a cross-check only: wherever it decodes a diacritic and a letter to one
// character, so must we. Where it refuses (a diacritic before a space, a letter without a
// precomposed form), we decode what subtitle files mean.
TEST(Iso6937, AgreesWithGlibcWhereGlibcDecodes) {
    iconv_t cd = iconv_open("UTF-16LE", "ISO_6937");
    if (cd == reinterpret_cast<iconv_t>(-1)) GTEST_SKIP() << "no ISO_6937 converter";
    int compared = 0;
    for (unsigned d = 0xC1; d <= 0xCF; ++d)
        for (unsigned letter = 'A'; letter <= 'z'; ++letter) {
            if (letter > 'Z' && letter < 'a') continue;
            const std::string pair{static_cast<char>(d), static_cast<char>(letter)};
            const auto theirs = glibcSingle(cd, pair);
            if (!theirs) continue;
            ++compared;
            EXPECT_EQ(platform::decodeIso6937(pair), std::u16string(1, *theirs)) << d << letter;
        }
    EXPECT_GT(compared, 100);
    EXPECT_FALSE(glibcSingle(cd, "\xC2q"));
    EXPECT_EQ(platform::decodeIso6937("\xC2q"), u"q\u0301");
    iconv_close(cd);
}

}  // namespace

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/CodePage.h"

namespace {

// Sets the locale variables for one test and restores them afterwards.
class ScopedLocale {
public:
    ScopedLocale(const char* lcAll, const char* lcCtype, const char* lang) {
        for (const char* name : kNames) {
            const char* old = std::getenv(name);
            m_saved.push_back(old ? std::optional<std::string>(old) : std::nullopt);
        }
        set("LC_ALL", lcAll);
        set("LC_CTYPE", lcCtype);
        set("LANG", lang);
    }
    ~ScopedLocale() {
        for (std::size_t i = 0; i < std::size(kNames); ++i)
            set(kNames[i], m_saved[i] ? m_saved[i]->c_str() : nullptr);
    }

private:
    static void set(const char* name, const char* value) {
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    static constexpr const char* kNames[] = {"LC_ALL", "LC_CTYPE", "LANG"};
    std::vector<std::optional<std::string>> m_saved;
};

std::string bytes(std::initializer_list<unsigned> values) {
    std::string s;
    for (unsigned v : values) s.push_back(static_cast<char>(v));
    return s;
}

struct ConversionCase {
    const char* name;
    std::uint32_t codePage;
    std::string input;
    std::u16string expected;
};

class Conversion : public testing::TestWithParam<ConversionCase> {};

TEST_P(Conversion, GivesExpectedText) {
    ScopedLocale locale(nullptr, nullptr, "en_US.UTF-8");
    const auto& c = GetParam();
    const auto result = platform::multiByteToWideChar(c.codePage, c.input);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, Conversion,
    testing::Values(
        ConversionCase{"Ansi1252Acute", 1252, bytes({0xE9}), u"\u00E9"},
        ConversionCase{"Oem850Acute", 850, bytes({0xE9}), u"\u00DA"},
        ConversionCase{"Cyrillic1251", 1251, bytes({0xE9, 0xF9}), u"\u0439\u0449"},
        ConversionCase{"Euro1252", 1252, bytes({0x80}), u"\u20AC"},
        ConversionCase{"Undefined1252IsC1", 1252, bytes({0x41, 0x81, 0x8D, 0x9D}),
                       u"A\u0081\u008D\u009D"},
        ConversionCase{"Dos437", 437, bytes({0x82, 0xB0}), u"\u00E9\u2591"},
        ConversionCase{"Koi8r", 20866, bytes({0xC1}), u"\u0430"},
        ConversionCase{"Koi8u", 21866, bytes({0xA4}), u"\u0454"},
        ConversionCase{"Latin2", 28592, bytes({0xB1}), u"\u0105"},
        ConversionCase{"Latin9", 28605, bytes({0xA4}), u"\u20AC"},
        ConversionCase{"MacRoman", 10000, bytes({0x8E}), u"\u00E9"},
        ConversionCase{"AsciiHighByteUnmappable", 20127, bytes({0x41, 0xE9}), u"A\uFFFD"},
        ConversionCase{"Iso6937Plain", 20269, bytes({0x41, 0xA3}), u"A\u00A3"},
        ConversionCase{"Iso6937AccentLetter", 20269, bytes({0xC2, 'e', 'x'}), u"\u00E9x"},
        ConversionCase{"Iso6937Diaeresis", 20269, bytes({0xC8, 'a', 0xC8, 'U'}), u"\u00E4\u00DC"},
        ConversionCase{"Iso6937AccentAtEnd", 20269, bytes({'a', 0xC2}), u"a\u00B4"},
        ConversionCase{"Sjis", 932, bytes({0x82, 0xA0, 0x41}), u"\u3042A"},
        ConversionCase{"SjisTruncatedLead", 932, bytes({0x41, 0x82}), u"A\uFFFD"},
        ConversionCase{"SjisBadLeadContinues", 932, bytes({0x82, 0x0A, 0x41}), u"\uFFFD\nA"},
        ConversionCase{"Gbk", 936, bytes({0xC4, 0xE3}), u"\u4F60"},
        ConversionCase{"Uhc", 949, bytes({0xB0, 0xA1}), u"\uAC00"},
        ConversionCase{"Big5", 950, bytes({0xA4, 0x40}), u"\u4E00"},
        ConversionCase{"EmptyText", 1252, std::string(), u""},
        ConversionCase{"SystemAnsiFollowsLang", 0, bytes({0xE9}), u"\u00E9"},
        ConversionCase{"SystemOemFollowsLang", 1, bytes({0x82}), u"\u00E9"},
        ConversionCase{"SystemMacFollowsLang", 2, bytes({0x8E}), u"\u00E9"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CodePageRefusal, RefusedAndUnknownPagesGiveNothing) {
    for (std::uint32_t cp : {65000u, 65001u, 54936u, 50220u, 50225u, 50229u, 52936u, 57002u, 57011u,
                             42u, 12345u, 65535u, 99999u})
        EXPECT_FALSE(platform::multiByteToWideChar(cp, "abc").has_value()) << cp;
    EXPECT_FALSE(platform::isCodePageSupported(65001));
    EXPECT_TRUE(platform::isCodePageSupported(20269));
    EXPECT_TRUE(platform::isCodePageSupported(932));
}

TEST(CodePageSystem, CodePageZeroFollowsLocale) {
    ScopedLocale locale(nullptr, nullptr, "ru_RU.UTF-8");
    EXPECT_EQ(platform::multiByteToWideChar(0, bytes({0xE9})), u"\u0439");
}

struct LocaleCase {
    const char* lcAll;
    const char* lcCtype;
    const char* lang;
    std::uint16_t ansi, oem, mac;
};

class SystemPages : public testing::TestWithParam<LocaleCase> {};

TEST_P(SystemPages, DerivedFromLocaleVariables) {
    const auto& c = GetParam();
    ScopedLocale locale(c.lcAll, c.lcCtype, c.lang);
    EXPECT_EQ(platform::systemAnsiCodePage(), c.ansi);
    EXPECT_EQ(platform::systemOemCodePage(), c.oem);
    EXPECT_EQ(platform::systemMacCodePage(), c.mac);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, SystemPages,
    testing::Values(LocaleCase{nullptr, nullptr, "ru_RU.UTF-8", 1251, 866, 10007},
                    LocaleCase{nullptr, nullptr, "pl_PL", 1250, 852, 10029},
                    LocaleCase{nullptr, nullptr, "ja_JP.eucJP", 932, 932, 10001},
                    LocaleCase{nullptr, nullptr, "zh_TW.UTF-8", 950, 950, 10002},
                    LocaleCase{nullptr, nullptr, "zh_CN.UTF-8", 936, 936, 10008},
                    LocaleCase{nullptr, nullptr, "el_GR.UTF-8", 1253, 737, 10000},
                    LocaleCase{nullptr, nullptr, "sr_RS@latin", 1250, 852, 10029},
                    LocaleCase{nullptr, nullptr, "C", 1252, 437, 10000},
                    LocaleCase{nullptr, nullptr, "de_DE.UTF-8", 1252, 437, 10000},
                    LocaleCase{nullptr, nullptr, nullptr, 1252, 437, 10000},
                    LocaleCase{"tr_TR.UTF-8", nullptr, "ru_RU.UTF-8", 1254, 857, 10000},
                    LocaleCase{nullptr, "ko_KR.UTF-8", "ru_RU.UTF-8", 949, 949, 10003},
                    LocaleCase{"", "", "cs_CZ.UTF-8", 1250, 852, 10029}));

TEST(NarrowToWide, Utf8FirstThenSystemAnsi) {
    ScopedLocale locale(nullptr, nullptr, "ru_RU.UTF-8");
    EXPECT_EQ(platform::narrowToWide("caf\xC3\xA9 \xF0\x9F\x98\x80"), u"caf\u00E9 \U0001F600");
    // Not UTF-8: a lone 0xE9 is read in the system ANSI page.
    EXPECT_EQ(platform::narrowToWide("\xE9"), u"\u0439");
    // Overlong and surrogate encodings are not UTF-8 either.
    EXPECT_EQ(platform::narrowToWide("\xC0\xAF"), u"\u0410\u0407");
    EXPECT_EQ(platform::narrowToWide("\xED\xA0\x80"), u"\u043D\u00A0\u0402");
}

#if defined(LUMTRACE_SANITIZER_BUILD)
constexpr int kSanitizerSlowdown = 4;
#else
constexpr int kSanitizerSlowdown = 1;
#endif

TEST(CodePagePerformance, HundredThousandRowsAreFast) {
    const std::string row(112, '\xE9');
    for (std::uint32_t cp : {1252u, 932u}) {
        const auto start = std::chrono::steady_clock::now();
        std::size_t total = 0;
        for (int i = 0; i < 99999; ++i) total += platform::multiByteToWideChar(cp, row)->size();
        const auto elapsed = std::chrono::steady_clock::now() - start;
        EXPECT_GT(total, 0u);
        // An iconv_open per call takes seconds; a sanitizer build runs everything a few times
        // slower.
        EXPECT_LT(elapsed, std::chrono::milliseconds(1500) * kSanitizerSlowdown) << cp;
    }
}

TEST(CodePageThreads, ConcurrentFirstUseGivesSameTables) {
    std::vector<std::thread> threads;
    std::vector<std::u16string> results(8);
    for (std::size_t t = 0; t < results.size(); ++t)
        threads.emplace_back([&, t] {
            std::u16string text;
            for (std::uint32_t cp : {1257u, 949u, 20269u})
                text += *platform::multiByteToWideChar(cp, bytes({0xE0, 0xB0, 0xA1, 0xC2, 'a'}));
            results[t] = text;
        });
    for (auto& th : threads) th.join();
    for (const auto& r : results) EXPECT_EQ(r, results[0]);
    // 0xA1 is undefined in 1257 and outside the C1 range.
    EXPECT_EQ(results[0].substr(0, 5), u"\u0105\u00B0\uFFFD\u0100a");
}

}  // namespace

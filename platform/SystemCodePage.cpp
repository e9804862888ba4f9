#include "CodePage.h"
#include "CodePageList.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace platform {

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
    return codepage::findPage(page) != codepage::kPageCount ? page : fallback;
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

}  // namespace platform

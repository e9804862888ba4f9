#include "LanguageTag.h"

#include <cctype>

#include "stl/StlUtils.h"

namespace {

// Codes 01-2B count up from Albanian, codes 45-7F count down from Amharic. Codes naming a group
// of languages or a language with no clear tag (Lappish, Ndebele, Serbo-Croat) are left untagged.
constexpr const char* kLow[] = {
    "",   "sq", "br", "ca", "hr", "cy", "cs", "da", "de", "en", "es", "eo", "et",    "eu", "fo",
    "fr", "fy", "ga", "gd", "gl", "is", "it", "",   "la", "lv", "lb", "lt", "hu",    "mt", "nl",
    "no", "oc", "pl", "pt", "ro", "rm", "sr", "sk", "sl", "fi", "sv", "tr", "nl-BE", "wa"};
constexpr const char* kHigh[] = {
    // 45 upwards
    "zu", "vi",  "uz", "ur", "uk", "th", "te", "tt",  "ta", "tg", "sw", "srn", "so",    "si", "sn",
    "",   "rue", "ru", "qu", "ps", "pa", "fa", "pap", "or", "ne", "",   "mr",  "ro-MD", "ms", "mg",
    "mk", "lo",  "ko", "km", "kk", "kn", "ja", "id",  "hi", "he", "ha", "gn",  "gu",    "el", "ka",
    "ff", "prs", "cv", "zh", "my", "bg", "bn", "be",  "bm", "az", "as", "hy",  "ar",    "am"};

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

}  // namespace

std::string languageTag(const GeneralSubtitleInformation& gsi) {
    const std::string text = fieldText(gsi.bytes, gsi::languageCode);
    if (text.size() != 2) return {};
    const int high = hexValue(text[0]), low = hexValue(text[1]);
    if (high < 0 || low < 0) return {};
    const int code = high * 16 + low;
    constexpr int lowCount = sizeof kLow / sizeof *kLow;
    constexpr int highCount = sizeof kHigh / sizeof *kHigh;
    static_assert(lowCount == 0x2C && highCount == 0x80 - 0x45);
    if (code < lowCount) return kLow[code];
    if (code >= 0x80 - highCount && code < 0x80) return kHigh[code - (0x80 - highCount)];
    return {};
}

#include "TextTables.h"

#include "CodePage.h"
#include "StlUtils.h"
#include "platform/Iso6937.h"

namespace {

constexpr std::uint16_t kIso6937 = 20269;
constexpr std::uint8_t kUnusedSpace = 0x8F;

struct TableEntry {
    const char* field;
    TextTable table;
};

constexpr TableEntry kTables[] = {
    {"00", {kIso6937, "Latin (ISO 6937)"}},       {"01", {28595, "Latin/Cyrillic (ISO 8859-5)"}},
    {"02", {28596, "Latin/Arabic (ISO 8859-6)"}}, {"03", {28597, "Latin/Greek (ISO 8859-7)"}},
    {"04", {28598, "Latin/Hebrew (ISO 8859-8)"}},
};

std::string rawField(const GeneralSubtitleInformation& gsi, const StlField& field) {
    std::string text;
    for (int i = 0; i < field.length; ++i) {
        const unsigned char c = gsi.bytes[field.offset + i];
        text += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    }
    return text;
}

bool isControl(char16_t c) {
    return c < 0x20 || (c >= 0x80 && c <= 0x9F);
}

}  // namespace

std::string characterCodeTableText(const GeneralSubtitleInformation& gsi) {
    return rawField(gsi, gsi::characterCodeTableNumber);
}

std::optional<TextTable> characterCodeTable(const GeneralSubtitleInformation& gsi) {
    const std::string field = characterCodeTableText(gsi);
    for (const TableEntry& entry : kTables)
        if (field == entry.field) return entry.table;
    return std::nullopt;
}

std::optional<std::uint16_t> gsiCodePage(const GeneralSubtitleInformation& gsi) {
    const std::string field = rawField(gsi, gsi::codePageNumber);
    for (const char* page : {"437", "850", "860", "863", "865"})
        if (field == page) return static_cast<std::uint16_t>(std::stoi(page));
    return std::nullopt;
}

std::u16string subtitleDisplayText(const TextAndTimingInformation& block, std::uint16_t codePage) {
    if (codePage != kIso6937) return codePageToUnicode(textFieldDisplayBytes(block), codePage);
    const auto* field = reinterpret_cast<const char*>(block.bytes + tti::textField.offset);
    std::string_view raw(field, TTI_TEXT_FIELD_SIZE);
    raw = raw.substr(0, raw.find(static_cast<char>(kUnusedSpace)));
    std::u16string text = platform::decodeIso6937(raw);
    for (char16_t& c : text)
        if (isControl(c)) c = u'|';
    return text;
}

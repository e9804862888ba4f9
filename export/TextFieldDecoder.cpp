#include "TextFieldDecoder.h"

#include <optional>

#include "platform/CodePage.h"

namespace {

constexpr std::uint8_t kLineBreak = 0x8A;
constexpr std::uint8_t kUnusedSpace = 0x8F;

bool isCharacter(std::uint8_t byte) {
    return (byte >= 0x20 && byte <= 0x7F) || byte >= 0xA0;
}

bool isControl(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

class RowBuilder {
public:
    explicit RowBuilder(const DecodeSettings& settings) : m_settings(settings) {}

    void character(std::uint8_t byte) { m_run += static_cast<char>(byte); }

    void control(std::uint8_t code) {
        flush();
        const bool teletext = m_settings.standard != DisplayStandard::Open;
        const bool open = m_settings.standard != DisplayStandard::Teletext;
        if (code == kLineBreak) {
            endRow();
        } else if (code < 0x20) {
            // A teletext attribute occupies a character cell.
            m_pendingCell = true;
            if (teletext && code < 0x08) m_style.colour = static_cast<TextColour>(code);
        } else if (open && code >= 0x80 && code <= 0x83) {
            (code < 0x82 ? m_style.italic : m_style.underline) = (code % 2 == 0);
        }
    }

    StyledText finish() {
        flush();
        endRow();
        return std::move(m_rows);
    }

private:
    void flush() {
        if (m_run.empty()) return;
        std::u16string text = platform::multiByteToWideChar(m_settings.codePage, m_run)
                                  .value_or(std::u16string(m_run.size(), u'\uFFFD'));
        m_run.clear();
        std::erase_if(text, isControl);
        if (text.empty()) return;
        if (m_pendingCell && !m_row.empty() && m_row.back().text.back() != u' ' &&
            text.front() != u' ')
            text.insert(0, 1, u' ');
        m_pendingCell = false;
        if (!m_row.empty() && m_row.back().style == m_style)
            m_row.back().text += text;
        else
            m_row.push_back({std::move(text), m_style});
    }

    void endRow() {
        trim(m_row);
        if (!m_row.empty()) m_rows.push_back(std::move(m_row));
        m_row.clear();
        m_pendingCell = false;
        // Teletext starts every row in white.
        m_style.colour = TextColour::White;
    }

    static void trim(StyledLine& row) {
        while (!row.empty()) {
            std::u16string& text = row.front().text;
            text.erase(0, text.find_first_not_of(u' '));
            if (!text.empty()) break;
            row.erase(row.begin());
        }
        while (!row.empty()) {
            std::u16string& text = row.back().text;
            const auto last = text.find_last_not_of(u' ');
            text.erase(last == std::u16string::npos ? 0 : last + 1);
            if (!text.empty()) break;
            row.pop_back();
        }
    }

    const DecodeSettings& m_settings;
    TextStyle m_style;
    std::string m_run;
    bool m_pendingCell = false;
    StyledLine m_row;
    StyledText m_rows;
};

}  // namespace

DisplayStandard displayStandardOf(const GeneralSubtitleInformation& gsi) {
    const std::uint8_t code = gsi.bytes[gsi::displayStandardCode.offset];
    if (code == ' ' || code == '0') return DisplayStandard::Open;
    if (code == '1' || code == '2') return DisplayStandard::Teletext;
    return DisplayStandard::Unknown;
}

std::string_view textFieldBytes(const TextAndTimingInformation& block) {
    std::string_view field(reinterpret_cast<const char*>(block.bytes + tti::textField.offset),
                           TTI_TEXT_FIELD_SIZE);
    return field.substr(0, field.find(static_cast<char>(kUnusedSpace)));
}

StyledText decodeSubtitleText(std::string_view raw, const DecodeSettings& settings) {
    RowBuilder builder(settings);
    for (const char c : raw) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (byte == kUnusedSpace) break;
        if (isCharacter(byte))
            builder.character(byte);
        else
            builder.control(byte);
    }
    return builder.finish();
}

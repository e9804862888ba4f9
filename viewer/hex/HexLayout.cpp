#include "HexLayout.h"

#include <algorithm>
#include <cstdio>

namespace hexlayout {

int linesOnPage(int clientHeight) {
    return std::clamp(clientHeight / lineHeight - 1, 1, pageBufferLines);
}

int pageStepLines(int clientHeight) {
    // Bounded like the page itself so a very tall memo cannot skip lines it never showed.
    return std::clamp(clientHeight / lineHeight, 0, pageBufferLines + 1);
}

std::int64_t lineStart(std::int64_t offset) {
    return offset - offset % bytesPerLine;
}

std::optional<std::int64_t> moveTarget(NavKey key, std::int64_t last, std::int64_t fileSize,
                                       int clientHeight) {
    if (fileSize <= 0) return std::nullopt;
    const std::int64_t page = std::int64_t{bytesPerLine} * pageStepLines(clientHeight);
    const std::int64_t lastByte = fileSize - 1;
    switch (key) {
        case NavKey::LineUp:
            return std::max<std::int64_t>(last - bytesPerLine, 0);
        case NavKey::LineDown:
            return std::min<std::int64_t>(last + bytesPerLine, lastByte);
        case NavKey::PageUp:
            return std::max<std::int64_t>(last - page, 0);
        case NavKey::PageDown:
            return std::min<std::int64_t>(last + page, lastByte);
        case NavKey::Home:
            return 0;
        case NavKey::End:
            return lastByte;
    }
    return std::nullopt;
}

int scrollPosition(std::int64_t offset, std::int64_t fileSize) {
    if (fileSize <= 0 || offset <= 0) return 0;
    const double position = static_cast<double>(scrollMax) * static_cast<double>(offset) /
                            static_cast<double>(fileSize);
    return static_cast<int>(std::min(position, static_cast<double>(scrollMax)));
}

std::optional<std::int64_t> trackOffset(int position, std::int64_t fileSize) {
    if (fileSize <= 0) return std::nullopt;
    const double fraction =
        static_cast<double>(std::clamp(position, 0, scrollMax)) / static_cast<double>(scrollMax);
    const auto offset = static_cast<std::int64_t>(static_cast<double>(fileSize) * fraction);
    return std::clamp<std::int64_t>(offset, 0, fileSize - 1);
}

std::string offsetText(std::int64_t offset) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%016llX", static_cast<unsigned long long>(offset));
    return text;
}

}  // namespace hexlayout

int HexGridLayout::lead() const {
    return static_cast<int>(offset % hexlayout::bytesPerLine);
}

int HexGridLayout::rows() const {
    if (size <= 0) return 0;
    return static_cast<int>((size + lead() + hexlayout::bytesPerLine - 1) /
                            hexlayout::bytesPerLine);
}

std::int64_t HexGridLayout::rowStartOffset(int row) const {
    return hexlayout::lineStart(offset) + std::int64_t{hexlayout::bytesPerLine} * (row - 1);
}

std::int64_t HexGridLayout::byteIndex(int col, int row) const {
    return std::int64_t{hexlayout::bytesPerLine} * (row - 1) + (col - 1) - lead();
}

int HexGridLayout::colOf(std::int64_t byteIndex) const {
    return static_cast<int>((byteIndex + lead()) % hexlayout::bytesPerLine) + 1;
}

int HexGridLayout::rowOf(std::int64_t byteIndex) const {
    return static_cast<int>((byteIndex + lead()) / hexlayout::bytesPerLine) + 1;
}

namespace {

bool isHexOrBlank(char c) {
    return c == ' ' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;  // a blank stands for the 0 it becomes once the cell is left
}

}  // namespace

HexCellEdit normalizeHexCellText(const std::string& editorText) {
    std::string text = editorText.substr(0, 2);
    text.resize(2, ' ');
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!isHexOrBlank(text[0])) text = "00";
    if (!isHexOrBlank(text[1])) text = std::string{text[0], '0'};
    if (text == "  ") text = "00";
    // A single typed digit is read in the place it was typed ("A " is 0xA0), which is also how
    // the cell shows once it is left, so what is shown is what gets saved.
    const auto value = static_cast<std::uint8_t>(digitValue(text[0]) * 16 + digitValue(text[1]));
    return {text, value};
}

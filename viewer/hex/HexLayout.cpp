#include "HexLayout.h"

#include <algorithm>
#include <cstdio>

namespace hexlayout {

int LinesOnPage(int ClientHeight) {
    return std::clamp(ClientHeight / LineHeight - 1, 1, PageBufferLines);
}

int PageStepLines(int ClientHeight) {
    // Bounded like the page itself so a very tall memo cannot skip lines it never showed.
    return std::clamp(ClientHeight / LineHeight, 0, PageBufferLines + 1);
}

std::int64_t LineStart(std::int64_t Offset) {
    return Offset - Offset % BytesPerLine;
}

std::optional<std::int64_t> MoveTarget(NavKey Key, std::int64_t Last, std::int64_t FileSize,
                                       int ClientHeight) {
    if (FileSize <= 0) return std::nullopt;
    const std::int64_t page = std::int64_t{BytesPerLine} * PageStepLines(ClientHeight);
    const std::int64_t lastByte = FileSize - 1;
    switch (Key) {
        case NavKey::LineUp:
            return std::max<std::int64_t>(Last - BytesPerLine, 0);
        case NavKey::LineDown:
            return std::min<std::int64_t>(Last + BytesPerLine, lastByte);
        case NavKey::PageUp:
            return std::max<std::int64_t>(Last - page, 0);
        case NavKey::PageDown:
            return std::min<std::int64_t>(Last + page, lastByte);
        case NavKey::Home:
            return 0;
        case NavKey::End:
            return lastByte;
    }
    return std::nullopt;
}

int ScrollPosition(std::int64_t Offset, std::int64_t FileSize) {
    if (FileSize <= 0 || Offset <= 0) return 0;
    const double position = static_cast<double>(ScrollMax) * static_cast<double>(Offset) /
                            static_cast<double>(FileSize);
    return static_cast<int>(std::min(position, static_cast<double>(ScrollMax)));
}

std::optional<std::int64_t> TrackOffset(int Position, std::int64_t FileSize) {
    if (FileSize <= 0) return std::nullopt;
    const double fraction =
        static_cast<double>(std::clamp(Position, 0, ScrollMax)) / static_cast<double>(ScrollMax);
    const auto offset = static_cast<std::int64_t>(static_cast<double>(FileSize) * fraction);
    return std::clamp<std::int64_t>(offset, 0, FileSize - 1);
}

std::string OffsetText(std::int64_t Offset) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%016llX", static_cast<unsigned long long>(Offset));
    return text;
}

}  // namespace hexlayout

int HexGridLayout::Lead() const {
    return static_cast<int>(Offset % hexlayout::BytesPerLine);
}

int HexGridLayout::Rows() const {
    if (Size <= 0) return 0;
    return static_cast<int>((Size + Lead() + hexlayout::BytesPerLine - 1) /
                            hexlayout::BytesPerLine);
}

std::int64_t HexGridLayout::RowStartOffset(int Row) const {
    return hexlayout::LineStart(Offset) + std::int64_t{hexlayout::BytesPerLine} * (Row - 1);
}

std::int64_t HexGridLayout::ByteIndex(int Col, int Row) const {
    return std::int64_t{hexlayout::BytesPerLine} * (Row - 1) + (Col - 1) - Lead();
}

int HexGridLayout::ColOf(std::int64_t ByteIndex) const {
    return static_cast<int>((ByteIndex + Lead()) % hexlayout::BytesPerLine) + 1;
}

int HexGridLayout::RowOf(std::int64_t ByteIndex) const {
    return static_cast<int>((ByteIndex + Lead()) / hexlayout::BytesPerLine) + 1;
}

namespace {

bool IsHexOrBlank(char c) {
    return c == ' ' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;  // a blank stands for the 0 it becomes once the cell is left
}

}  // namespace

HexCellEdit NormalizeHexCellText(const std::string& EditorText) {
    std::string text = EditorText.substr(0, 2);
    text.resize(2, ' ');
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!IsHexOrBlank(text[0])) text = "00";
    if (!IsHexOrBlank(text[1])) text = std::string{text[0], '0'};
    if (text == "  ") text = "00";
    // A single typed digit is read in the place it was typed ("A " is 0xA0), which is also how
    // the cell shows once it is left, so what is shown is what gets saved.
    const auto value = static_cast<std::uint8_t>(DigitValue(text[0]) * 16 + DigitValue(text[1]));
    return {text, value};
}

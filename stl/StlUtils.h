#pragma once
// Field helpers shared by the viewer, the reader and the validator.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "StlTypes.h"

// Which deliverable's behaviour the shared code follows.
enum class StlVariant { Viewer, Plugin };

// A fixed-width field up to its first zero byte, as 8-bit text. Count is 0..113. A null Text gives
// the empty text and a diagnostic (its wording depends on the variant).
std::string stlTextToString(const std::uint8_t* text, int count,
                            StlVariant variant = StlVariant::Viewer);

// Replaces control codes of a writable TextField copy (112 bytes) with '|' up to the first 0x8F
// and returns the walked part as 8-bit display text (exactly as many bytes as were walked).
std::string stlTextToDisplayString(std::uint8_t* textField);

// The viewer's display chain for one TTI TextField: copy, mark control codes, cut at 0x8F.
std::string textFieldDisplayBytes(const TextAndTimingInformation& block);

// Drops leading and trailing characters 0x00..0x20.
std::string_view trimControl(std::string_view text);
std::u16string_view trimControl(std::u16string_view text);
std::string toUpperAscii(std::string_view text);

// The digits-field conversion: optional sign, then decimal digits within the signed 32-bit range,
// or one of "$", "x", "X", "0x", "0X" and 1..8 hex digits taken as a 32-bit pattern.
// The text is used as given (callers trim first). nullopt on any failure.
std::optional<std::int32_t> strToInt32(std::string_view text);

// A digits field read from a block: up to the first zero byte, trimmed, converted.
std::optional<std::int32_t> fieldToInt32(const std::uint8_t* block, const StlField& field);

// The text of a field as the validator and the plug-in's report lines use it: the bytes up to the
// first zero byte, trimmed of 0x00..0x20, otherwise unchanged. Empty for fields over 113 bytes.
std::string fieldText(const std::uint8_t* block, const StlField& field,
                      StlVariant variant = StlVariant::Viewer);

// YYMMDD rearranged as DD:MM:YY; any text that is not exactly six characters is returned as is.
std::string formatGsiDate(std::string_view date);
std::u16string formatGsiDate(std::u16string_view date);

// Whole TTI blocks that follow the GSI block in a file of FileSize bytes (0 below 1024 bytes).
std::uint64_t ttiBlocksPresent(std::int64_t fileSize);

// Frame rate implied by DiskFormatCode ("STL25.01" -> 25, "STL30.01" -> 30, case-insensitive
// after trimming); 0 for anything else.
int framesPerSecondFromDiskFormatCode(const GeneralSubtitleInformation& gsi);

struct TimeCode {
    std::uint8_t hours, minutes, seconds, frames;
};
TimeCode timeCodeAt(const TextAndTimingInformation& block, const StlField& field);
// HH:MM:SS:FF; each part at least two digits (a byte over 99 gives three).
std::string formatTimeCode(const TimeCode& tc);
// A frame count of the day as HH:MM:SS:FF at FramesPerSecond, with "-" before a negative count
// and, when PlusSign, "+" before any other.
std::string formatFrames(std::int64_t frames, int framesPerSecond, bool plusSign = false);
// A header time code field (HHMMSSFF); nullopt unless its eight bytes are digits. The parts are
// not checked against their ranges.
std::optional<TimeCode> gsiTimeCode(const GeneralSubtitleInformation& gsi, const StlField& field);
// Frames count only when FramesPerSecond is positive.
double timeCodeToSeconds(const TimeCode& tc, int framesPerSecond);

// Byte 1 + 256 * byte 2.
std::uint16_t subtitleNumberOf(const TextAndTimingInformation& block);
// 0xFF ends a subtitle, 0xFE marks user data, anything else continues in the next block.
std::uint8_t extensionBlockNumberOf(const TextAndTimingInformation& block);

// Hex displays: 0x00-0x1F and 0x7F-0x9F as '.', anything else as the character with that number
// (Latin-1), whatever code page is chosen for subtitle text.
char16_t hexDisplayChar(std::uint8_t byte);

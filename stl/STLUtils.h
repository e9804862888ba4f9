#pragma once
// Field helpers shared by the viewer, the reader and the validator.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "STLTypes.h"

// Which deliverable's behaviour the shared code follows.
enum class TSTLVariant { Viewer, Plugin };

// A fixed-width field up to its first zero byte, as 8-bit text. Count is 0..113. A null Text gives
// the empty text and a diagnostic (its wording depends on the variant).
std::string STLTextToString(const std::uint8_t* Text, int Count,
                            TSTLVariant Variant = TSTLVariant::Viewer);

// Replaces control codes of a writable TextField copy (112 bytes) with '|' up to the first 0x8F
// and returns the walked part as 8-bit display text (exactly as many bytes as were walked).
std::string STLTextToDisplayString(std::uint8_t* TextField);

// The viewer's display chain for one TTI TextField: copy, mark control codes, cut at 0x8F.
std::string TextFieldDisplayBytes(const TTextAndTimingInformation& Block);

// Drops leading and trailing characters 0x00..0x20.
std::string_view TrimControl(std::string_view Text);
std::u16string_view TrimControl(std::u16string_view Text);
std::string ToUpperAscii(std::string_view Text);

// The digits-field conversion: optional sign, then decimal digits within the signed 32-bit range,
// or one of "$", "x", "X", "0x", "0X" and 1..8 hex digits taken as a 32-bit pattern.
// The text is used as given (callers trim first). nullopt on any failure.
std::optional<std::int32_t> StrToInt32(std::string_view Text);

// A digits field read from a block: up to the first zero byte, trimmed, converted.
std::optional<std::int32_t> FieldToInt32(const std::uint8_t* Block, const STLField& Field);

// The text of a field as the validator and the plug-in's report lines use it: the bytes up to the
// first zero byte, trimmed of 0x00..0x20, otherwise unchanged. Empty for fields over 113 bytes.
std::string FieldText(const std::uint8_t* Block, const STLField& Field,
                      TSTLVariant Variant = TSTLVariant::Viewer);

// YYMMDD rearranged as DD:MM:YY; any text that is not exactly six characters is returned as is.
std::string FormatGSIDate(std::string_view Date);
std::u16string FormatGSIDate(std::u16string_view Date);

// Whole TTI blocks that follow the GSI block in a file of FileSize bytes (0 below 1024 bytes).
std::uint64_t TTIBlocksPresent(std::int64_t FileSize);

// Frame rate implied by DiskFormatCode ("STL25.01" -> 25, "STL30.01" -> 30, case-insensitive
// after trimming); 0 for anything else.
int FramesPerSecondFromDiskFormatCode(const TGeneralSubtitleInformation& Gsi);

struct TTimeCode {
    std::uint8_t Hours, Minutes, Seconds, Frames;
};
TTimeCode TimeCodeAt(const TTextAndTimingInformation& Block, const STLField& Field);
// HH:MM:SS:FF; each part at least two digits (a byte over 99 gives three).
std::string FormatTimeCode(const TTimeCode& Tc);
// Frames count only when FramesPerSecond is positive.
double TimeCodeToSeconds(const TTimeCode& Tc, int FramesPerSecond);

// Byte 1 + 256 * byte 2.
std::uint16_t SubtitleNumberOf(const TTextAndTimingInformation& Block);

// Hex displays: 0x00-0x1F and 0x7F-0x9F as '.', anything else as the character with that number
// (Latin-1), whatever code page is chosen for subtitle text.
char16_t HexDisplayChar(std::uint8_t Byte);

#pragma once
// Stand-in for MultiByteToWideChar(codePage, MB_PRECOMPOSED, ...) and the system code pages.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Converts 8-bit text in a Windows code page to UTF-16. 0, 1 and 2 mean the system ANSI, OEM and
// Mac code pages. Returns nullopt when the code page is refused: unknown numbers and the pages
// that do not accept MB_PRECOMPOSED on Windows (65001, 54936, 50220-50229, 57002-57011, 42, ...).
// Bytes the page cannot map become U+FFFD. Fast enough to be called once per subtitle row:
// single-byte pages go through a cached 256-entry table. Thread-safe.
std::optional<std::u16string> multiByteToWideChar(std::uint32_t codePage, std::string_view bytes);

// True when multiByteToWideChar would accept the code page.
bool isCodePageSupported(std::uint32_t codePage);

// Derived from LC_ALL, LC_CTYPE, LANG the way Windows derives them from the system locale.
std::uint16_t systemAnsiCodePage();
std::uint16_t systemOemCodePage();
std::uint16_t systemMacCodePage();

// Narrow strings that cross the plug-in boundary, or file text meant for display: valid UTF-8 is
// read as UTF-8, anything else with the system ANSI code page.
std::u16string narrowToWide(std::string_view text);

}  // namespace platform

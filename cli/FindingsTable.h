#pragma once
// What lumtrace-validate prints on standard output for one validated file.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "viewer/validation/PluginHost.h"

namespace cli {

// The findings as a table with the columns of the validation window: "#" counted from 1,
// "Module", "Type", "Message"; two blanks between columns, one line per finding.
std::string FormatFindingsTable(const std::vector<TCustomReport>& Reports);

struct TFindingCounts {
    std::size_t Errors = 0;
    std::size_t Warnings = 0;
    std::size_t Infos = 0;
    std::size_t Others = 0;  // None and unknown types
    std::size_t Total() const { return Errors + Warnings + Infos + Others; }
};
TFindingCounts CountFindings(const std::vector<TCustomReport>& Reports);

// "film.stl: 12 findings (1 error, 2 warnings, 9 info)".
std::string FormatSummary(std::string_view Path, const TFindingCounts& Counts);

// Text from a subtitle file or a file name made safe for a terminal and for one table row:
// control characters are written as \xNN or \u00NN escapes, so nothing in a file can move the
// cursor or send escape sequences. Text that is not UTF-8 is read with the system ANSI code page.
std::string TerminalText(std::string_view Text);

}  // namespace cli

#pragma once
// What lumtrace-validate prints on standard output for one validated file.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "host/PluginHost.h"
#include "report/FindingCounts.h"

namespace cli {

// The findings as a table with the columns of the validation window: "#" counted from 1,
// "Module", "Type", "Message"; two blanks between columns, one line per finding.
std::string formatFindingsTable(const std::vector<CustomReport>& reports);

using report::countFindings;
using report::FindingCounts;

// "film.stl: 12 findings (1 error, 2 warnings, 9 info)".
std::string formatSummary(std::string_view path, const FindingCounts& counts);

// Text from a subtitle file or a file name made safe for a terminal and for one table row:
// control characters are written as \xNN or \u00NN escapes, so nothing in a file can move the
// cursor or send escape sequences. Text that is not UTF-8 is read with the system ANSI code page.
std::string terminalText(std::string_view text);

}  // namespace cli

namespace cli {

using report::BatchTotals;

// "3 files: 2 validated (1 with errors, 0 with warnings), 1 not validated; 40 findings
// (1 error, 0 warnings, 39 info)".
std::string formatTotals(const BatchTotals& totals);

}  // namespace cli

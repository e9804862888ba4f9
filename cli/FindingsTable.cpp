#include "FindingsTable.h"

#include <algorithm>
#include <cstdio>

#include "host/HostText.h"
#include "platform/CodePage.h"
#include "plugin_api/QuorvexControlInterface.h"

namespace cli {
namespace {

constexpr const char* COLUMN_GAP = "  ";

void appendPadded(std::string& out, std::string_view text, std::size_t width, bool right) {
    const std::string padding(width > text.size() ? width - text.size() : 0, ' ');
    if (right) out += padding;
    out += text;
    if (!right) out += padding;
}

void appendEscape(std::string& out, const char* format, unsigned value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, format, value);
    out += buffer;
}

std::string counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string terminalText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    // Read the way the host reads plug-in text, then escape what a terminal would act on.
    validationhost::forEachCodePoint(platform::narrowToWide(text), [&](char32_t c) {
        if (c < 0x20 || c == 0x7F) {
            appendEscape(out, "\\x%02X", static_cast<unsigned>(c));
        } else if (c >= 0x80 && c <= 0x9F) {
            appendEscape(out, "\\u%04X", static_cast<unsigned>(c));
        } else {
            validationhost::appendUtf8(out, c);
        }
    });
    return out;
}

std::string formatFindingsTable(const std::vector<CustomReport>& reports) {
    std::size_t numberWidth = 1, moduleWidth = 6, typeWidth = 4;  // the header texts
    numberWidth = std::max(numberWidth, std::to_string(reports.size()).size());
    for (const CustomReport& report : reports) {
        moduleWidth = std::max(moduleWidth, terminalText(moduleDisplayName(report.module)).size());
        typeWidth = std::max(typeWidth, terminalText(reportTypeName(report.reportType)).size());
    }
    std::string table;
    auto appendRow = [&](std::string_view number, std::string_view module, std::string_view type,
                         std::string_view message) {
        appendPadded(table, number, numberWidth, true);
        table += COLUMN_GAP;
        appendPadded(table, module, moduleWidth, false);
        table += COLUMN_GAP;
        appendPadded(table, type, typeWidth, false);
        table += COLUMN_GAP;
        table += message;
        table += '\n';
    };
    appendRow("#", "Module", "Type", "Message");
    for (std::size_t i = 0; i < reports.size(); ++i) {
        const CustomReport& report = reports[i];
        appendRow(std::to_string(i + 1), terminalText(moduleDisplayName(report.module)),
                  terminalText(reportTypeName(report.reportType)),
                  terminalText(report.reportMessage));
    }
    return table;
}

std::string formatSummary(std::string_view path, const FindingCounts& counts) {
    std::string line = terminalText(path) + ": " + counted(counts.total(), "finding", "findings") +
                       " (" + counted(counts.errors, "error", "errors") + ", " +
                       counted(counts.warnings, "warning", "warnings") + ", " +
                       std::to_string(counts.infos) + " info";
    if (counts.others > 0) line += ", " + std::to_string(counts.others) + " other";
    return line + ")";
}

}  // namespace cli

namespace cli {

std::string formatTotals(const BatchTotals& totals) {
    const std::string line = counted(totals.files, "file", "files") + ": " +
                             std::to_string(totals.validated) + " validated (" +
                             std::to_string(totals.withErrors) + " with errors, " +
                             std::to_string(totals.withWarnings) + " with warnings), " +
                             std::to_string(totals.notValidated) + " not validated; ";
    // The findings part reads as a file's summary line does.
    const std::string findings = formatSummary("", totals.findings);
    return line + findings.substr(2);
}

}  // namespace cli

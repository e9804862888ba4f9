#include "FindingsTable.h"

#include <algorithm>
#include <cstdio>

#include "platform/CodePage.h"
#include "plugin_api/QuorvexControlInterface.h"
#include "viewer/validation/HostText.h"

namespace cli {
namespace {

constexpr std::int32_t REPORT_TYPE_INFO = 1;
constexpr std::int32_t REPORT_TYPE_WARNING = 2;
constexpr std::int32_t REPORT_TYPE_ERROR = 3;
constexpr const char* COLUMN_GAP = "  ";

void AppendPadded(std::string& Out, std::string_view Text, std::size_t Width, bool Right) {
    const std::string padding(Width > Text.size() ? Width - Text.size() : 0, ' ');
    if (Right) Out += padding;
    Out += Text;
    if (!Right) Out += padding;
}

void AppendEscape(std::string& Out, const char* Format, unsigned Value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, Format, Value);
    Out += buffer;
}

std::string Counted(std::size_t Count, const char* One, const char* Many) {
    return std::to_string(Count) + " " + (Count == 1 ? One : Many);
}

}  // namespace

std::string TerminalText(std::string_view Text) {
    std::string out;
    out.reserve(Text.size());
    // Read the way the host reads plug-in text, then escape what a terminal would act on.
    validationhost::ForEachCodePoint(platform::narrowToWide(Text), [&](char32_t c) {
        if (c < 0x20 || c == 0x7F) {
            AppendEscape(out, "\\x%02X", static_cast<unsigned>(c));
        } else if (c >= 0x80 && c <= 0x9F) {
            AppendEscape(out, "\\u%04X", static_cast<unsigned>(c));
        } else {
            validationhost::AppendUtf8(out, c);
        }
    });
    return out;
}

std::string FormatFindingsTable(const std::vector<TCustomReport>& Reports) {
    std::size_t numberWidth = 1, moduleWidth = 6, typeWidth = 4;  // the header texts
    numberWidth = std::max(numberWidth, std::to_string(Reports.size()).size());
    for (const TCustomReport& report : Reports) {
        moduleWidth = std::max(moduleWidth, TerminalText(ModuleDisplayName(report.Module)).size());
        typeWidth = std::max(typeWidth, TerminalText(ReportTypeName(report.ReportType)).size());
    }
    std::string table;
    auto appendRow = [&](std::string_view Number, std::string_view Module, std::string_view Type,
                         std::string_view Message) {
        AppendPadded(table, Number, numberWidth, true);
        table += COLUMN_GAP;
        AppendPadded(table, Module, moduleWidth, false);
        table += COLUMN_GAP;
        AppendPadded(table, Type, typeWidth, false);
        table += COLUMN_GAP;
        table += Message;
        table += '\n';
    };
    appendRow("#", "Module", "Type", "Message");
    for (std::size_t i = 0; i < Reports.size(); ++i) {
        const TCustomReport& report = Reports[i];
        appendRow(std::to_string(i + 1), TerminalText(ModuleDisplayName(report.Module)),
                  TerminalText(ReportTypeName(report.ReportType)),
                  TerminalText(report.ReportMessage));
    }
    return table;
}

TFindingCounts CountFindings(const std::vector<TCustomReport>& Reports) {
    TFindingCounts counts;
    for (const TCustomReport& report : Reports) {
        switch (report.ReportType) {
            case REPORT_TYPE_ERROR:
                ++counts.Errors;
                break;
            case REPORT_TYPE_WARNING:
                ++counts.Warnings;
                break;
            case REPORT_TYPE_INFO:
                ++counts.Infos;
                break;
            default:
                ++counts.Others;
        }
    }
    return counts;
}

std::string FormatSummary(std::string_view Path, const TFindingCounts& Counts) {
    std::string line = TerminalText(Path) + ": " + Counted(Counts.Total(), "finding", "findings") +
                       " (" + Counted(Counts.Errors, "error", "errors") + ", " +
                       Counted(Counts.Warnings, "warning", "warnings") + ", " +
                       std::to_string(Counts.Infos) + " info";
    if (Counts.Others > 0) line += ", " + std::to_string(Counts.Others) + " other";
    return line + ")";
}

}  // namespace cli

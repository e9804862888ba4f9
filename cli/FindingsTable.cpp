#include "FindingsTable.h"

#include <algorithm>
#include <cstdio>

#include "plugin_api/QuorvexControlInterface.h"

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

// Length of the well-formed UTF-8 sequence at Text[0] and its code point; 0 when ill-formed.
std::size_t Utf8Sequence(std::string_view Text, char32_t& CodePoint) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(Text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        CodePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, CodePoint = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, CodePoint = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, CodePoint = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (Text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        CodePoint = (CodePoint << 6) | (byte(i) & 0x3F);
    }
    const bool surrogate = CodePoint >= 0xD800 && CodePoint <= 0xDFFF;
    if (CodePoint < minimum || CodePoint > 0x10FFFF || surrogate) return 0;
    return length;
}

std::string Counted(std::size_t Count, const char* One, const char* Many) {
    return std::to_string(Count) + " " + (Count == 1 ? One : Many);
}

}  // namespace

std::string TerminalText(std::string_view Text) {
    std::string out;
    out.reserve(Text.size());
    while (!Text.empty()) {
        char32_t codePoint = 0;
        const std::size_t length = Utf8Sequence(Text, codePoint);
        if (length == 0) {
            AppendEscape(out, "\\x%02X", static_cast<unsigned char>(Text[0]));
            Text.remove_prefix(1);
            continue;
        }
        if (codePoint < 0x20 || codePoint == 0x7F) {
            AppendEscape(out, "\\x%02X", static_cast<unsigned>(codePoint));
        } else if (codePoint >= 0x80 && codePoint <= 0x9F) {
            AppendEscape(out, "\\u%04X", static_cast<unsigned>(codePoint));
        } else {
            out.append(Text.substr(0, length));
        }
        Text.remove_prefix(length);
    }
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

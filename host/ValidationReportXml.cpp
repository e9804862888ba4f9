#include "ValidationReportXml.h"

#include "HostText.h"
#include "platform/SafeReplace.h"

namespace validationhost {
namespace {

bool isXmlChar(char32_t c) {
    if (c < 0x20) return c == 0x09 || c == 0x0A || c == 0x0D;
    return c != 0xFFFE && c != 0xFFFF;
}

void appendLine(std::string& out, int indent, std::string_view text) {
    out.append(static_cast<std::size_t>(indent), ' ');
    out += text;
    out += "\r\n";
}

// Straight into the report: a report of many findings would otherwise build a line per field.
void appendElement(std::string& out, int indent, std::string_view name, std::string_view value) {
    out.append(static_cast<std::size_t>(indent), ' ');
    out += '<';
    out += name;
    out += '>';
    out += value;
    out += "</";
    out += name;
    out += ">\r\n";
}

}  // namespace

std::string xmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    forEachNarrowCodePoint(text, [&](char32_t c) {
        switch (c) {
            case U'&':
                out += "&amp;";
                break;
            case U'<':
                out += "&lt;";
                break;
            case U'>':
                out += "&gt;";
                break;
            default:
                appendUtf8(out, isXmlChar(c) ? c : U'\uFFFD');
        }
    });
    return out;
}

std::string buildReportXml(std::string_view fileName, const std::vector<CustomReport>& reports) {
    std::string xml;
    xml.reserve(256 + reports.size() * 160);
    appendLine(xml, 0, R"(<?xml version="1.0" encoding="utf-8"?>)");
    appendLine(xml, 0, "<MEDIA_VALIDATION_REPORT>");
    appendLine(xml, 2, "<MEDIA_VALIDATION_REPORT_HEADER_SECTION>");
    appendElement(xml, 4, "FILE_NAME", xmlText(fileName));
    appendElement(xml, 4, "LIST_ITEMS_COUNT", std::to_string(reports.size()));
    appendElement(xml, 4, "MODULE_NAME",
                  reports.empty() ? std::string() : xmlText(moduleDisplayName(reports[0].module)));
    appendLine(xml, 2, "</MEDIA_VALIDATION_REPORT_HEADER_SECTION>");
    appendLine(xml, 2, "<REPORT_SECTION>");
    for (std::size_t i = 0; i < reports.size(); ++i) {
        const CustomReport& report = reports[i];
        xml += "  <REPORT INDEX=\"";
        xml += std::to_string(i);
        xml += "\">\r\n";
        appendElement(xml, 4, "MODULE_ID", std::to_string(report.module));
        appendElement(xml, 4, "REPORT_TYPE", xmlText(reportTypeName(report.reportType)));
        appendElement(xml, 4, "REPORT_MESSAGE", xmlText(report.reportMessage));
        appendLine(xml, 2, "</REPORT>");
    }
    appendLine(xml, 2, "</REPORT_SECTION>");
    appendLine(xml, 0, "</MEDIA_VALIDATION_REPORT>");
    return xml;
}

FileWriteResult writeFileAtomically(const std::string& path, std::string_view bytes,
                                    bool replaceExisting) {
    using platform::ReplaceStatus;
    switch (platform::replaceFile(path, bytes, replaceExisting).status) {
        case ReplaceStatus::Written:
            return FileWriteResult::Written;
        case ReplaceStatus::AlreadyExists:
            return FileWriteResult::AlreadyExists;
        case ReplaceStatus::NotRegularFile:
            return FileWriteResult::NotRegularFile;
        case ReplaceStatus::ReplaceFailed:
            return FileWriteResult::ReplaceFailed;
        default:
            return FileWriteResult::WriteFailed;
    }
}

}  // namespace validationhost

#include "ValidationReportXml.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "HostText.h"
#include "platform/CodePage.h"

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

void appendElement(std::string& out, int indent, std::string_view name, std::string_view value) {
    std::string line;
    line.reserve(name.size() * 2 + value.size() + 5);
    line += '<';
    line += name;
    line += '>';
    line += value;
    line += "</";
    line += name;
    line += '>';
    appendLine(out, indent, line);
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// A name no other writer uses: the target's name, hidden, with the process and a counter.
int createTemporary(const std::filesystem::path& target, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = (folder / ("." + target.filename().string() + ".tmp-" +
                              std::to_string(::getpid()) + "-" + std::to_string(counter++)))
                       .string();
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Moves the finished temporary file to Target without ever replacing an existing file.
FileWriteResult publishWithoutReplacing(const std::string& tempPath, const std::string& target) {
    if (::renameat2(AT_FDCWD, tempPath.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return FileWriteResult::Written;
    if (errno == EEXIST) return FileWriteResult::AlreadyExists;
    if (errno != EINVAL && errno != ENOSYS) return FileWriteResult::WriteFailed;
    // File systems without RENAME_NOREPLACE: a hard link fails the same way on an existing name.
    if (::link(tempPath.c_str(), target.c_str()) == 0) {
        ::unlink(tempPath.c_str());
        return FileWriteResult::Written;
    }
    return errno == EEXIST ? FileWriteResult::AlreadyExists : FileWriteResult::WriteFailed;
}

}  // namespace

std::string xmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    forEachCodePoint(platform::narrowToWide(text), [&](char32_t c) {
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
        appendLine(xml, 2, "<REPORT INDEX=\"" + std::to_string(i) + "\">");
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
    std::string tempPath;
    const int fd = createTemporary(std::filesystem::path(path), tempPath);
    if (fd < 0) return FileWriteResult::WriteFailed;
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written) {
        ::unlink(tempPath.c_str());
        return FileWriteResult::WriteFailed;
    }
    FileWriteResult result = FileWriteResult::Written;
    if (replaceExisting) {
        if (::rename(tempPath.c_str(), path.c_str()) != 0) result = FileWriteResult::ReplaceFailed;
    } else {
        result = publishWithoutReplacing(tempPath, path);
    }
    if (result != FileWriteResult::Written) ::unlink(tempPath.c_str());
    return result;
}

}  // namespace validationhost

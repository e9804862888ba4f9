#include "ValidationReportXML.h"

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

bool IsXmlChar(char32_t c) {
    if (c < 0x20) return c == 0x09 || c == 0x0A || c == 0x0D;
    return c != 0xFFFE && c != 0xFFFF;
}

void AppendLine(std::string& Out, int Indent, std::string_view Text) {
    Out.append(static_cast<std::size_t>(Indent), ' ');
    Out += Text;
    Out += "\r\n";
}

void AppendElement(std::string& Out, int Indent, std::string_view Name, std::string_view Value) {
    std::string line;
    line.reserve(Name.size() * 2 + Value.size() + 5);
    line += '<';
    line += Name;
    line += '>';
    line += Value;
    line += "</";
    line += Name;
    line += '>';
    AppendLine(Out, Indent, line);
}

bool WriteAll(int fd, std::string_view Bytes) {
    while (!Bytes.empty()) {
        const ssize_t n = ::write(fd, Bytes.data(), Bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        Bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// A name no other writer uses: the target's name, hidden, with the process and a counter.
int CreateTemporary(const std::filesystem::path& Target, std::string& TempPath) {
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path folder =
        Target.has_parent_path() ? Target.parent_path() : std::filesystem::path(".");
    for (int attempt = 0; attempt < 100; ++attempt) {
        TempPath = (folder / ("." + Target.filename().string() + ".tmp-" +
                              std::to_string(::getpid()) + "-" + std::to_string(counter++)))
                       .string();
        const int fd = ::open(TempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Moves the finished temporary file to Target without ever replacing an existing file.
TFileWriteResult PublishWithoutReplacing(const std::string& TempPath, const std::string& Target) {
    if (::renameat2(AT_FDCWD, TempPath.c_str(), AT_FDCWD, Target.c_str(), RENAME_NOREPLACE) == 0)
        return TFileWriteResult::Written;
    if (errno == EEXIST) return TFileWriteResult::AlreadyExists;
    if (errno != EINVAL && errno != ENOSYS) return TFileWriteResult::WriteFailed;
    // File systems without RENAME_NOREPLACE: a hard link fails the same way on an existing name.
    if (::link(TempPath.c_str(), Target.c_str()) == 0) {
        ::unlink(TempPath.c_str());
        return TFileWriteResult::Written;
    }
    return errno == EEXIST ? TFileWriteResult::AlreadyExists : TFileWriteResult::WriteFailed;
}

}  // namespace

std::string XmlText(std::string_view Text) {
    std::string out;
    out.reserve(Text.size());
    ForEachCodePoint(platform::narrowToWide(Text), [&](char32_t c) {
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
                AppendUtf8(out, IsXmlChar(c) ? c : U'\uFFFD');
        }
    });
    return out;
}

std::string BuildReportXML(std::string_view FileName, const std::vector<TCustomReport>& Reports) {
    std::string xml;
    xml.reserve(256 + Reports.size() * 160);
    AppendLine(xml, 0, R"(<?xml version="1.0" encoding="utf-8"?>)");
    AppendLine(xml, 0, "<MEDIA_VALIDATION_REPORT>");
    AppendLine(xml, 2, "<MEDIA_VALIDATION_REPORT_HEADER_SECTION>");
    AppendElement(xml, 4, "FILE_NAME", XmlText(FileName));
    AppendElement(xml, 4, "LIST_ITEMS_COUNT", std::to_string(Reports.size()));
    AppendElement(xml, 4, "MODULE_NAME",
                  Reports.empty() ? std::string() : XmlText(ModuleDisplayName(Reports[0].Module)));
    AppendLine(xml, 2, "</MEDIA_VALIDATION_REPORT_HEADER_SECTION>");
    AppendLine(xml, 2, "<REPORT_SECTION>");
    for (std::size_t i = 0; i < Reports.size(); ++i) {
        const TCustomReport& report = Reports[i];
        AppendLine(xml, 2, "<REPORT INDEX=\"" + std::to_string(i) + "\">");
        AppendElement(xml, 4, "MODULE_ID", std::to_string(report.Module));
        AppendElement(xml, 4, "REPORT_TYPE", XmlText(ReportTypeName(report.ReportType)));
        AppendElement(xml, 4, "REPORT_MESSAGE", XmlText(report.ReportMessage));
        AppendLine(xml, 2, "</REPORT>");
    }
    AppendLine(xml, 2, "</REPORT_SECTION>");
    AppendLine(xml, 0, "</MEDIA_VALIDATION_REPORT>");
    return xml;
}

TFileWriteResult WriteFileAtomically(const std::string& Path, std::string_view Bytes,
                                     bool ReplaceExisting) {
    std::string tempPath;
    const int fd = CreateTemporary(std::filesystem::path(Path), tempPath);
    if (fd < 0) return TFileWriteResult::WriteFailed;
    const bool written = WriteAll(fd, Bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written) {
        ::unlink(tempPath.c_str());
        return TFileWriteResult::WriteFailed;
    }
    TFileWriteResult result = TFileWriteResult::Written;
    if (ReplaceExisting) {
        if (::rename(tempPath.c_str(), Path.c_str()) != 0) result = TFileWriteResult::ReplaceFailed;
    } else {
        result = PublishWithoutReplacing(tempPath, Path);
    }
    if (result != TFileWriteResult::Written) ::unlink(tempPath.c_str());
    return result;
}

}  // namespace validationhost

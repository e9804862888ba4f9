#pragma once
// Export of one STL file as SubRip, WebVTT, EBU-TT-D or plain text in UTF-8: what the command
// and the viewer's File > Export share.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class ExportFormat { Srt, Vtt, EbuTtD, Text };

struct ExportOptions {
    ExportFormat format = ExportFormat::Srt;
    // nullopt: the code page of the file's own character code table.
    std::optional<std::uint32_t> codePage;
    bool includeComments = false;
    bool subtractStartOfProgramme = false;
};

struct ExportResult {
    bool ok = false;
    std::string text;                   // the exported file, UTF-8
    std::string error;                  // one sentence when !ok
    std::vector<std::string> warnings;  // one sentence each
    std::size_t written = 0;            // subtitles (plain text) or cues written
};

ExportResult exportStlFile(const std::string& path, const ExportOptions& options);

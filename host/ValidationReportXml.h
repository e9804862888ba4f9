#pragma once
// The validation report file: its fixed XML layout, and a write that never leaves half a file.

#include <string>
#include <string_view>
#include <vector>

#include "PluginHost.h"

namespace validationhost {

// The whole report, UTF-8 without a byte-order mark, every line ended by CR LF. FileName is the
// validated file's path as the plug-in got it.
std::string buildReportXml(std::string_view fileName, const std::vector<CustomReport>& reports);

// Character data for the report: "&", "<" and ">" as entity references; characters that XML 1.0
// cannot carry (control characters other than tab, line feed and carriage return, U+FFFE,
// U+FFFF) become U+FFFD so the report stays well-formed. Text that is not UTF-8 is read with
// the system ANSI code page.
std::string xmlText(std::string_view text);

enum class FileWriteResult { Written, AlreadyExists, NotRegularFile, ReplaceFailed, WriteFailed };

// Writes Bytes to a temporary file in Path's folder and renames it into place. Without
// ReplaceExisting an existing Path is left alone (AlreadyExists). A link is followed and stays;
// a folder, FIFO, device or socket is never replaced (NotRegularFile). On any failure the
// temporary file is removed and Path is as it was.
FileWriteResult writeFileAtomically(const std::string& path, std::string_view bytes,
                                    bool replaceExisting);

}  // namespace validationhost

#pragma once
// A file read for repair: its bytes as they are (so that everything no fix names is written back
// unchanged, a partial block at the end included) and its subtitles.

#include <string>

#include "stl/FormatCheck.h"
#include "subtitle/Document.h"

namespace repair {

struct RepairSource {
    FormatCheck check;
    std::string bytes;            // the whole file
    subtitle::Document document;  // blocks kept
    std::string error;            // why it cannot be repaired; empty when it can
};

// Reads a file the readers accept or would open read-only; Check tells which.
RepairSource readRepairSource(const std::string& path);
// The header and whole blocks of a file's bytes as a document, blocks kept; an empty document
// when there is no whole header.
subtitle::Document documentOfBytes(const std::string& bytes);

// The frame rate the file's time codes count: from its disk format code, the usual non-standard
// ones included; 25 when it names none.
int frameRate(const GeneralSubtitleInformation& gsi);

}  // namespace repair

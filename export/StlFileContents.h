#pragma once
// A whole STL file read for export: the GSI block and every TTI block that is both announced and
// present. Files the readers refuse only for an unusual frame rate or missing blocks are read too.

#include <string>
#include <vector>

#include "stl/FormatCheck.h"
#include "stl/StlTypes.h"

struct StlFileContents {
    FormatCheck check;
    GeneralSubtitleInformation gsi{};
    std::vector<TextAndTimingInformation> blocks;
    std::string error;  // why nothing was read; empty on success
};

StlFileContents readStlFile(const std::string& path);

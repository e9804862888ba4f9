#pragma once
// One file of the comparison window, read the way the viewer opens it: standard files as they
// are, the non-standard kinds it opens anyway read-only, at the frame rate it would use. Keeps a
// reader open for the previews and knows which block each compared subtitle starts at.

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "compare/SubtitleSide.h"
#include "stl/FormatCheck.h"
#include "stl/StlReader.h"

namespace comparewindow {

struct ComparedFile {
    QString fileName;
    FormatCheck check;
    std::unique_ptr<StlReader> reader;
    std::uint16_t codePage = 0;             // the file's own text table
    std::vector<std::int64_t> entryBlocks;  // first block of each compared entry; -1: not found

    bool nonStandard() const { return check.verdict != FormatCheck::Verdict::Standard; }
};

// Reads FileName for comparing; nullopt and Error (a sentence for the user) when it cannot be.
std::optional<compare::Side> readComparedSide(const QString& fileName, ComparedFile& file,
                                              QString& error);

// After the comparison: the block each of Side's entries starts at (Side's entries are in time
// order, the file's subtitles in file order).
void findEntryBlocks(const compare::Side& side, ComparedFile& file);

}  // namespace comparewindow

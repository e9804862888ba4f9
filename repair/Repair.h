#pragma once
// Repair with review: the changes the chosen fixes would make to a file, each with what made it,
// where, before and after, and the bytes it writes, so that a person can accept or reject each
// one; and the writing of the accepted ones. Nothing but the fields a fix names is touched.

#include <cstdint>
#include <string>
#include <vector>

#include "Fixes.h"
#include "stl/StlUtils.h"
#include "subtitle/Document.h"

namespace repair {

// What a change or a fix left undone is about: a header field, or a subtitle.
struct Place {
    bool header = true;
    std::uint32_t block = 0;   // first block of the subtitle's chain (0-based)
    std::size_t subtitle = 0;  // index into Document::subtitles
    std::uint16_t number = 0;  // its subtitle number, as the file had it
    TimeCode in{};             // its in-time, as the file had it
};

// Bytes written at an offset of the file (the header block starting at 0).
struct ByteEdit {
    std::uint64_t offset = 0;
    std::string bytes;
};

struct Change {
    // The fixes that made it, the deciding one first (two fixes can move one out-time).
    std::vector<Fix> fixes;
    Place place;
    std::string field;          // the field's own name, e.g. "TimeCodeOut", "TotalNumberOfTTI"
    std::string before, after;  // as shown: time codes HH:MM:SS:FF, header fields as text
    std::string why;
    // Every block of a subtitle's chain carries its time codes and number: one edit per block.
    std::vector<ByteEdit> edits;

    Fix fix() const { return fixes.front(); }
};

struct NotFixed {
    Fix fix;
    Place place;
    std::string field;
    std::string why;
};

struct Proposal {
    std::vector<Change> changes;  // in the order of the fixes, then of the file
    std::vector<NotFixed> notFixed;
    int framesPerSecond = 25;  // the rate the times were counted at
};

// The changes Options' fixes make to Document, whose blocks must have been kept. Out-before-in and
// renumber are proposed only when chosen. The revision is proposed only when something else is.
Proposal propose(const subtitle::Document& document, const Options& options);

// Which changes to write: all, or those whose flag is set (indices as in Proposal::changes).
// A revision change is written only when another chosen change alters a byte.
std::vector<bool> chooseAll(const Proposal& proposal);

// Writes the chosen changes into a whole file's bytes.
void applyChanges(std::string& fileBytes, const Proposal& proposal,
                  const std::vector<bool>& chosen);
// The same on a document's header and blocks (for a preview of the result); the subtitles are
// assembled again from the changed blocks.
void applyChanges(subtitle::Document& document, const Proposal& proposal,
                  const std::vector<bool>& chosen);
// The edits of one change only, for a before/after preview of one subtitle.
void applyChange(GeneralSubtitleInformation& gsi, std::vector<TextAndTimingInformation>& blocks,
                 const Change& change);

}  // namespace repair

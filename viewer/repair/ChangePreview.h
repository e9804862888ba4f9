#pragma once
// The subtitle of a change as it shows before the change and after it: the blocks around it laid
// out from the file's bytes, and from a copy with only that change written (a header change such
// as the display standard shows on the subtitle as well).

#include <cstdint>

#include "repair/Repair.h"
#include "viewer/preview/TeletextLayout.h"

namespace repairwindow {

struct BeforeAfter {
    preview::Layout before, after;
};

// Block is any block of the subtitle to show; Change may be null (nothing changes).
BeforeAfter changePreview(const subtitle::Document& document, std::uint32_t block,
                          const repair::Change* change, std::uint16_t codePage);

}  // namespace repairwindow

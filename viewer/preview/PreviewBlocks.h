#pragma once
// What is on screen while one block is selected: its subtitle and, inside a cumulative set, the
// parts of the set still shown at its in-time, found by the subtitle model over a window of
// blocks around it.

#include <cstdint>

#include "TeletextLayout.h"
#include "stl/StlReader.h"

namespace preview {

// Reads a window of blocks around Index in one call; Nothing when the block cannot be read.
Selection selectionAt(const StlReader& reader, std::uint32_t index);

// The same over blocks already in memory (Blocks[i] is block First + i).
Selection selectionAt(const TextAndTimingInformation* blocks, std::size_t count,
                      std::uint32_t first, std::uint32_t index, int framesPerSecond);

}  // namespace preview

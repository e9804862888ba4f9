#pragma once
// The blocks that make up what is on screen while one block is selected: its subtitle's chain of
// extension blocks and, inside a cumulative set, the subtitles of the set before it.

#include <cstdint>
#include <vector>

#include "TeletextLayout.h"
#include "stl/StlReader.h"

namespace preview {

// Reads a window of blocks around Index in one call. A user-data block comes back alone; user-data
// blocks inside a chain are left out. Empty when the block cannot be read.
std::vector<SourceBlock> gatherBlocks(const StlReader& reader, std::uint32_t index);

// The same over blocks already in memory (Blocks[i] is block First + i).
std::vector<SourceBlock> gatherBlocks(const TextAndTimingInformation* blocks, std::size_t count,
                                      std::uint32_t first, std::uint32_t index);

}  // namespace preview

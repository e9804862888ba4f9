#pragma once
// Walks the TTI blocks of an open reader in order, reading them in chunks: one system call per
// chunk instead of one per block. Nothing outlives the cursor, so a walk started after the file
// changed on disk sees the new bytes.

#include <cstdint>
#include <vector>

#include "STLReader.h"

class TTTIBlockCursor {
public:
    explicit TTTIBlockCursor(TSTLReader& Reader, std::size_t ChunkBlocks = 512);

    // Block Index as GetTextAndTimingInformation gives it (same results and diagnostics); the
    // pointer is valid until the next call.
    HRESULT Get(std::uint32_t Index, PTextAndTimingInformation* Tti);

private:
    TSTLReader& FReader;
    std::vector<TTextAndTimingInformation> FChunk;
    std::uint32_t FFirst = 0;
    std::size_t FCount = 0;
};

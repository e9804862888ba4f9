#pragma once
// Walks the TTI blocks of an open reader in order, reading them in chunks: one system call per
// chunk instead of one per block. Nothing outlives the cursor, so a walk started after the file
// changed on disk sees the new bytes.

#include <cstdint>
#include <vector>

#include "StlReader.h"

class TtiBlockCursor {
public:
    explicit TtiBlockCursor(StlReader& reader, std::size_t chunkBlocks = 512);

    // Block Index as GetTextAndTimingInformation gives it (same results and diagnostics); the
    // pointer is valid until the next call.
    HRESULT get(std::uint32_t index, PTextAndTimingInformation* tti);

private:
    StlReader& m_reader;
    std::size_t m_chunkLimit;
    std::vector<TextAndTimingInformation> m_chunk;
    std::uint32_t m_first = 0;
    std::size_t m_count = 0;
};

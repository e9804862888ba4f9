#include "TtiBlockCursor.h"

#include <algorithm>

namespace {

// The first chunk is small and each refill doubles it up to the limit, so a short file costs a
// few blocks of memory and a long one still gets one system call per full chunk.
constexpr std::size_t kFirstChunkBlocks = 8;

}  // namespace

TtiBlockCursor::TtiBlockCursor(StlReader& reader, std::size_t chunkBlocks)
    : m_reader(reader), m_chunkLimit(chunkBlocks > 0 ? chunkBlocks : 1) {}

HRESULT TtiBlockCursor::get(std::uint32_t index, PTextAndTimingInformation* tti) {
    if (tti && (index < m_first || index - m_first >= m_count)) {
        m_chunk.resize(std::min(m_chunkLimit, std::max(kFirstChunkBlocks, m_chunk.size() * 2)));
        m_first = index;
        m_count = m_reader.readTextAndTimingBlocks(index, m_chunk.size(), m_chunk.data());
    }
    // Where no chunk could be read the reader itself answers, with its own diagnostics.
    if (!tti || m_count == 0) return m_reader.getTextAndTimingInformation(index, tti);
    *tti = &m_chunk[index - m_first];
    return S_OK;
}

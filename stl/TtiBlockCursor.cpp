#include "TtiBlockCursor.h"

TtiBlockCursor::TtiBlockCursor(StlReader& reader, std::size_t chunkBlocks)
    : m_reader(reader), m_chunk(chunkBlocks > 0 ? chunkBlocks : 1) {}

HRESULT TtiBlockCursor::get(std::uint32_t index, PTextAndTimingInformation* tti) {
    if (tti && (index < m_first || index - m_first >= m_count)) {
        m_first = index;
        m_count = m_reader.readTextAndTimingBlocks(index, m_chunk.size(), m_chunk.data());
    }
    // Where no chunk could be read the reader itself answers, with its own diagnostics.
    if (!tti || m_count == 0) return m_reader.getTextAndTimingInformation(index, tti);
    *tti = &m_chunk[index - m_first];
    return S_OK;
}

#include "TTIBlockCursor.h"

TTTIBlockCursor::TTTIBlockCursor(TSTLReader& Reader, std::size_t ChunkBlocks)
    : FReader(Reader), FChunk(ChunkBlocks > 0 ? ChunkBlocks : 1) {}

HRESULT TTTIBlockCursor::Get(std::uint32_t Index, PTextAndTimingInformation* Tti) {
    if (Tti && (Index < FFirst || Index - FFirst >= FCount)) {
        FFirst = Index;
        FCount = FReader.ReadTextAndTimingBlocks(Index, FChunk.size(), FChunk.data());
    }
    // Where no chunk could be read the reader itself answers, with its own diagnostics.
    if (!Tti || FCount == 0) return FReader.GetTextAndTimingInformation(Index, Tti);
    *Tti = &FChunk[Index - FFirst];
    return S_OK;
}

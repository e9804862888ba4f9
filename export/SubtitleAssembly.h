#pragma once
// One subtitle per extension chain: the blocks that share a subtitle number up to the one marked
// last, their texts joined before decoding (a character may straddle two blocks). User-data
// blocks belong to no subtitle; comments are kept only on request.

#include <cstdint>
#include <vector>

#include "StyledText.h"
#include "TextFieldDecoder.h"
#include "stl/StlUtils.h"

struct Subtitle {
    std::uint16_t number = 0;
    TimeCode in{};
    TimeCode out{};
    std::uint8_t cumulativeStatus = 0;  // 0 none, 1 first, 2 intermediate, 3 last of a set
    bool comment = false;
    StyledText text;
};

struct AssemblySettings {
    DecodeSettings decode;
    bool includeComments = false;
};

std::vector<Subtitle> assembleSubtitles(const std::vector<TextAndTimingInformation>& blocks,
                                        const AssemblySettings& settings);

#include "PreviewBlocks.h"

#include <algorithm>

#include "stl/StlUtils.h"

namespace preview {
namespace {

// Chains and sets longer than this are shown from the part inside the window.
constexpr std::uint32_t windowBlocks = 256;

std::uint8_t cumulativeOf(const TextAndTimingInformation& block) {
    return block.bytes[tti::cumulativeStatus.offset];
}

struct Window {
    const TextAndTimingInformation* blocks;
    std::size_t count;
    std::uint32_t first;
    const TextAndTimingInformation& at(std::size_t i) const { return blocks[i - first]; }
    std::size_t end() const { return first + count; }
};

// First block of the chain that holds block I.
std::size_t chainStart(const Window& w, std::size_t i) {
    while (i > w.first && extensionBlockNumberOf(w.at(i - 1)) != 0xFF &&
           subtitleNumberOf(w.at(i - 1)) == subtitleNumberOf(w.at(i)))
        --i;
    return i;
}

std::size_t chainEnd(const Window& w, std::size_t i) {
    while (extensionBlockNumberOf(w.at(i)) != 0xFF && i + 1 < w.end() &&
           subtitleNumberOf(w.at(i + 1)) == subtitleNumberOf(w.at(i)))
        ++i;
    return i;
}

void appendChain(const Window& w, std::size_t from, std::size_t to, std::vector<SourceBlock>& out) {
    for (std::size_t i = from; i <= to; ++i)
        if (extensionBlockNumberOf(w.at(i)) != 0xFE)
            out.push_back({w.at(i), static_cast<std::uint32_t>(i)});
}

}  // namespace

std::vector<SourceBlock> gatherBlocks(const TextAndTimingInformation* blocks, std::size_t count,
                                      std::uint32_t first, std::uint32_t index) {
    const Window w{blocks, count, first};
    if (index < first || index >= w.end()) return {};
    if (extensionBlockNumberOf(w.at(index)) == 0xFE) return {{w.at(index), index}};
    const std::size_t start = chainStart(w, index);
    const bool comment = w.at(start).bytes[tti::commentFlag.offset] == 1;
    std::vector<std::pair<std::size_t, std::size_t>> chains{{start, chainEnd(w, index)}};
    // Earlier subtitles of a cumulative set stay on screen; comments are never part of it.
    const std::uint8_t status = cumulativeOf(w.at(start));
    if (!comment && (status == 2 || status == 3)) {
        std::size_t at = start;
        while (at > w.first) {
            const std::size_t head = chainStart(w, at - 1);
            const TextAndTimingInformation& block = w.at(head);
            at = head;
            if (extensionBlockNumberOf(w.at(at)) == 0xFE ||
                block.bytes[tti::commentFlag.offset] == 1)
                continue;
            const std::uint8_t earlier = cumulativeOf(block);
            if (earlier == 0 || earlier == 3) break;
            chains.insert(chains.begin(), {head, chainEnd(w, head)});
            if (earlier == 1) break;
        }
    }
    std::vector<SourceBlock> out;
    for (const auto& [from, to] : chains) appendChain(w, from, to, out);
    return out;
}

std::vector<SourceBlock> gatherBlocks(const StlReader& reader, std::uint32_t index) {
    const auto present =
        static_cast<std::uint32_t>(std::max(0, reader.getTextAndTimingInformationTotalCount()));
    if (index >= present) return {};
    const std::uint32_t first = index > windowBlocks ? index - windowBlocks : 0;
    const std::size_t wanted = std::min<std::size_t>(present - first, 2 * windowBlocks + 1);
    std::vector<TextAndTimingInformation> blocks(wanted);
    const std::size_t read = reader.readTextAndTimingBlocks(first, wanted, blocks.data());
    return gatherBlocks(blocks.data(), read, first, index);
}

}  // namespace preview

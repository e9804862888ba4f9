#include "ChangePreview.h"

#include <algorithm>
#include <vector>

#include "repair/RepairFile.h"
#include "viewer/preview/PreviewBlocks.h"

namespace repairwindow {

namespace {

// Blocks laid out on either side of the subtitle: a cumulative set or a chain longer than this
// is shown from the part inside.
constexpr std::uint32_t windowBlocks = 256;

preview::Layout layOut(const GeneralSubtitleInformation& gsi,
                       const std::vector<TextAndTimingInformation>& blocks, std::uint32_t first,
                       std::uint32_t block, std::uint16_t codePage) {
    return preview::layOut(
        preview::selectionAt(blocks.data(), blocks.size(), first, block, repair::frameRate(gsi)),
        preview::layoutOptions(gsi, codePage));
}

}  // namespace

BeforeAfter changePreview(const subtitle::Document& document, std::uint32_t block,
                          const repair::Change* change, std::uint16_t codePage) {
    const auto present = static_cast<std::uint32_t>(document.blocks.size());
    if (block >= present) return {};
    const std::uint32_t first = block > windowBlocks ? block - windowBlocks : 0;
    const std::uint32_t end = std::min<std::uint32_t>(present, block + windowBlocks + 1);
    std::vector<TextAndTimingInformation> blocks(document.blocks.begin() + first,
                                                 document.blocks.begin() + end);
    BeforeAfter shown;
    shown.before = layOut(document.gsi, blocks, first, block, codePage);
    if (!change) {
        shown.after = shown.before;
        return shown;
    }
    GeneralSubtitleInformation gsi = document.gsi;
    for (const repair::ByteEdit& edit : change->edits)
        for (std::size_t k = 0; k < edit.bytes.size(); ++k) {
            const std::uint64_t at = edit.offset + k;
            const auto byte = static_cast<std::uint8_t>(edit.bytes[k]);
            if (at < GSI_BLOCK_SIZE) {
                gsi.bytes[at] = byte;
                continue;
            }
            const std::uint64_t index = (at - GSI_BLOCK_SIZE) / TTI_BLOCK_SIZE;
            if (index >= first && index < end)
                blocks[index - first].bytes[(at - GSI_BLOCK_SIZE) % TTI_BLOCK_SIZE] = byte;
        }
    shown.after = layOut(gsi, blocks, first, block, codePage);
    return shown;
}

}  // namespace repairwindow

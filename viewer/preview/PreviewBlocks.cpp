#include "PreviewBlocks.h"

#include <algorithm>
#include <vector>

#include "subtitle/Timeline.h"

namespace preview {
namespace {

// Chains and sets longer than this are shown from the part inside the window.
constexpr std::uint32_t windowBlocks = 256;

}  // namespace

Selection selectionAt(const TextAndTimingInformation* blocks, std::size_t count,
                      std::uint32_t first, std::uint32_t index, int framesPerSecond) {
    Selection selection;
    if (index < first || index >= first + count) return selection;
    const TextAndTimingInformation& selected = blocks[index - first];
    selection.extension = extensionBlockNumberOf(selected);
    if (subtitle::isNonSubtitleBlock(selected)) {
        selection.kind =
            subtitle::isUserData(selected) ? Selection::Kind::UserData : Selection::Kind::Reserved;
        return selection;
    }
    std::vector<subtitle::Subtitle> subtitles;
    subtitle::Assembler assembler([&](const subtitle::Subtitle& s) { subtitles.push_back(s); });
    for (std::size_t i = 0; i < count; ++i)
        assembler.take(first + static_cast<std::uint32_t>(i), blocks[i]);
    assembler.finish();
    const auto holder = std::find_if(subtitles.begin(), subtitles.end(), [&](const auto& s) {
        return s.firstBlock <= index && index <= s.lastBlock;
    });
    if (holder == subtitles.end()) return selection;
    selection.kind = Selection::Kind::Subtitle;
    const auto chosen = static_cast<std::size_t>(holder - subtitles.begin());
    // The earlier parts of a set still on screen at the selected part's in-time; a comment
    // shows alone.
    if (!holder->comment) {
        const int fps = framesPerSecond > 0 ? framesPerSecond : 25;
        const std::int64_t in = subtitle::frameOf(holder->in, fps);
        for (const subtitle::Display& d : subtitle::timeline(subtitles, {fps, false})) {
            if (std::find(d.parts.begin(), d.parts.end(), chosen) == d.parts.end()) continue;
            if (d.start != in && !(d.end <= d.start)) continue;
            for (const std::size_t part : d.parts)
                if (part < chosen) selection.parts.push_back(subtitles[part]);
            break;
        }
    }
    selection.parts.push_back(*holder);
    return selection;
}

Selection selectionAt(const StlReader& reader, std::uint32_t index) {
    const auto present =
        static_cast<std::uint32_t>(std::max(0, reader.getTextAndTimingInformationTotalCount()));
    if (index >= present) return {};
    const std::uint32_t first = index > windowBlocks ? index - windowBlocks : 0;
    const std::size_t wanted = std::min<std::size_t>(present - first, 2 * windowBlocks + 1);
    std::vector<TextAndTimingInformation> blocks(wanted);
    const std::size_t read = reader.readTextAndTimingBlocks(first, wanted, blocks.data());
    return selectionAt(blocks.data(), read, first, index, reader.framesPerSecond());
}

}  // namespace preview

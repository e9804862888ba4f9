#include "SubtitleAssembly.h"

#include <string>

namespace {

constexpr std::uint8_t kLastBlock = 0xFF;
constexpr std::uint8_t kUserData = 0xFE;

std::uint8_t byteAt(const TextAndTimingInformation& block, const StlField& field) {
    return block.bytes[field.offset];
}

}  // namespace

std::vector<Subtitle> assembleSubtitles(const std::vector<TextAndTimingInformation>& blocks,
                                        const AssemblySettings& settings) {
    std::vector<Subtitle> subtitles;
    std::size_t i = 0;
    while (i < blocks.size()) {
        const TextAndTimingInformation& first = blocks[i];
        if (byteAt(first, tti::extensionBlockNumber) == kUserData) {
            ++i;
            continue;
        }
        // The chain ends at the block marked last, or where the subtitle number changes in a
        // file that never marks it.
        std::string raw(textFieldBytes(first));
        std::size_t next = i + 1;
        for (std::uint8_t ebn = byteAt(first, tti::extensionBlockNumber);
             ebn != kLastBlock && next < blocks.size(); ++next) {
            const TextAndTimingInformation& block = blocks[next];
            ebn = byteAt(block, tti::extensionBlockNumber);
            if (ebn == kUserData) continue;
            if (subtitleNumberOf(block) != subtitleNumberOf(first)) break;
            raw += textFieldBytes(block);
        }
        i = next;

        Subtitle subtitle;
        subtitle.comment = byteAt(first, tti::commentFlag) == 1;
        if (subtitle.comment && !settings.includeComments) continue;
        subtitle.number = subtitleNumberOf(first);
        subtitle.in = timeCodeAt(first, tti::timeCodeIn);
        subtitle.out = timeCodeAt(first, tti::timeCodeOut);
        subtitle.cumulativeStatus = byteAt(first, tti::cumulativeStatus);
        subtitle.text = decodeSubtitleText(raw, settings.decode);
        subtitles.push_back(std::move(subtitle));
    }
    return subtitles;
}

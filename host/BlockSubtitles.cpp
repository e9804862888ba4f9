#include "BlockSubtitles.h"

#include <fstream>

#include "subtitle/Assembly.h"

namespace validationhost {
namespace {

constexpr std::uint32_t GSI_SIZE = 1024;
constexpr std::uint32_t BLOCK_SIZE = 128;
constexpr std::size_t BLOCKS_PER_READ = 4096;

}  // namespace

BlockSubtitles::BlockSubtitles(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in.ignore(GSI_SIZE) || in.gcount() != GSI_SIZE) return;
    // Blocks of a chain take the place of its first block, user data standing between them too
    // (it is shown inside that subtitle); user data outside a chain keeps its own.
    subtitle::Assembler assembler([this](const subtitle::Subtitle& s) {
        const Place first = m_own[s.firstBlock];
        for (std::uint32_t b = s.firstBlock + 1; b <= s.lastBlock && b < m_own.size(); ++b)
            m_own[b] = first;
    });
    std::vector<TextAndTimingInformation> blocks(BLOCKS_PER_READ);
    for (std::uint32_t index = 0; in;) {
        in.read(reinterpret_cast<char*>(blocks.data()), BLOCKS_PER_READ * BLOCK_SIZE);
        const auto got = static_cast<std::size_t>(in.gcount()) / BLOCK_SIZE;
        for (std::size_t i = 0; i < got; ++i, ++index) {
            m_own.push_back(ownPlace(blocks[i]));
            assembler.take(index, blocks[i]);
        }
    }
    assembler.finish();
}

BlockSubtitles::Place BlockSubtitles::ownPlace(const TextAndTimingInformation& block) {
    return {subtitleNumberOf(block), timeCodeAt(block, tti::timeCodeIn),
            timeCodeAt(block, tti::timeCodeOut)};
}

void BlockSubtitles::place(FindingPlace& place) const {
    const auto block = static_cast<std::size_t>(place.block);
    if (place.block < 0 || block >= m_own.size()) return;
    const Place& found = m_own[block];
    place.subtitleNumber = found.number;
    place.in = found.in;
    place.out = found.out;
}

}  // namespace validationhost

#include "StlFileBuilder.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace testsupport {

StlFileBuilder::StlFileBuilder() : m_gsi(GSI_BLOCK_SIZE, 0x20) {
    gsi(gsi::codePageNumber, "850");
    gsi(gsi::diskFormatCode, "STL25.01");
    gsi(gsi::displayStandardCode, "1");
    gsi(gsi::characterCodeTableNumber, "00");
    gsi(gsi::languageCode, "0F");
    gsi(gsi::originalProgrammeTitle, "Test Programme");
    gsi(gsi::creationDate, "120315");
    gsi(gsi::revisionDate, "120316");
    gsi(gsi::revisionNumber, "01");
    gsi(gsi::totalNumberOfSubtitles, "00000");
    gsi(gsi::totalNumberOfSubtitleGroups, "001");
    gsi(gsi::maximumNumberOfDisplayableCharacters, "40");
    gsi(gsi::maximumNumberOfDisplayableRows, "23");
    gsi(gsi::timeCodeStatus, "1");
    gsi(gsi::timeCodeStartOfProgramme, "10000000");
    gsi(gsi::timeCodeFirstInCue, "10000000");
    gsi(gsi::totalNumberOfDisks, "1");
    gsi(gsi::diskSequenceNumber, "1");
    gsi(gsi::countryOfOrigin, "GBR");
    announce(0);
}

StlFileBuilder& StlFileBuilder::gsi(const StlField& field, std::string_view text) {
    for (std::size_t i = 0; i < field.length; ++i)
        m_gsi[field.offset + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0x20;
    return *this;
}

StlFileBuilder& StlFileBuilder::gsiBytes(std::size_t offset, std::vector<std::uint8_t> bytes) {
    if (offset + bytes.size() > m_gsi.size()) throw std::out_of_range("gsiBytes");
    std::copy(bytes.begin(), bytes.end(), m_gsi.begin() + static_cast<long>(offset));
    return *this;
}

StlFileBuilder& StlFileBuilder::announce(int count) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%05d", count);
    return gsi(gsi::totalNumberOfTti, buf);
}

StlFileBuilder& StlFileBuilder::addBlock(const Block& b) {
    std::vector<std::uint8_t> block(TTI_BLOCK_SIZE, 0x8F);
    block[0] = b.group;
    block[1] = static_cast<std::uint8_t>(b.number & 0xFF);
    block[2] = static_cast<std::uint8_t>(b.number >> 8);
    block[3] = b.extension;
    block[4] = b.cumulative;
    std::copy(b.in, b.in + 4, block.begin() + 5);
    std::copy(b.out, b.out + 4, block.begin() + 9);
    block[13] = b.vertical;
    block[14] = b.justification;
    block[15] = b.comment;
    std::copy_n(b.text.begin(), std::min<std::size_t>(b.text.size(), TTI_TEXT_FIELD_SIZE),
                block.begin() + 16);
    m_blocks.push_back(std::move(block));
    return *this;
}

StlFileBuilder& StlFileBuilder::addBlocks(int n) {
    for (int i = 0; i < n; ++i) {
        Block b;
        b.number = static_cast<std::uint16_t>(i + 1);
        const int start = 36000 * 25 + i * 75;  // 10:00:00:00 plus three seconds a subtitle
        const int end = start + 50;
        auto put = [](std::uint8_t* tc, int frames) {
            tc[0] = static_cast<std::uint8_t>(frames / (3600 * 25));
            tc[1] = static_cast<std::uint8_t>(frames / (60 * 25) % 60);
            tc[2] = static_cast<std::uint8_t>(frames / 25 % 60);
            tc[3] = static_cast<std::uint8_t>(frames % 25);
        };
        put(b.in, start);
        put(b.out, end);
        b.text = text("Subtitle " + std::to_string(i + 1));
        addBlock(b);
    }
    return announce(static_cast<int>(m_blocks.size()));
}

StlFileBuilder& StlFileBuilder::trailing(std::vector<std::uint8_t> bytes) {
    m_trailing = std::move(bytes);
    return *this;
}

StlFileBuilder& StlFileBuilder::blockBytes(int n, std::size_t offset,
                                           std::vector<std::uint8_t> bytes) {
    auto& block = m_blocks.at(static_cast<std::size_t>(n));
    if (offset + bytes.size() > block.size()) throw std::out_of_range("blockBytes");
    std::copy(bytes.begin(), bytes.end(), block.begin() + static_cast<long>(offset));
    return *this;
}

std::vector<std::uint8_t> StlFileBuilder::bytes() const {
    std::vector<std::uint8_t> out(m_gsi);
    for (const auto& b : m_blocks) out.insert(out.end(), b.begin(), b.end());
    out.insert(out.end(), m_trailing.begin(), m_trailing.end());
    return out;
}

std::string StlFileBuilder::writeTo(const std::string& path) const {
    const auto data = bytes();
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!f) throw std::runtime_error("cannot write " + path);
    return path;
}

}  // namespace testsupport

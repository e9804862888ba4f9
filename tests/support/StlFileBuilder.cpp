#include "StlFileBuilder.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace testsupport {

StlFileBuilder::StlFileBuilder() : gsi_(GSI_BLOCK_SIZE, 0x20) {
    gsi(gsi::CodePageNumber, "850");
    gsi(gsi::DiskFormatCode, "STL25.01");
    gsi(gsi::DisplayStandardCode, "1");
    gsi(gsi::CharacterCodeTableNumber, "00");
    gsi(gsi::LanguageCode, "0F");
    gsi(gsi::OriginalProgrammeTitle, "Test Programme");
    gsi(gsi::CreationDate, "120315");
    gsi(gsi::RevisionDate, "120316");
    gsi(gsi::RevisionNumber, "01");
    gsi(gsi::TotalNumberOfSubtitles, "00000");
    gsi(gsi::TotalNumberOfSubtitleGroups, "001");
    gsi(gsi::MaximumNumberOfDisplayableCharacters, "40");
    gsi(gsi::MaximumNumberOfDisplayableRows, "23");
    gsi(gsi::TimeCodeStatus, "1");
    gsi(gsi::TimeCodeStartOfProgramme, "10000000");
    gsi(gsi::TimeCodeFirstInCue, "10000000");
    gsi(gsi::TotalNumberOfDisks, "1");
    gsi(gsi::DiskSequenceNumber, "1");
    gsi(gsi::CountryOfOrigin, "GBR");
    announce(0);
}

StlFileBuilder& StlFileBuilder::gsi(const STLField& field, std::string_view text) {
    for (std::size_t i = 0; i < field.Length; ++i)
        gsi_[field.Offset + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0x20;
    return *this;
}

StlFileBuilder& StlFileBuilder::gsiBytes(std::size_t offset, std::vector<std::uint8_t> bytes) {
    if (offset + bytes.size() > gsi_.size()) throw std::out_of_range("gsiBytes");
    std::copy(bytes.begin(), bytes.end(), gsi_.begin() + static_cast<long>(offset));
    return *this;
}

StlFileBuilder& StlFileBuilder::announce(int count) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%05d", count);
    return gsi(gsi::TotalNumberOfTTI, buf);
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
    blocks_.push_back(std::move(block));
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
    return announce(static_cast<int>(blocks_.size()));
}

StlFileBuilder& StlFileBuilder::trailing(std::vector<std::uint8_t> bytes) {
    trailing_ = std::move(bytes);
    return *this;
}

StlFileBuilder& StlFileBuilder::blockBytes(int n, std::size_t offset,
                                           std::vector<std::uint8_t> bytes) {
    auto& block = blocks_.at(static_cast<std::size_t>(n));
    if (offset + bytes.size() > block.size()) throw std::out_of_range("blockBytes");
    std::copy(bytes.begin(), bytes.end(), block.begin() + static_cast<long>(offset));
    return *this;
}

std::vector<std::uint8_t> StlFileBuilder::bytes() const {
    std::vector<std::uint8_t> out(gsi_);
    for (const auto& b : blocks_) out.insert(out.end(), b.begin(), b.end());
    out.insert(out.end(), trailing_.begin(), trailing_.end());
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

#pragma once
// Builds STL files byte by byte for tests, so every byte of a fixture is visible in the test.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "stl/StlTypes.h"

namespace testsupport {

class StlFileBuilder {
public:
    // A valid 25 fps file: GSI fields blank-filled with sensible values, TNB = 0.
    StlFileBuilder();

    // GSI field set from text (blank padded on the right; longer text is cut).
    StlFileBuilder& gsi(const StlField& field, std::string_view text);
    // Raw bytes anywhere in the GSI block.
    StlFileBuilder& gsiBytes(std::size_t offset, std::vector<std::uint8_t> bytes);
    // Sets TotalNumberOfTTI (5 digits, zero padded). addBlock does not change it.
    StlFileBuilder& announce(int count);

    // Appends a block: subtitle number, time codes as {h, m, s, f}, text (0x8F filled after it).
    struct Block {
        std::uint8_t group = 0;
        std::uint16_t number = 0;
        std::uint8_t extension = 0xFF;
        std::uint8_t cumulative = 0;
        std::uint8_t in[4] = {0, 0, 0, 0};
        std::uint8_t out[4] = {0, 0, 1, 0};
        std::uint8_t vertical = 20;
        std::uint8_t justification = 2;
        std::uint8_t comment = 0;
        std::vector<std::uint8_t> text;  // copied into TextField, rest filled with 0x8F
    };
    StlFileBuilder& addBlock(const Block& block);
    // Appends n simple blocks numbered from 1 with increasing time codes; announces the total.
    StlFileBuilder& addBlocks(int n);
    // Raw bytes after the last block (a partial block, say).
    StlFileBuilder& trailing(std::vector<std::uint8_t> bytes);
    // Raw bytes anywhere in block n (relative to the block's start).
    StlFileBuilder& blockBytes(int n, std::size_t offset, std::vector<std::uint8_t> bytes);

    std::vector<std::uint8_t> bytes() const;
    // Writes the bytes to path; returns path.
    std::string writeTo(const std::string& path) const;

    static std::vector<std::uint8_t> text(std::string_view s) {
        return std::vector<std::uint8_t>(s.begin(), s.end());
    }

private:
    std::vector<std::uint8_t> m_gsi;
    std::vector<std::vector<std::uint8_t>> m_blocks;
    std::vector<std::uint8_t> m_trailing;
};

}  // namespace testsupport

#pragma once
// Big generated files for benchmarks and memory tests: 99,999 blocks give 334,461 findings when
// every block has three faults of its own.

#include <algorithm>
#include <string>

#include "tests/support/StlFileBuilder.h"

namespace testsupport {

// Subtitle numbers 1, 2, ... wrap after 65535, so a file of more blocks than that necessarily
// repeats numbers (rule 425); everything else in the clean file is valid.
inline std::string makeFindingsFile(const std::string& path, int blocks,
                                    bool findingsInEveryBlock) {
    testsupport::StlFileBuilder file;
    for (int i = 0; i < blocks; ++i) {
        testsupport::StlFileBuilder::Block block;
        block.number = static_cast<std::uint16_t>(i + 1);
        const int seconds = i * 4 / 5;  // under 23 hours for 99,999 blocks
        block.in[0] = static_cast<std::uint8_t>(seconds / 3600);
        block.in[1] = static_cast<std::uint8_t>(seconds / 60 % 60);
        block.in[2] = static_cast<std::uint8_t>(seconds % 60);
        std::copy(block.in, block.in + 4, block.out);
        block.out[3] = 10;
        if (findingsInEveryBlock) {
            block.cumulative = 5;  // 427
            block.vertical = 120;  // 438
            block.comment = 4;     // 440
        }
        file.addBlock(block);
    }
    file.announce(blocks);
    file.gsi(gsi::totalNumberOfSubtitles, std::to_string(blocks));
    return file.writeTo(path);
}

}  // namespace testsupport

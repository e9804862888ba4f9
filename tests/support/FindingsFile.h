#pragma once
// Big generated files for benchmarks and memory tests: 99,999 blocks give 334,461 findings when
// every block has three faults of its own.

#include <string>

#include "tests/support/StlFileBuilder.h"

namespace testsupport {

// Subtitle numbers 1, 2, ... wrap after 65535, so a file of more blocks than that necessarily
// repeats numbers (rule 425); everything else in the clean file is valid, for the delivery rules
// too: boxed double-height teletext text of two rows at 13.9 characters per second, 18 frames on
// screen and a 2-frame gap. 99,999 subtitles of a full second do not fit in 24 hours, so the
// clean file's subtitles are 720 ms long (a delivery run on it sets its minimum below that).
inline std::string makeFindingsFile(const std::string& path, int blocks,
                                    bool findingsInEveryBlock) {
    constexpr int FPS = 25, STEP = 20, ON_SCREEN = 18;
    const auto timeCode = [](int frames, std::uint8_t(&tc)[4]) {
        const int seconds = frames / FPS;
        tc[0] = static_cast<std::uint8_t>(seconds / 3600);
        tc[1] = static_cast<std::uint8_t>(seconds / 60 % 60);
        tc[2] = static_cast<std::uint8_t>(seconds % 60);
        tc[3] = static_cast<std::uint8_t>(frames % FPS);
    };
    // Double height, start box twice, text, end box twice; the same on the second row.
    const std::vector<std::uint8_t> text = {0x0D, 0x0B, 0x0B, 'C',  'l',  'e',  'a',  'n',
                                            0x0A, 0x0A, 0x8A, 0x8A, 0x0D, 0x0B, 0x0B, 't',
                                            'e',  'x',  't',  '.',  0x0A, 0x0A};
    testsupport::StlFileBuilder file;
    file.gsi(gsi::timeCodeStartOfProgramme, "00000000");
    file.gsi(gsi::timeCodeFirstInCue, "00000000");
    for (int i = 0; i < blocks; ++i) {
        testsupport::StlFileBuilder::Block block;
        block.number = static_cast<std::uint16_t>(i + 1);
        timeCode(i * STEP, block.in);  // under 23 hours for 99,999 blocks
        timeCode(i * STEP + ON_SCREEN, block.out);
        block.text = text;
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

#pragma once
// Subtitle files for comparison tests: a list of subtitles written with the fixture builder.

#include <string>
#include <vector>

#include "tests/support/StlFileBuilder.h"

namespace comparetest {

struct Sub {
    int in;   // frames
    int out;  // frames
    std::string text;
    std::uint8_t vertical = 20;
    std::uint8_t comment = 0;
};

// Six subtitles, two seconds apart, each with a text of its own.
inline std::vector<Sub> sixSubtitles() {
    const char* texts[] = {"Where were you last night?", "At home, I swear.",
                           "Nobody saw you there.",      "Then ask my neighbour.",
                           "He moved out in May.",       "Fine. I was out."};
    std::vector<Sub> subs;
    for (int k = 0; k < 6; ++k) subs.push_back({(2 * k + 1) * 25, (2 * k + 2) * 25, texts[k]});
    return subs;
}

inline std::string writeFile(const std::vector<Sub>& subs, const std::string& path, int fps = 25,
                             const std::string& title = "Test Programme") {
    testsupport::StlFileBuilder builder;
    builder.gsi(gsi::diskFormatCode, fps == 30 ? "STL30.01" : "STL25.01")
        .gsi(gsi::originalProgrammeTitle, title);
    auto timeCode = [fps](int frames, std::uint8_t* tc) {
        const int seconds = frames / fps;
        tc[0] = std::uint8_t(seconds / 3600);
        tc[1] = std::uint8_t(seconds / 60 % 60);
        tc[2] = std::uint8_t(seconds % 60);
        tc[3] = std::uint8_t(frames % fps);
    };
    int number = 0;
    for (const Sub& s : subs) {
        testsupport::StlFileBuilder::Block block;
        block.number = std::uint16_t(number++);
        timeCode(s.in, block.in);
        timeCode(s.out, block.out);
        block.vertical = s.vertical;
        block.comment = s.comment;
        block.text = testsupport::StlFileBuilder::text(s.text);
        builder.addBlock(block);
    }
    return builder.announce(int(subs.size())).writeTo(path);
}

}  // namespace comparetest

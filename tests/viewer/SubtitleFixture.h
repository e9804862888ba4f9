#pragma once
// A small 25 fps teletext file for Find, Go To and the subtitle model's columns: four subtitles,
// one of them a chain of two blocks, and a user data block between them.
//   block 0  SN 1  00:00:01:00-00:00:03:00  "Café au lait"
//   block 1  SN 2  00:00:04:00-00:00:05:00  "CAFE noir" / "second row"
//   block 2  user data "cafe"
//   block 3  SN 3  00:00:10:00-00:00:12:12  "Un " ...
//   block 4         ... "café" (the chain's last block)
//   block 5  SN 4  00:00:20:00-00:00:21:00  "tea"

#include <string>

#include "tests/support/StlFileBuilder.h"

namespace viewertest {

inline std::string writeSubtitleFixture(const std::string& path) {
    using Builder = testsupport::StlFileBuilder;
    const auto block = [](int number, int inSeconds, int outSeconds, int outFrames,
                          const char* text) {
        Builder::Block b;
        b.number = static_cast<std::uint16_t>(number);
        b.in[2] = static_cast<std::uint8_t>(inSeconds);
        b.out[2] = static_cast<std::uint8_t>(outSeconds);
        b.out[3] = static_cast<std::uint8_t>(outFrames);
        b.text = Builder::text(text);
        return b;
    };
    Builder::Block userData = block(0, 0, 0, 0, "cafe");
    userData.extension = 0xFE;
    Builder::Block chainStart = block(3, 10, 12, 12, "Un ");
    chainStart.extension = 0;
    return Builder()
        .addBlock(block(1, 1, 3, 0,
                        "Caf\xC2"
                        "e au lait"))
        .addBlock(block(2, 4, 5, 0, "CAFE noir\x8A\x8Asecond row"))
        .addBlock(userData)
        .addBlock(chainStart)
        .addBlock(block(3, 10, 12, 12,
                        "caf\xC2"
                        "e"))
        .addBlock(block(4, 20, 21, 0, "tea"))
        .announce(6)
        .writeTo(path);
}

}  // namespace viewertest

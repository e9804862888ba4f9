#include "StlFileContents.h"

#include <algorithm>
#include <fstream>

StlFileContents readStlFile(const std::string& path) {
    StlFileContents contents;
    contents.check = checkStlFormat(path);
    if (contents.check.verdict == FormatCheck::Verdict::Refused) {
        contents.error = contents.check.reason;
        return contents;
    }
    std::ifstream in(path, std::ios::binary);
    const auto count = static_cast<std::size_t>(
        std::min(contents.check.announcedBlocks, contents.check.presentBlocks));
    contents.blocks.resize(count);
    in.read(reinterpret_cast<char*>(contents.gsi.bytes), GSI_BLOCK_SIZE);
    in.read(reinterpret_cast<char*>(contents.blocks.data()),
            static_cast<std::streamsize>(count * TTI_BLOCK_SIZE));
    if (!in) {
        contents.blocks.clear();
        contents.error = "The file cannot be read.";
    }
    return contents;
}

#include "RepairFile.h"

#include <cstring>
#include <fstream>

namespace repair {

subtitle::Document documentOfBytes(const std::string& bytes) {
    if (bytes.size() < GSI_BLOCK_SIZE) return {};
    GeneralSubtitleInformation gsi{};
    std::memcpy(gsi.bytes, bytes.data(), GSI_BLOCK_SIZE);
    std::vector<TextAndTimingInformation> blocks((bytes.size() - GSI_BLOCK_SIZE) / TTI_BLOCK_SIZE);
    if (!blocks.empty())
        std::memcpy(blocks.data(), bytes.data() + GSI_BLOCK_SIZE, blocks.size() * TTI_BLOCK_SIZE);
    return subtitle::assembleDocument(gsi, std::move(blocks));
}

RepairSource readRepairSource(const std::string& path) {
    RepairSource source;
    source.check = checkStlFormat(path);
    if (source.check.verdict == FormatCheck::Verdict::Refused) {
        source.error = source.check.reason;
        return source;
    }
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
    if (size >= 0) {
        source.bytes.resize(static_cast<std::size_t>(size));
        in.seekg(0);
        in.read(source.bytes.data(), size);
    }
    if (!in || size < 0) {
        source.error = "The file cannot be read.";
        return source;
    }
    source.document = documentOfBytes(source.bytes);
    return source;
}

int frameRate(const GeneralSubtitleInformation& gsi) {
    if (const int fps = framesPerSecondFromDiskFormatCode(gsi)) return fps;
    if (const int fps =
            nonStandardFramesPerSecond(toUpperAscii(fieldText(gsi.bytes, gsi::diskFormatCode))))
        return fps;
    return 25;
}

}  // namespace repair

// Opens arbitrary bytes as an STL file with both reader variants and walks the blocks as the
// subtitle list does: through the chunked cursor, each text decoded with one code page that an
// input byte picks.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzInput.h"
#include "stl/CodePage.h"
#include "stl/FormatCheck.h"
#include "stl/StlReader.h"
#include "stl/StlUtils.h"
#include "stl/TtiBlockCursor.h"

namespace {

HRESULT QVX_STDCALL consumeReport(void* context, std::int32_t module, std::int32_t reportType,
                                  const char* message, std::int32_t validationId) {
    // Touch every byte so a dangling or unterminated message shows up under ASan.
    *static_cast<std::size_t*>(context) += std::strlen(message) + module + reportType;
    return validationId % 2 ? S_OK : E_FAIL;
}

// Chunks of 1-4 blocks cross chunk seams on small inputs; 512 is what the product uses.
std::size_t chunkFor(std::uint8_t selector) {
    const std::size_t sizes[] = {512, 1, 2, 3, 4, 7};
    return sizes[(selector >> 5) % std::size(sizes)];
}

std::size_t walkBlocks(StlReader& reader, std::uint16_t codePage, std::size_t chunk) {
    std::size_t sink = 0;
    // Every block present, as the list does; two past the end check the refusal.
    const std::uint32_t present =
        static_cast<std::uint32_t>(std::max(0, reader.getTextAndTimingInformationTotalCount()));
    TtiBlockCursor cursor(reader, chunk);
    PTextAndTimingInformation block = nullptr;
    for (std::uint32_t i = 0; i < present + 2; ++i) {
        if (cursor.get(i, &block) != S_OK || !block) break;
        sink += codePageToUnicode(textFieldDisplayBytes(*block), codePage).size();
        sink += formatTimeCode(timeCodeAt(*block, tti::timeCodeIn)).size();
        sink += formatTimeCode(timeCodeAt(*block, tti::timeCodeOut)).size();
        sink += subtitleNumberOf(*block);
    }
    return sink;
}

void exercise(const std::string& path, StlVariant variant, bool checkFileSize,
              std::uint16_t codePage, std::size_t chunk) {
    std::size_t sink = 0;
    StlReader reader(variant);
    reader.setReportFunction(ReportFunction{&sink, &consumeReport});
    if (reader.openFile(path, checkFileSize) != S_OK) return;

    PGeneralSubtitleInformation gsi = nullptr;
    if (reader.getGeneralSubtitleInformation(&gsi) == S_OK)
        sink += gsiFieldToDisplayString(*gsi, gsi::publisher).size();
    sink += walkBlocks(reader, codePage, chunk);
    sink += static_cast<std::size_t>(reader.getDuration());
    reader.closeFile();
    PTextAndTimingInformation block = nullptr;
    sink += reader.getTextAndTimingInformation(0, &block) == S_OK;
    if (sink == 0xFFFFFFFF) std::abort();  // keeps the work from being optimised away
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = fuzzinput::writeAsFile(data, size);
    const std::uint8_t selector = fuzzinput::selectorByte(data, size);
    const std::uint16_t codePage = fuzzinput::codePageFor(selector + size);
    const std::size_t chunk = chunkFor(selector);

    exercise(path, StlVariant::Viewer, true, codePage, chunk);
    exercise(path, StlVariant::Plugin, (selector & 1) != 0, codePage, chunk);
    const FormatCheck check = checkStlFormat(path);
    if (check.verdict == FormatCheck::Verdict::Standard && !check.reason.empty()) std::abort();

    // The digits conversion on the raw bytes, as an unrestricted text.
    strToInt32(
        std::string_view(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 16)));
    return 0;
}

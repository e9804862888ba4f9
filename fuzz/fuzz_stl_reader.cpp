// Opens arbitrary bytes as an STL file with both reader variants and walks every block through
// the display chain.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/DebugOutput.h"
#include "stl/CodePage.h"
#include "stl/StlReader.h"
#include "stl/StlUtils.h"

namespace {

constexpr std::uint16_t codePages[] = {0, 1252, 850, 932, 20269, 65001};

HRESULT QVX_STDCALL consumeReport(void* context, std::int32_t module, std::int32_t reportType,
                                  const char* message, std::int32_t validationId) {
    // Touch every byte so a dangling or unterminated message shows up under ASan.
    *static_cast<std::size_t*>(context) += std::strlen(message) + module + reportType;
    return validationId % 2 ? S_OK : E_FAIL;
}

std::size_t walkBlocks(StlReader& reader, std::uint64_t limit) {
    std::size_t sink = 0;
    PTextAndTimingInformation block = nullptr;
    for (std::uint64_t i = 0; i < limit; ++i) {
        if (reader.getTextAndTimingInformation(static_cast<std::uint32_t>(i), &block) != S_OK)
            break;
        const std::string text = textFieldDisplayBytes(*block);
        for (std::uint16_t codePage : codePages) sink += codePageToUnicode(text, codePage).size();
        sink += formatTimeCode(timeCodeAt(*block, tti::timeCodeIn)).size();
        sink += formatTimeCode(timeCodeAt(*block, tti::timeCodeOut)).size();
        sink += subtitleNumberOf(*block);
    }
    return sink;
}

void exercise(const std::string& path, StlVariant variant, bool checkFileSize) {
    std::size_t sink = 0;
    StlReader reader(variant);
    reader.setReportFunction(ReportFunction{&sink, &consumeReport});
    if (reader.openFile(path, checkFileSize) != S_OK) return;

    PGeneralSubtitleInformation gsi = nullptr;
    if (reader.getGeneralSubtitleInformation(&gsi) == S_OK)
        sink += gsiFieldToDisplayString(*gsi, gsi::publisher).size();

    // Blocks past the end fail at once; stop a little after them rather than walking up to
    // 99,999 announced blocks of a short file.
    const std::uint64_t present = ttiBlocksPresent(reader.fileSize());
    const std::uint64_t announced = static_cast<std::uint32_t>(
        variant == StlVariant::Viewer ? reader.getTextAndTimingInformationTotalCount()
                                      : reader.getTextAndTimingInformationCount());
    sink += walkBlocks(reader, std::min(announced, present) + 2);
    sink += static_cast<std::size_t>(reader.getDuration());
    reader.closeFile();
    walkBlocks(reader, 1);
    if (sink == 0xFFFFFFFF) std::abort();  // keeps the work from being optimised away
}

}  // namespace

extern "C" int llvmFuzzerInitialize(int*, char***) {
    platform::setDebugSink([](const std::string&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int fd = memfd_create("fuzz.stl", MFD_CLOEXEC);
    if (fd < 0) std::abort();
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (ftruncate(fd, 0) != 0) std::abort();
    if (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();

    exercise(path, StlVariant::Viewer, true);
    exercise(path, StlVariant::Plugin, true);
    exercise(path, StlVariant::Plugin, false);
    isStlFile(path, false, StlVariant::Plugin);

    // The digits conversion on the raw bytes, as an unrestricted text.
    const std::size_t textSize = size < 16 ? size : 16;
    strToInt32(std::string_view(reinterpret_cast<const char*>(data), textSize));
    return 0;
}

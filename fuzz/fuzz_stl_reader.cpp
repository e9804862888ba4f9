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
#include "stl/STLReader.h"
#include "stl/STLUtils.h"

namespace {

constexpr std::uint16_t CodePages[] = {0, 1252, 850, 932, 20269, 65001};

HRESULT QVX_STDCALL ConsumeReport(void* Context, std::int32_t Module, std::int32_t ReportType,
                                  const char* Message, std::int32_t ValidationID) {
    // Touch every byte so a dangling or unterminated message shows up under ASan.
    *static_cast<std::size_t*>(Context) += std::strlen(Message) + Module + ReportType;
    return ValidationID % 2 ? S_OK : E_FAIL;
}

std::size_t WalkBlocks(TSTLReader& Reader, std::uint64_t Limit) {
    std::size_t sink = 0;
    PTextAndTimingInformation block = nullptr;
    for (std::uint64_t i = 0; i < Limit; ++i) {
        if (Reader.GetTextAndTimingInformation(static_cast<std::uint32_t>(i), &block) != S_OK)
            break;
        const std::string text = TextFieldDisplayBytes(*block);
        for (std::uint16_t codePage : CodePages) sink += CodePageToUnicode(text, codePage).size();
        sink += FormatTimeCode(TimeCodeAt(*block, tti::TimeCodeIn)).size();
        sink += FormatTimeCode(TimeCodeAt(*block, tti::TimeCodeOut)).size();
        sink += SubtitleNumberOf(*block);
    }
    return sink;
}

void Exercise(const std::string& Path, TSTLVariant Variant, bool CheckFileSize) {
    std::size_t sink = 0;
    TSTLReader reader(Variant);
    reader.SetReportFunction(TReportFunction{&sink, &ConsumeReport});
    if (reader.OpenFile(Path, CheckFileSize) != S_OK) return;

    PGeneralSubtitleInformation gsi = nullptr;
    if (reader.GetGeneralSubtitleInformation(&gsi) == S_OK)
        sink += GSIFieldToDisplayString(*gsi, gsi::Publisher).size();

    // Blocks past the end fail at once; stop a little after them rather than walking up to
    // 99,999 announced blocks of a short file.
    const std::uint64_t present = TTIBlocksPresent(reader.FileSize());
    const std::uint64_t announced = static_cast<std::uint32_t>(
        Variant == TSTLVariant::Viewer ? reader.GetTextAndTimingInformationTotalCount()
                                       : reader.GetTextAndTimingInformationCount());
    sink += WalkBlocks(reader, std::min(announced, present) + 2);
    sink += static_cast<std::size_t>(reader.GetDuration());
    reader.CloseFile();
    WalkBlocks(reader, 1);
    if (sink == 0xFFFFFFFF) std::abort();  // keeps the work from being optimised away
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform::setDebugSink([](const std::string&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    static const int fd = memfd_create("fuzz.stl", MFD_CLOEXEC);
    if (fd < 0) std::abort();
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (ftruncate(fd, 0) != 0) std::abort();
    if (Size > 0 && pwrite(fd, Data, Size, 0) != static_cast<ssize_t>(Size)) std::abort();

    Exercise(path, TSTLVariant::Viewer, true);
    Exercise(path, TSTLVariant::Plugin, true);
    Exercise(path, TSTLVariant::Plugin, false);
    IsSTLFile(path, false, TSTLVariant::Plugin);

    // The digits conversion on the raw bytes, as an unrestricted text.
    const std::size_t textSize = Size < 16 ? Size : 16;
    StrToInt32(std::string_view(reinterpret_cast<const char*>(Data), textSize));
    return 0;
}

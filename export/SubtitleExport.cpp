#include "SubtitleExport.h"

#include "CueBuilder.h"
#include "SrtWriter.h"
#include "StlFileContents.h"
#include "TextWriter.h"
#include "VttWriter.h"
#include "platform/CodePage.h"
#include "stl/TextTables.h"

namespace {

constexpr std::uint32_t kIso6937 = 20269;

ExportResult failure(std::string error) {
    ExportResult result;
    result.error = std::move(error);
    return result;
}

}  // namespace

ExportResult exportStlFile(const std::string& path, const ExportOptions& options) {
    const StlFileContents contents = readStlFile(path);
    if (!contents.error.empty()) return failure(contents.error);

    ExportResult result;
    if (contents.check.verdict != FormatCheck::Verdict::Standard)
        result.warnings.push_back(contents.check.reason);

    AssemblySettings settings;
    settings.includeComments = options.includeComments;
    settings.decode.standard = displayStandardOf(contents.gsi);
    if (options.codePage) {
        if (!platform::isCodePageSupported(*options.codePage))
            return failure("Code page " + std::to_string(*options.codePage) +
                           " cannot be used to decode text.");
        settings.decode.codePage = *options.codePage;
    } else if (const auto table = characterCodeTable(contents.gsi)) {
        settings.decode.codePage = table->codePage;
    } else {
        settings.decode.codePage = kIso6937;
        result.warnings.push_back("The character code table \"" +
                                  characterCodeTableText(contents.gsi) +
                                  "\" is not one of 00 to 04; the text is decoded as Latin.");
    }

    const std::vector<Subtitle> subtitles = assembleSubtitles(contents.blocks, settings);
    if (options.format == ExportFormat::Text) {
        result.text = writeText(subtitles);
        result.ok = true;
        return result;
    }

    const auto rate = frameRateOf(contents.gsi);
    if (!rate) return failure("The disk format code names no frame rate.");
    CueTiming timing{*rate, std::nullopt};
    if (options.subtractStartOfProgramme) {
        timing.offset = startOfProgramme(contents.gsi);
        if (!timing.offset)
            return failure("The start-of-programme time code is not a time code (HHMMSSFF).");
    }
    const std::vector<Cue> cues = buildCues(subtitles, timing);
    result.text = options.format == ExportFormat::Srt ? writeSrt(cues) : writeVtt(cues);
    result.ok = true;
    return result;
}

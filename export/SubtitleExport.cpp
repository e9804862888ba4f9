#include "SubtitleExport.h"

#include "CueBuilder.h"
#include "EbuTtdWriter.h"
#include "LanguageTag.h"
#include "SrtWriter.h"
#include "TextWriter.h"
#include "VttWriter.h"
#include "platform/CodePage.h"
#include "stl/TextTables.h"

namespace {

ExportResult failure(std::string error) {
    ExportResult result;
    result.error = std::move(error);
    return result;
}

}  // namespace

ExportResult exportStlFile(const std::string& path, const ExportOptions& options) {
    const subtitle::DocumentFile file = subtitle::readDocument(path);
    if (!file.error.empty()) return failure(file.error);
    const subtitle::Document& document = file.document;

    ExportResult result;
    if (file.check.verdict != FormatCheck::Verdict::Standard)
        result.warnings.push_back(file.check.reason);
    if (document.blockCountDisagrees() && file.check.verdict != FormatCheck::Verdict::MissingBlocks)
        result.warnings.push_back(
            "The header announces " + withThousands(*document.announcedBlocks) + " blocks; all " +
            withThousands(document.blocksPresent) + " blocks present are exported.");

    std::uint32_t codePage = subtitle::latinCodePage;
    if (options.codePage) {
        if (!platform::isCodePageSupported(*options.codePage))
            return failure("Code page " + std::to_string(*options.codePage) +
                           " cannot be used to decode text.");
        codePage = *options.codePage;
    } else if (const auto table = characterCodeTable(document.gsi)) {
        codePage = table->codePage;
    } else {
        result.warnings.push_back("The character code table \"" +
                                  characterCodeTableText(document.gsi) +
                                  "\" is not one of 00 to 04; the text is decoded as Latin.");
    }
    const subtitle::CharacterDecoder decoder(codePage);
    const subtitle::TextSettings settings = subtitle::textSettings(document.gsi, codePage);

    if (options.format == ExportFormat::Text) {
        result.text =
            writeText(document, decoder, settings, options.includeComments, result.written);
        result.ok = true;
        return result;
    }

    const auto rate = frameRateOf(document.gsi);
    if (!rate) return failure("The disk format code names no frame rate.");
    CueTiming timing{*rate, std::nullopt, options.includeComments};
    if (options.subtractStartOfProgramme) {
        timing.offset = startOfProgramme(document.gsi);
        if (!timing.offset)
            return failure("The start-of-programme time code is not a time code (HHMMSSFF).");
    }
    CueList cues = buildCues(document, decoder, settings, timing);
    result.warnings.insert(result.warnings.end(), cues.notes.begin(), cues.notes.end());
    if (options.format == ExportFormat::EbuTtD)
        result.text = writeEbuTtd(cues, {settings.teletext, languageTag(document.gsi)});
    else
        result.text = options.format == ExportFormat::Srt ? writeSrt(cues) : writeVtt(cues);
    result.written = cues.cues.size();
    result.ok = true;
    return result;
}

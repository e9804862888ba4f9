// Reads arbitrary bytes as an STL file through the subtitle model and writes every export format
// from it: chains, rows of cells, cumulative sets, time slices and the writers, with the code page
// and options an input byte picks. Each row's plain text and runs are checked against its cells.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzInput.h"
#include "export/SubtitleExport.h"
#include "subtitle/Document.h"

namespace {

// What every row must hold whatever the bytes: a width inside the cells, and plain text and runs
// made of what the cells show.
void checkRows(const subtitle::Document& document, std::uint32_t codePage, bool teletext) {
    subtitle::TextSettings settings = subtitle::textSettings(document.gsi, codePage);
    settings.teletext = teletext;
    const subtitle::CharacterDecoder decoder(codePage);
    for (const subtitle::Subtitle& s : document.subtitles) {
        for (const subtitle::Row& row : subtitle::subtitleRows(s, decoder, settings)) {
            if (row.width < 0 || static_cast<std::size_t>(row.width) > row.cells.size())
                std::abort();
            std::size_t shown = 0;
            for (const subtitle::Cell& cell : row.cells) shown += cell.length + 1;
            if (subtitle::plainText(row).size() > shown) std::abort();
            for (const subtitle::Run& run : subtitle::runsOf(row))
                if (run.text.empty()) std::abort();
        }
        if (subtitle::showsText(s.text, decoder, settings) &&
            subtitle::plainRows(subtitle::subtitleRows(s, decoder, settings)).empty())
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t selector = data[0];
    const std::string& path = fuzzinput::writeAsFile(data + 1, size - 1);
    const subtitle::DocumentFile file = subtitle::readDocument(path, selector & 1);
    if (file.error.empty()) {
        const std::uint32_t codePage =
            selector & 2 ? subtitle::latinCodePage : fuzzinput::codePageFor(selector >> 2);
        checkRows(file.document, codePage, selector & 4);
    }
    static const ExportFormat formats[] = {ExportFormat::Srt, ExportFormat::Vtt,
                                           ExportFormat::EbuTtD, ExportFormat::Text};
    ExportOptions options;
    options.format = formats[(selector >> 3) % 4];
    options.includeComments = selector & 0x20;
    options.subtractStartOfProgramme = selector & 0x40;
    if (selector & 0x80) options.codePage = fuzzinput::codePageFor(selector);
    const ExportResult result = exportStlFile(path, options);
    if (result.ok != result.error.empty()) std::abort();
    return 0;
}

#include "TextWriter.h"

#include "CueMarkup.h"

std::string writeText(const subtitle::Document& document, const subtitle::CharacterDecoder& decoder,
                      const subtitle::TextSettings& settings, bool includeComments,
                      std::size_t& written) {
    std::string out;
    written = 0;
    for (const subtitle::Subtitle& s : document.subtitles) {
        if (s.comment && !includeComments) continue;
        const auto rows = subtitle::plainRows(subtitle::subtitleRows(s, decoder, settings));
        if (rows.empty()) continue;
        if (!out.empty()) out += '\n';
        ++written;
        for (const std::u16string& row : rows) out += toUtf8(row) + '\n';
    }
    return out;
}

#include "TextWriter.h"

std::string writeText(const std::vector<Subtitle>& subtitles) {
    std::string out;
    for (const Subtitle& subtitle : subtitles) {
        if (subtitle.text.empty()) continue;
        if (!out.empty()) out += '\n';
        for (const StyledLine& row : subtitle.text) out += toUtf8(plainText(row)) + '\n';
    }
    return out;
}

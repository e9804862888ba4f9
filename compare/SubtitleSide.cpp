#include "SubtitleSide.h"

#include <algorithm>

#include "platform/Utf8.h"
#include "subtitle/Document.h"

namespace compare {

namespace {

std::string toUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000)
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
        platform::appendUtf8(out, cp);
    }
    return out;
}

StyleSummary styleOf(const std::vector<subtitle::Row>& rows) {
    StyleSummary style;
    for (const subtitle::Row& row : rows) {
        for (const subtitle::Cell& cell : row.cells) {
            if (!cell.visible()) continue;
            style.foregrounds |= std::uint8_t(1u << cell.foreground);
            style.backgrounds |= std::uint8_t(1u << cell.background);
            style.boxed = style.boxed || cell.boxed;
            style.doubleHeight = style.doubleHeight || cell.tall();
        }
    }
    return style;
}

}  // namespace

std::vector<std::string> wordsOf(const std::string& text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t start = text.find_first_not_of(" \n", i);
        if (start == std::string::npos) break;
        const std::size_t end = std::min(text.find_first_of(" \n", start), text.size());
        words.emplace_back(text, start, end - start);
        i = end;
    }
    return words;
}

std::optional<Side> loadSide(const std::string& path, std::string& error) {
    subtitle::DocumentFile file = subtitle::readDocument(path);
    if (!file.error.empty()) {
        error = file.error;
        return std::nullopt;
    }
    Side side;
    side.path = path;
    side.gsi = file.document.gsi;
    if (const auto rate = frameRateOf(side.gsi)) {
        side.rate = *rate;
        side.rateKnown = true;
    }
    const std::uint32_t codePage = subtitle::textCodePage(side.gsi);
    const subtitle::CharacterDecoder decoder(codePage);
    const subtitle::TextSettings settings = subtitle::textSettings(side.gsi, codePage);

    side.entries.reserve(file.document.subtitles.size());
    for (const subtitle::Subtitle& s : file.document.subtitles) {
        Entry e;
        e.number = s.number;
        e.in = s.in;
        e.out = s.out;
        e.inFrames = frameCount(s.in, side.rate);
        e.outFrames = frameCount(s.out, side.rate);
        e.verticalPosition = s.verticalPosition;
        e.justification = s.justification;
        e.comment = s.comment;
        const std::vector<subtitle::Row> rows = subtitle::subtitleRows(s, decoder, settings);
        bool first = true;
        for (const subtitle::Row& row : rows) {
            if (!row.hasText()) continue;
            const std::u16string plain = subtitle::plainText(row);
            if (plain.empty()) continue;
            if (first) e.firstRow = row.number;
            e.lastRow = row.number;
            if (!first) e.text += '\n';
            e.text += toUtf8(plain);
            first = false;
        }
        e.style = styleOf(rows);
        // The words joined by single spaces, without making the words.
        e.key.reserve(e.text.size());
        for (const char c : e.text) {
            if (c != ' ' && c != '\n')
                e.key += c;
            else if (!e.key.empty() && e.key.back() != ' ')
                e.key += ' ';
        }
        if (!e.key.empty() && e.key.back() == ' ') e.key.pop_back();
        side.entries.push_back(std::move(e));
    }
    // Files are nearly always in time order already; a stable sort keeps file order for equal
    // times.
    const auto earlier = [](const Entry& x, const Entry& y) { return x.inFrames < y.inFrames; };
    if (!std::is_sorted(side.entries.begin(), side.entries.end(), earlier))
        std::stable_sort(side.entries.begin(), side.entries.end(), earlier);
    return side;
}

void rescaleTo(Side& side, const FrameRate& target) {
    const FrameRate& from = side.rate;
    if (from.numerator * target.denominator == target.numerator * from.denominator &&
        from.framesPerTimeCodeSecond == target.framesPerTimeCodeSecond)
        return;
    // Frames are counted on the time code grid; the grid's second lasts denominator *
    // framesPerTimeCodeSecond / numerator real seconds, which the rate already says per frame.
    const std::int64_t num = from.denominator * target.numerator;
    const std::int64_t den = from.numerator * target.denominator;
    auto scale = [&](std::int64_t frames) {
        const std::int64_t scaled = frames * num;
        return scaled >= 0 ? (scaled + den / 2) / den : -((-scaled + den / 2) / den);
    };
    for (Entry& e : side.entries) {
        e.inFrames = scale(e.inFrames);
        e.outFrames = scale(e.outFrames);
    }
}

}  // namespace compare

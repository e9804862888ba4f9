#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <optional>

#include "Comparison.h"
#include "platform/Utf8.h"
#include "subtitle/Timeline.h"

namespace compare {

namespace {

// The named fields, then the bytes no field names.
const std::array<StlField, 31> fields = [] {
    std::array<StlField, 31> all{};
    std::copy(gsi::namedFields.begin(), gsi::namedFields.end(), all.begin());
    all[29] = gsi::spareBytes;
    all[30] = gsi::userDefinedArea;
    return all;
}();

// The field's bytes without trailing blanks, each byte as the Latin-1 character of that number (so
// the value is always valid UTF-8) and control bytes as \xNN; long fields are cut short.
std::string shown(const std::uint8_t* bytes, const StlField& field) {
    std::size_t begin = field.offset, end = field.offset + field.length;
    while (end > begin && (bytes[end - 1] == ' ' || bytes[end - 1] == 0)) --end;

    std::string out;
    constexpr std::size_t longest = 64;
    for (std::size_t i = begin; i < end && i < begin + longest; ++i) {
        const std::uint8_t c = bytes[i];
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
            static const char hex[] = "0123456789ABCDEF";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            platform::appendUtf8(out, c);
        }
    }
    if (end - begin > longest) out += "...";
    return out;
}

}  // namespace

std::vector<Difference> headerDifferences(const GeneralSubtitleInformation& a,
                                          const GeneralSubtitleInformation& b) {
    std::vector<Difference> out;
    for (const StlField& field : fields) {
        if (std::memcmp(a.bytes + field.offset, b.bytes + field.offset, field.length) == 0)
            continue;
        Difference d{Difference::Kind::Header, {}, {}, {}, field.name, shown(a.bytes, field),
                     shown(b.bytes, field),    {}};
        d.detail = std::string(field.name) + " \"" + d.aValue + "\" -> \"" + d.bValue + "\"";
        out.push_back(std::move(d));
    }
    return out;
}

void dropShiftedTimeCodes(std::vector<Difference>& differences, const GeneralSubtitleInformation& a,
                          const GeneralSubtitleInformation& b, std::int64_t offset,
                          int framesPerSecond) {
    if (offset == 0) return;
    for (const StlField* field : {&gsi::timeCodeStartOfProgramme, &gsi::timeCodeFirstInCue}) {
        const auto from = subtitle::headerFrames(a, *field, framesPerSecond);
        const auto to = subtitle::headerFrames(b, *field, framesPerSecond);
        if (!from || !to || *to - *from != offset) continue;
        std::erase_if(differences, [&](const Difference& d) {
            return d.kind == Difference::Kind::Header && d.field == field->name;
        });
    }
}

}  // namespace compare

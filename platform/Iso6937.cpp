#include "Iso6937.h"

#include <algorithm>

namespace platform {
namespace {

using namespace iso6937;

constexpr unsigned char kFirstDiacritic = 0xC1;
constexpr unsigned char kLastDiacritic = 0xCF;

bool isDiacritic(unsigned char b) {
    return b >= kFirstDiacritic && b <= kLastDiacritic && kCombiningMarks[b - kFirstDiacritic];
}

bool isControl(unsigned char b) {
    return b < 0x20 || (b >= 0x7F && b <= 0x9F);
}

char16_t single(unsigned char b) {
    if (b < 0xA0) return b;
    return kUpperHalf[b - 0xA0];
}

char16_t compose(char16_t base, char16_t mark) {
    const Composition* end = kCompositions + kCompositionCount;
    const Composition* it = std::lower_bound(
        kCompositions, end, Composition{base, mark, 0},
        [](auto& a, auto& b) { return a.base != b.base ? a.base < b.base : a.mark < b.mark; });
    return it != end && it->base == base && it->mark == mark ? it->composed : 0;
}

}  // namespace

std::u16string decodeIso6937(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (!isDiacritic(b)) {
            out.push_back(single(b));
            continue;
        }
        const std::size_t d = b - kFirstDiacritic;
        const bool hasNext = i + 1 < bytes.size();
        const auto next = hasNext ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        if (!hasNext || isControl(next) || isDiacritic(next) || single(next) == 0xFFFD) {
            // Nothing to carry the accent: it stands alone and what follows keeps its place.
            out.push_back(kSpacingForms[d]);
            continue;
        }
        ++i;
        if (next == 0x20) {
            out.push_back(kSpacingForms[d]);
            continue;
        }
        const char16_t base = single(next);
        if (const char16_t composed = compose(base, kCombiningMarks[d])) {
            out.push_back(composed);
        } else {
            out.push_back(base);
            out.push_back(kCombiningMarks[d]);
        }
    }
    return out;
}

}  // namespace platform

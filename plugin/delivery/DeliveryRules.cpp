#include "DeliveryRules.h"

#include <algorithm>
#include <sstream>

#include "platform/Registry.h"
#include "stl/ReportFunction.h"

namespace {

constexpr const char* COLOUR_NAMES[8] = {"black", "red",     "green", "yellow",
                                         "blue",  "magenta", "cyan",  "white"};

// The rules, their defaults and what each one counts.
std::vector<DeliveryRule> defaultRules() {
    const std::int32_t warning = REPORT_TYPE_WARNING;
    const std::int32_t error = REPORT_TYPE_ERROR;
    using K = ThresholdKind;
    return {
        {501, "TTI - Overlapping subtitles check",
         "Time In before the previous subtitle's Time Out (parts of one cumulative set excepted; "
         "comments and user data blocks skipped, as by every timing and text rule)",
         K::None, false, error, 0},
        {502, "TTI - Minimum gap check",
         "Fewer frames than the threshold between a subtitle's Time Out and the next one's Time "
         "In (parts of one cumulative set excepted)",
         K::Frames, false, warning, 2},
        {503, "TTI - Minimum duration check",
         "Time Out minus Time In of the subtitle's first block below the threshold",
         K::Milliseconds, false, warning, 1000},
        {504, "TTI - Maximum duration check",
         "Time Out minus Time In of the subtitle's first block above the threshold",
         K::Milliseconds, false, warning, 7000},
        {505, "TTI - Reading speed check",
         "Visible characters of all rows (extension blocks joined) per second of duration above "
         "the threshold; a row's visible characters run from its first to its last non-space, "
         "so spaces between words count, leading and trailing spaces, control codes and CR/LF "
         "do not, and a diacritic counts with its letter as one",
         K::CharsPerSecond, false, warning, 17},
        {506, "TTI - Row count check",
         "More non-empty rows than the threshold or than the GSI's MNR; rows are separated by "
         "CR/LF (8Ah), and a row of spaces and control codes only is empty",
         K::Rows, false, warning, 2},
        {507, "TTI - Row length check",
         "A row with more visible characters than the threshold: from its first to its last "
         "non-space, a diacritic and its letter counting once, control codes not counted",
         K::Characters, false, warning, 42},
        {508, "TTI - Teletext row width check",
         "A teletext row wider than 40 cells up to its last character; every spacing attribute "
         "and space before it takes a cell",
         K::None, false, error, 0},
        {509, "TTI - Time Code Start-of-Programme check", "Time In before the GSI's TCP", K::None,
         false, warning, 0},
        {510, "GSI - Time Code First in-cue check", "TCF differs from the first subtitle's Time In",
         K::None, false, warning, 0},
        {511, "TTI - Teletext colour check", "A teletext text colour outside the allowed ones",
         K::Colours, false, warning, COLOUR_WHITE | COLOUR_YELLOW | COLOUR_CYAN | COLOUR_GREEN},
        {512, "TTI - Display standard codes check",
         "Teletext codes 00h-1Fh in an open subtitle file, or 80h-85h in a teletext file", K::None,
         false, error, 0},
        {513, "TTI - Teletext boxing check",
         "Teletext text outside a start box / end box pair (each row starts unboxed)", K::None,
         false, warning, 0},
        {514, "TTI - Teletext double height check",
         "Teletext text in single height (each row starts single height)", K::None, false, warning,
         0},
        {515, "TTI - Teletext Vertical Position check",
         "A teletext Vertical Position outside 1-23 or beyond the GSI's MNR", K::None, false, error,
         0},
        {516, "TTI - Extension block chain check",
         "Extension numbers not 0, 1, 2..., the subtitle number changing inside the chain, or no "
         "FFh block",
         K::None, false, error, 0},
        {517, "TTI - Cumulative set check",
         "An intermediate or last part without a first, or a first without a last", K::None, false,
         error, 0},
        {518, "TTI - Unused space check", "Bytes after the first 8Fh that are not 8Fh", K::None,
         false, error, 0},
        {519, "TTI - Character table check",
         "Bytes the character table leaves undefined, or (table 00) a diacritic not followed by a "
         "letter",
         K::None, false, error, 0},
        {520, "GSI - TNS and counted subtitles check",
         "TNS differs from the subtitles counted: a chain of extension blocks counts once, "
         "comments count, user data blocks do not",
         K::None, false, error, 0},
    };
}

std::string valueName(std::int32_t id, const char* suffix) {
    return std::to_string(id) + suffix;
}

constexpr const char* HUNDREDTHS_SUFFIX = "_ThresholdHundredths";
constexpr std::int64_t MAX_HUNDREDTHS = 999'999'999;

// "15.5" -> 1550: one to seven digits, then optionally a point and one or two digits.
std::optional<std::int64_t> decimalHundredths(std::string_view text) {
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.size() > 7 || (point != std::string_view::npos && fraction.empty()) ||
        fraction.size() > 2)
        return std::nullopt;
    const auto units = plainNumber(whole);
    const auto parts = fraction.empty() ? std::optional<std::int32_t>(0) : plainNumber(fraction);
    if (!units || !parts) return std::nullopt;
    return std::int64_t{*units} * 100 + *parts * (fraction.size() == 1 ? 10 : 1);
}

std::string trimmedBlanks(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// "15.5", "17".
std::string hundredthsText(std::int64_t hundredths) {
    std::string text = std::to_string(hundredths / 100);
    const std::int64_t fraction = hundredths % 100;
    if (fraction == 0) return text;
    text += '.';
    text += static_cast<char>('0' + fraction / 10);
    if (fraction % 10) text += static_cast<char>('0' + fraction % 10);
    return text;
}

}  // namespace

std::string colourMaskText(std::int32_t mask) {
    std::string text;
    for (int bit : {7, 3, 6, 2, 1, 4, 5, 0}) {
        if (!(mask & (1 << bit))) continue;
        if (!text.empty()) text += ',';
        text += COLOUR_NAMES[bit];
    }
    return text;
}

std::optional<std::int32_t> colourMaskFromText(std::string text) {
    std::int32_t mask = 0;
    std::stringstream parts(text);
    std::string part;
    while (std::getline(parts, part, ',')) {
        part.erase(std::remove_if(part.begin(), part.end(), [](char c) { return c == ' '; }),
                   part.end());
        if (part.empty()) continue;
        const auto* found = std::find(std::begin(COLOUR_NAMES), std::end(COLOUR_NAMES), part);
        if (found == std::end(COLOUR_NAMES)) return std::nullopt;
        mask |= 1 << (found - std::begin(COLOUR_NAMES));
    }
    return mask;
}

bool thresholdHasDecimals(ThresholdKind kind) {
    return kind == ThresholdKind::CharsPerSecond;
}

void setThresholdHundredths(DeliveryRule& rule, std::int64_t hundredths) {
    hundredths = std::clamp<std::int64_t>(hundredths, 0, MAX_HUNDREDTHS);
    rule.threshold = static_cast<std::int32_t>(hundredths / 100);
    rule.thresholdHundredths = hundredths % 100 ? static_cast<std::int32_t>(hundredths) : -1;
}

std::string thresholdText(const DeliveryRule& rule) {
    const std::string n = thresholdHasDecimals(rule.kind)
                              ? hundredthsText(thresholdInHundredths(rule))
                              : std::to_string(rule.threshold);
    switch (rule.kind) {
        case ThresholdKind::None:
            return "";
        case ThresholdKind::Frames:
            return n + (rule.threshold == 1 ? " frame" : " frames");
        case ThresholdKind::Milliseconds:
            return n + " ms";
        case ThresholdKind::CharsPerSecond:
            return n + " cps";
        case ThresholdKind::Rows:
            return n + (rule.threshold == 1 ? " row" : " rows");
        case ThresholdKind::Characters:
            return n + " characters";
        case ThresholdKind::Colours:
            return colourMaskText(rule.threshold);
    }
    return "";
}

DeliverySettings::DeliverySettings() : m_rules(defaultRules()) {}

DeliveryRule* DeliverySettings::find(std::int32_t id) {
    for (auto& rule : m_rules)
        if (rule.id == id) return &rule;
    return nullptr;
}

const DeliveryRule* DeliverySettings::find(std::int32_t id) const {
    return const_cast<DeliverySettings*>(this)->find(id);
}

bool DeliverySettings::anyEnabled() const {
    return std::any_of(m_rules.begin(), m_rules.end(), [](const auto& r) { return r.enabled; });
}

void DeliverySettings::loadFromRegistry(const std::string& keyPath) {
    auto key = platform::RegistryKey::open(keyPath, false);
    if (!key) return;
    for (auto& rule : m_rules) {
        std::uint32_t value = 0;
        if (key->readDWord(valueName(rule.id, "_Enabled"), value)) rule.enabled = value != 0;
        if (key->readDWord(valueName(rule.id, "_Type"), value))
            rule.reportType = static_cast<std::int32_t>(value);
        if (rule.kind != ThresholdKind::None &&
            key->readDWord(valueName(rule.id, "_Threshold"), value)) {
            rule.threshold = static_cast<std::int32_t>(value);
            rule.thresholdHundredths = -1;
            // The exact value, unless an older writer changed the whole one since.
            std::uint32_t hundredths = 0;
            if (thresholdHasDecimals(rule.kind) &&
                key->readDWord(valueName(rule.id, HUNDREDTHS_SUFFIX), hundredths) &&
                hundredths / 100 == value)
                setThresholdHundredths(rule, hundredths);
        }
    }
}

bool DeliverySettings::saveToRegistry(const std::string& keyPath,
                                      const std::set<std::string>* only) const {
    if (only && only->empty()) return true;
    auto key = platform::RegistryKey::open(keyPath, true);
    if (!key) return false;
    std::vector<std::pair<std::string, platform::RegValue>> writes;
    const auto write = [&](const std::string& name, std::uint32_t value) {
        if (!only || only->count(name))
            writes.emplace_back(name, platform::RegValue::fromDWord(value));
    };
    for (const auto& rule : m_rules) {
        write(valueName(rule.id, "_Enabled"), rule.enabled ? 1u : 0u);
        write(valueName(rule.id, "_Type"), static_cast<std::uint32_t>(rule.reportType));
        if (rule.kind != ThresholdKind::None)
            write(valueName(rule.id, "_Threshold"), static_cast<std::uint32_t>(rule.threshold));
        if (thresholdHasDecimals(rule.kind))
            write(valueName(rule.id, HUNDREDTHS_SUFFIX),
                  static_cast<std::uint32_t>(thresholdInHundredths(rule)));
    }
    return key->writeMany(writes);
}

std::set<std::string> DeliverySettings::changedValues(const DeliverySettings& before) const {
    std::set<std::string> changed;
    for (const auto& rule : m_rules) {
        const DeliveryRule* then = before.find(rule.id);
        if (!then || then->enabled != rule.enabled) changed.insert(valueName(rule.id, "_Enabled"));
        if (!then || then->reportType != rule.reportType)
            changed.insert(valueName(rule.id, "_Type"));
        if (rule.kind != ThresholdKind::None && (!then || then->threshold != rule.threshold))
            changed.insert(valueName(rule.id, "_Threshold"));
        if (thresholdHasDecimals(rule.kind) &&
            (!then || thresholdInHundredths(*then) != thresholdInHundredths(rule))) {
            // Both, so that a reader of either value finds the new threshold.
            changed.insert(valueName(rule.id, "_Threshold"));
            changed.insert(valueName(rule.id, HUNDREDTHS_SUFFIX));
        }
    }
    return changed;
}

std::string editableThresholdText(const DeliveryRule& rule) {
    if (rule.kind == ThresholdKind::None) return "";
    if (rule.kind == ThresholdKind::Colours) return colourMaskText(rule.threshold);
    if (thresholdHasDecimals(rule.kind)) return hundredthsText(thresholdInHundredths(rule));
    return std::to_string(rule.threshold);
}

bool setThresholdFromText(DeliveryRule& rule, const std::string& text) {
    if (rule.kind == ThresholdKind::None) return false;
    if (thresholdHasDecimals(rule.kind)) {
        const auto hundredths = decimalHundredths(trimmedBlanks(text));
        if (!hundredths) return false;
        setThresholdHundredths(rule, *hundredths);
        return true;
    }
    const auto value = thresholdFromText(rule, text);
    if (!value) return false;
    rule.threshold = *value;
    rule.thresholdHundredths = -1;
    return true;
}

std::string allowedThresholdText(const DeliveryRule& rule) {
    switch (rule.kind) {
        case ThresholdKind::None:
            return "no threshold";
        case ThresholdKind::Frames:
            return "a whole number of frames";
        case ThresholdKind::Milliseconds:
            return "a whole number of milliseconds";
        case ThresholdKind::CharsPerSecond:
            return "a number of characters per second, up to two decimals with a point, e.g. "
                   "15.5";
        case ThresholdKind::Rows:
            return "a whole number of rows";
        case ThresholdKind::Characters:
            return "a whole number of characters";
        case ThresholdKind::Colours:
            return "colour names separated by commas (black, red, green, yellow, blue, magenta, "
                   "cyan, white)";
    }
    return "";
}

std::optional<std::int32_t> thresholdFromText(const DeliveryRule& rule, const std::string& text) {
    if (rule.kind == ThresholdKind::None) return std::nullopt;
    if (rule.kind == ThresholdKind::Colours) return colourMaskFromText(text);
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    return plainNumber(
        std::string_view(text).substr(first, text.find_last_not_of(' ') - first + 1));
}

std::optional<std::int32_t> plainNumber(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    std::int32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

#pragma once
// The delivery rules (501-520): checks a broadcaster or platform asks for on top of the file
// format rules. They keep their own list, off by default, stored below their own registry key, so
// the format rules and a run with the defaults stay exactly as they were.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// Below HKEY_CURRENT_USER.
inline constexpr const char* DELIVERY_SETTINGS_KEY =
    "SOFTWARE\\Vantorel\\Quorvex\\Modules\\Sievra\\DeliverySettings";

enum class ThresholdKind { None, Frames, Milliseconds, CharsPerSecond, Rows, Characters, Colours };

struct DeliveryRule {
    std::int32_t id = 0;
    const char* name = "";
    const char* description = "";
    ThresholdKind kind = ThresholdKind::None;
    bool enabled = false;
    std::int32_t reportType = 0;
    // The whole part of the threshold (15 for 15.5 characters per second).
    std::int32_t threshold = 0;
    // The exact threshold in hundredths when it has decimals, else -1. Use
    // thresholdInHundredths() to read it and setThresholdHundredths() to set both.
    std::int32_t thresholdHundredths = -1;
    bool operator==(const DeliveryRule& other) const;
};

// Whether the rule's quantity has decimals (a rate in characters per second); the others count
// whole frames, milliseconds, rows and characters.
bool thresholdHasDecimals(ThresholdKind kind);
// The exact threshold in hundredths: 1550 for 15.5 cps, threshold * 100 for a whole one. A
// threshold set on its own (by code that knows only whole numbers) wins over stale hundredths.
inline std::int64_t thresholdInHundredths(const DeliveryRule& rule) {
    if (rule.thresholdHundredths >= 0 && rule.thresholdHundredths / 100 == rule.threshold)
        return rule.thresholdHundredths;
    return std::int64_t{rule.threshold} * 100;
}
// Sets the threshold from hundredths (0 to 999,999,999): the whole part, and the hundredths when
// there is a fraction.
void setThresholdHundredths(DeliveryRule& rule, std::int64_t hundredths);

inline bool DeliveryRule::operator==(const DeliveryRule& other) const {
    return id == other.id && enabled == other.enabled && reportType == other.reportType &&
           thresholdInHundredths(*this) == thresholdInHundredths(other);
}

// Teletext alpha colours 0x00-0x07, one bit each, for rule 511's threshold.
enum TeletextColour : std::int32_t {
    COLOUR_BLACK = 1 << 0,
    COLOUR_RED = 1 << 1,
    COLOUR_GREEN = 1 << 2,
    COLOUR_YELLOW = 1 << 3,
    COLOUR_BLUE = 1 << 4,
    COLOUR_MAGENTA = 1 << 5,
    COLOUR_CYAN = 1 << 6,
    COLOUR_WHITE = 1 << 7,
};
std::string colourMaskText(std::int32_t mask);                     // "white,yellow"
std::optional<std::int32_t> colourMaskFromText(std::string text);  // nullopt on an unknown name

class DeliverySettings {
public:
    DeliverySettings();  // the twenty rules with their defaults

    const std::vector<DeliveryRule>& rules() const { return m_rules; }
    DeliveryRule* find(std::int32_t id);
    const DeliveryRule* find(std::int32_t id) const;
    bool anyEnabled() const;
    bool operator==(const DeliverySettings& other) const { return m_rules == other.m_rules; }

    // Reads the values present below KeyPath; writes nothing, so loading leaves the store as it is.
    void loadFromRegistry(const std::string& keyPath);
    // Writes every value of every rule, or with Only just the values it names ("505_Threshold");
    // an empty Only writes nothing.
    bool saveToRegistry(const std::string& keyPath,
                        const std::set<std::string>* only = nullptr) const;
    // Names of the registry values in which these settings differ from Before.
    std::set<std::string> changedValues(const DeliverySettings& before) const;

private:
    std::vector<DeliveryRule> m_rules;
};

// "1 frame", "37 characters", "white,yellow,cyan,green", "" for rules without a threshold.
std::string thresholdText(const DeliveryRule& rule);
// The threshold as typed in the rule dialog: a number, or colour names for rule 511. Nullopt
// for text that is neither, or a rule without a threshold.
std::string editableThresholdText(const DeliveryRule& rule);
// Whole numbers only; kept for callers that want the whole threshold.
std::optional<std::int32_t> thresholdFromText(const DeliveryRule& rule, const std::string& text);
// Sets Rule's threshold from text as a profile or the rule dialog gives it: decimals (up to two,
// with a point) where the quantity has them. False, leaving the rule as it was, for text that is
// no threshold of this rule.
bool setThresholdFromText(DeliveryRule& rule, const std::string& text);
// What setThresholdFromText accepts for Rule, for messages ("a number of characters per second,
// up to two decimals, e.g. 15.5").
std::string allowedThresholdText(const DeliveryRule& rule);
// One to nine decimal digits and nothing else (no sign, no spaces); nullopt otherwise.
std::optional<std::int32_t> plainNumber(std::string_view text);

#pragma once
// Runs the switched-on delivery rules (501-520) over an open file's blocks as the file validator
// walks them, so the file is read once. Each finding is handed on with the rule's own report type.
// A finding about a subtitle reads "TTI # N - Subtitle 677 (10:48:53:16): ...": the host takes
// the 0-based block off the front and shows the rest; the number and time code are those of the
// first block of the subtitle's chain.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "DeliveryRules.h"
#include "SubtitleRows.h"
#include "stl/StlReader.h"
#include "subtitle/Assembly.h"

class DeliveryChecks {
public:
    using Report =
        std::function<void(std::int32_t id, std::int32_t reportType, const std::string&)>;

    DeliveryChecks(const DeliverySettings& settings, Report report);
    // False when no rule is on or the file has no GSI block: then no block need be handed in.
    bool begin(StlReader& reader);
    // Blocks in order from 0; a block the reader cannot deliver ends the walk (rule 424 names it).
    void takeBlock(std::int32_t index, const TextAndTimingInformation& block);
    void finish();

private:
    // What a finding names: a block and the subtitle it belongs to; no block for the header.
    struct Where {
        std::int32_t block = -1;
        std::uint16_t number = 0;
        TimeCode in{};
    };

    // A subtitle as the rules read it: the model's, with its times in frames.
    struct Subtitle {
        Where where;
        std::uint8_t cumulative = 0;
        std::uint8_t vertical = 0;
        bool comment = false;
        std::int64_t in = 0, out = 0;  // frames
    };

    // The settings of the rules, looked up by number once rather than in every block.
    struct RuleState {
        bool on = false;
        std::int32_t reportType = 0;
        std::int32_t threshold = 0;
        std::int64_t hundredths = 0;  // the exact threshold, for rates with decimals
    };
    static constexpr std::int32_t FIRST_RULE = 501;
    static constexpr std::size_t RULE_COUNT = 20;

    bool on(std::int32_t id) const { return m_rules[static_cast<std::size_t>(id - FIRST_RULE)].on; }
    std::int32_t threshold(std::int32_t id) const {
        return m_rules[static_cast<std::size_t>(id - FIRST_RULE)].threshold;
    }
    void finding(std::int32_t id, const Where& where, const std::string& text);
    // The number of the chain's first block: the model takes on a later block's number when the
    // number changes inside the chain.
    std::uint16_t firstNumber(const subtitle::Subtitle& chain) const;

    void readGsi(const GeneralSubtitleInformation& gsi);
    void checkUnusedSpace(const Where& where, const std::uint8_t* field, std::size_t length);
    void chainFact(const subtitle::ChainFact& fact);
    void finishSubtitle(const subtitle::Subtitle& subtitle);
    void checkCumulative(const Subtitle& subtitle);
    void checkTiming(const Subtitle& subtitle);
    void checkText(const Subtitle& subtitle);
    void checkReadingSpeed(const Subtitle& subtitle, std::int64_t duration);
    void checkCodes(const Subtitle& subtitle);

    std::array<RuleState, RULE_COUNT> m_rules{};
    bool m_anyOn = false;
    Report m_report;

    int m_fps = 25;
    bool m_teletext = false;
    bool m_open = false;
    bool m_latin = false;
    std::string m_tableText;
    std::optional<std::int32_t> m_maxRows;
    std::optional<std::int64_t> m_startOfProgramme, m_firstInCue;
    std::string m_startOfProgrammeText;
    std::optional<std::int32_t> m_announcedSubtitles;

    subtitle::Assembler m_assembler;
    std::optional<subtitle::CharacterDecoder> m_decoder;
    subtitle::TextSettings m_textSettings;
    std::int32_t m_subtitles = 0;
    std::int64_t m_renumberedChain = -1;  // first block of the chain whose number changed
    std::uint16_t m_numberBeforeChange = 0;
    Where m_openSet;  // first subtitle of an unfinished cumulative set
    bool m_seenDisplayed = false;
    std::int64_t m_previousOut = 0;
    std::uint8_t m_previousCumulative = 0;
    bool m_needFacts = false;
    SubtitleFacts m_facts;
};

#pragma once
// Runs the switched-on delivery rules (501-520) over an open file in one pass. Each finding is
// handed on with the rule's own report type; the block number in a message is 0-based.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "DeliveryRules.h"
#include "SubtitleRows.h"
#include "stl/StlTypes.h"

class StlReader;

class DeliveryChecks {
public:
    using Report =
        std::function<void(std::int32_t id, std::int32_t reportType, const std::string&)>;

    DeliveryChecks(const DeliverySettings& settings, Report report);
    // Blocks 0..BlockCount-1; a block the reader cannot deliver ends the walk (rule 424 names it).
    void run(StlReader& reader, std::int32_t blockCount);

private:
    struct Subtitle {
        std::int32_t firstBlock = -1;
        std::uint16_t number = 0;
        std::uint8_t cumulative = 0;
        std::uint8_t vertical = 0;
        bool comment = false;
        std::int64_t in = 0, out = 0;  // frames
        std::string text;
    };

    bool on(std::int32_t id) const;
    std::int32_t threshold(std::int32_t id) const;
    void finding(std::int32_t id, std::int32_t block, const std::string& text);

    void readGsi(const GeneralSubtitleInformation& gsi);
    void takeBlock(std::int32_t index, const TextAndTimingInformation& block);
    void checkUnusedSpace(std::int32_t index, const TextAndTimingInformation& block);
    void finishSubtitle();
    void checkCumulative(const Subtitle& subtitle);
    void checkTiming(const Subtitle& subtitle);
    void checkText(const Subtitle& subtitle);
    void checkCodes(const Subtitle& subtitle);
    void finishFile();

    const DeliverySettings& m_settings;
    Report m_report;

    int m_fps = 25;
    bool m_teletext = false;
    bool m_open = false;
    bool m_latin = false;
    std::string m_tableText;
    std::optional<std::int32_t> m_maxRows;
    std::optional<std::int64_t> m_startOfProgramme, m_firstInCue;
    std::optional<std::int32_t> m_announcedSubtitles;

    Subtitle m_current;
    bool m_chainOpen = false;  // the current subtitle waits for more extension blocks
    std::uint8_t m_nextExtension = 0;
    std::int32_t m_subtitles = 0;
    std::int32_t m_openSet = -1;  // first block of an unfinished cumulative set
    bool m_seenDisplayed = false;
    std::int64_t m_previousOut = 0;
    std::uint8_t m_previousCumulative = 0;
    bool m_needFacts = false;
    SubtitleFacts m_facts;
};

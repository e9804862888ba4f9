#include "DeliveryChecks.h"

#include <cstdio>
#include <cstring>

#include "stl/StlUtils.h"

namespace {

constexpr std::uint8_t USER_DATA = 0xFE;
constexpr std::uint8_t LAST_EXTENSION = 0xFF;
constexpr std::uint8_t UNUSED_SPACE = 0x8F;

template <typename... Args>
std::string format(const char* pattern, Args... args) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, pattern, args...);
    return buffer;
}

std::int64_t toFrames(const TimeCode& tc, int fps) {
    return (std::int64_t{tc.hours} * 3600 + tc.minutes * 60 + tc.seconds) * fps + tc.frames;
}

std::string frameText(std::int64_t frames, int fps) {
    const std::int64_t seconds = frames / fps;
    return format("%02d:%02d:%02d:%02d", static_cast<int>(seconds / 3600),
                  static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60),
                  static_cast<int>(frames % fps));
}

// HHMMSSFF, digits only.
std::optional<std::int64_t> gsiTimeCode(const GeneralSubtitleInformation& gsi, const StlField& f,
                                        int fps) {
    const std::string text = fieldText(gsi.bytes, f, StlVariant::Plugin);
    if (text.size() != 8) return std::nullopt;
    for (char c : text)
        if (c < '0' || c > '9') return std::nullopt;
    auto pair = [&](int at) {
        return static_cast<std::uint8_t>((text[at] - '0') * 10 + text[at + 1] - '0');
    };
    return toFrames({pair(0), pair(2), pair(4), pair(6)}, fps);
}

// The length of a block's text: up to its first unused-space byte.
std::size_t textLength(const std::uint8_t* field) {
    const void* end = std::memchr(field, UNUSED_SPACE, TTI_TEXT_FIELD_SIZE);
    return end ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(end) - field)
               : TTI_TEXT_FIELD_SIZE;
}

// A field's worth of unused space, to compare the rest of a text field with.
const std::array<std::uint8_t, TTI_TEXT_FIELD_SIZE> ALL_UNUSED = [] {
    std::array<std::uint8_t, TTI_TEXT_FIELD_SIZE> bytes{};
    bytes.fill(UNUSED_SPACE);
    return bytes;
}();

}  // namespace

DeliveryChecks::DeliveryChecks(const DeliverySettings& settings, Report report)
    : m_report(std::move(report)) {
    for (const DeliveryRule& rule : settings.rules()) {
        const std::int32_t slot = rule.id - FIRST_RULE;
        if (slot < 0 || slot >= static_cast<std::int32_t>(RULE_COUNT)) continue;
        m_rules[static_cast<std::size_t>(slot)] = {rule.enabled, rule.reportType, rule.threshold};
        m_anyOn = m_anyOn || rule.enabled;
    }
}

void DeliveryChecks::finding(std::int32_t id, std::int32_t block, const std::string& text) {
    const std::string message =
        block < 0 ? text : format("TTI # %d - ", static_cast<int>(block)) + text;
    m_report(id, m_rules[static_cast<std::size_t>(id - FIRST_RULE)].reportType, message);
}

void DeliveryChecks::readGsi(const GeneralSubtitleInformation& gsi) {
    const std::string dsc = fieldText(gsi.bytes, gsi::displayStandardCode, StlVariant::Plugin);
    m_teletext = dsc == "1" || dsc == "2";
    m_open = dsc.empty() || dsc == "0";
    m_tableText = fieldText(gsi.bytes, gsi::characterCodeTableNumber, StlVariant::Plugin);
    m_latin = m_tableText == "00";
    m_maxRows = fieldToInt32(gsi.bytes, gsi::maximumNumberOfDisplayableRows);
    m_startOfProgramme = gsiTimeCode(gsi, gsi::timeCodeStartOfProgramme, m_fps);
    m_firstInCue = gsiTimeCode(gsi, gsi::timeCodeFirstInCue, m_fps);
    m_announcedSubtitles = fieldToInt32(gsi.bytes, gsi::totalNumberOfSubtitles);
}

bool DeliveryChecks::begin(StlReader& reader) {
    if (!m_anyOn) return false;
    PGeneralSubtitleInformation gsi = nullptr;
    if (FAILED(reader.getGeneralSubtitleInformation(&gsi)) || !gsi) return false;
    if (reader.framesPerSecond() > 0) m_fps = reader.framesPerSecond();
    readGsi(*gsi);
    m_needFacts = on(505) || on(506) || on(507) || on(512) || on(519) ||
                  (m_teletext && (on(508) || on(511) || on(513) || on(514)));
    return true;
}

void DeliveryChecks::takeBlock(std::int32_t index, const TextAndTimingInformation& block) {
    const std::uint8_t* bytes = block.bytes;
    const std::uint8_t extension = bytes[tti::extensionBlockNumber.offset];
    if (extension == USER_DATA) return;
    const std::uint8_t* field = bytes + tti::textField.offset;
    const std::size_t length = textLength(field);
    checkUnusedSpace(index, field, length);
    const auto appendText = [&] {
        m_current.text.append(reinterpret_cast<const char*>(field), length);
    };
    const std::uint16_t number = subtitleNumberOf(block);

    if (m_chainOpen) {
        const bool continues = extension == LAST_EXTENSION || extension == m_nextExtension;
        // A block that carries on the numbering belongs to the chain whatever its number says.
        if (number != m_current.number && extension == m_nextExtension) {
            if (on(516)) finding(516, index, "Subtitle Number changes inside an extension chain");
            m_current.number = number;
        }
        if (number == m_current.number) {
            if (!continues && on(516))
                finding(516, index,
                        format("Extension Block Number %02Xh out of order, %02Xh expected",
                               extension, m_nextExtension));
            m_nextExtension = static_cast<std::uint8_t>(extension + 1);
            m_chainOpen = extension != LAST_EXTENSION;
            appendText();
            if (!m_chainOpen) finishSubtitle();
            return;
        }
        if (on(516)) finding(516, m_current.firstBlock, "Extension chain without an FFh block");
        finishSubtitle();
    }

    m_current.firstBlock = index;
    m_current.number = number;
    m_current.cumulative = bytes[tti::cumulativeStatus.offset];
    m_current.vertical = bytes[tti::verticalPosition.offset];
    m_current.comment = bytes[tti::commentFlag.offset] == 1;
    m_current.in = toFrames(timeCodeAt(block, tti::timeCodeIn), m_fps);
    m_current.out = toFrames(timeCodeAt(block, tti::timeCodeOut), m_fps);
    m_current.text.clear();
    appendText();
    if (extension != LAST_EXTENSION && extension != 0 && on(516))
        finding(516, index,
                format("Extension Block Number %02Xh out of order, %02Xh expected", extension, 0));
    m_chainOpen = extension != LAST_EXTENSION;
    m_nextExtension = static_cast<std::uint8_t>(extension + 1);
    if (!m_chainOpen) finishSubtitle();
}

void DeliveryChecks::checkUnusedSpace(std::int32_t index, const std::uint8_t* field,
                                      std::size_t length) {
    if (!on(518) ||
        std::memcmp(field + length, ALL_UNUSED.data(), TTI_TEXT_FIELD_SIZE - length) == 0)
        return;
    for (std::size_t k = length; k < TTI_TEXT_FIELD_SIZE; ++k) {
        if (field[k] == UNUSED_SPACE) continue;
        finding(518, index,
                format("Byte %02Xh at text offset %d after the unused space", field[k],
                       static_cast<int>(k)));
        return;
    }
}

void DeliveryChecks::finishSubtitle() {
    m_chainOpen = false;
    ++m_subtitles;
    checkCumulative(m_current);
    if (m_current.comment) return;
    if (m_needFacts) analyseSubtitle(m_current.text, m_latin, m_facts);
    checkTiming(m_current);
    checkText(m_current);
    checkCodes(m_current);
}

void DeliveryChecks::checkCumulative(const Subtitle& subtitle) {
    const std::uint8_t cs = subtitle.cumulative;
    const bool opensOrCloses = cs == 1 || cs == 0 || cs > 3;
    if (m_openSet >= 0 && opensOrCloses) {
        if (on(517)) finding(517, m_openSet, "Cumulative set without a last part");
        m_openSet = -1;
    }
    if (cs == 1) m_openSet = subtitle.firstBlock;
    if (cs == 2 || cs == 3) {
        if (m_openSet < 0 && on(517))
            finding(517, subtitle.firstBlock,
                    format("Cumulative Status %d without a first part", cs));
        if (cs == 3) m_openSet = -1;
    }
}

void DeliveryChecks::checkTiming(const Subtitle& s) {
    const int fps = m_fps;
    if (m_startOfProgramme && s.in < *m_startOfProgramme && on(509))
        finding(509, s.firstBlock,
                format("Time Code In %s is before the Time Code Start-of-Programme %s",
                       frameText(s.in, fps).c_str(), frameText(*m_startOfProgramme, fps).c_str()));
    if (!m_seenDisplayed) {
        if (m_firstInCue && *m_firstInCue != s.in && on(510))
            finding(510, s.firstBlock,
                    format("Time Code First in-cue %s differs from the first Time Code In %s",
                           frameText(*m_firstInCue, fps).c_str(), frameText(s.in, fps).c_str()));
    } else {
        // Parts of one cumulative set share their Time Out by design.
        const bool sameSet = (m_previousCumulative == 1 || m_previousCumulative == 2) &&
                             (s.cumulative == 2 || s.cumulative == 3);
        const std::int64_t gap = s.in - m_previousOut;
        if (!sameSet && gap < 0 && on(501))
            finding(501, s.firstBlock,
                    format("Time Code In %s is before the previous Time Code Out %s",
                           frameText(s.in, fps).c_str(), frameText(m_previousOut, fps).c_str()));
        if (!sameSet && gap >= 0 && gap < threshold(502) && on(502))
            finding(502, s.firstBlock,
                    format("Gap of %d frames, less than %d", static_cast<int>(gap),
                           static_cast<int>(threshold(502))));
    }
    m_seenDisplayed = true;
    m_previousOut = s.out;
    m_previousCumulative = s.cumulative;

    const std::int64_t duration = s.out - s.in;
    if (duration <= 0) return;  // rules 436 and 437 cover these
    const auto ms = static_cast<int>(duration * 1000 / fps);
    if (on(503) && duration * 1000 < std::int64_t{threshold(503)} * fps)
        finding(503, s.firstBlock,
                format("Duration of %d ms, less than %d ms", ms, static_cast<int>(threshold(503))));
    if (on(504) && duration * 1000 > std::int64_t{threshold(504)} * fps)
        finding(504, s.firstBlock,
                format("Duration of %d ms, more than %d ms", ms, static_cast<int>(threshold(504))));
    if (on(505)) {
        if (std::int64_t{m_facts.visible} * fps > std::int64_t{threshold(505)} * duration)
            finding(505, s.firstBlock,
                    format("Reading speed of %.1f characters per second, more than %d",
                           m_facts.visible * static_cast<double>(fps) / duration,
                           static_cast<int>(threshold(505))));
    }
}

void DeliveryChecks::checkText(const Subtitle& s) {
    if (m_teletext && on(515) &&
        (s.vertical < 1 || s.vertical > 23 ||
         (m_maxRows && *m_maxRows > 0 && s.vertical > *m_maxRows)))
        finding(515, s.firstBlock,
                format("Invalid teletext Vertical Position value = %d", s.vertical));
    const bool teletextRules = m_teletext && (on(508) || on(511) || on(513) || on(514));
    if (!on(506) && !on(507) && !teletextRules) return;
    if (on(506)) {
        if (m_facts.nonEmptyRows > threshold(506))
            finding(506, s.firstBlock,
                    format("%d rows, more than %d", m_facts.nonEmptyRows,
                           static_cast<int>(threshold(506))));
        else if (m_maxRows && *m_maxRows > 0 && m_facts.nonEmptyRows > *m_maxRows)
            finding(506, s.firstBlock,
                    format("%d rows, more than MNR = %d", m_facts.nonEmptyRows,
                           static_cast<int>(*m_maxRows)));
    }
    for (std::size_t r = 0; r < m_facts.rows.size(); ++r) {
        const RowFacts& row = m_facts.rows[r];
        const int n = static_cast<int>(r);
        if (on(507) && row.visible > threshold(507))
            finding(507, s.firstBlock,
                    format("Row %d has %d characters, more than %d", n, row.visible,
                           static_cast<int>(threshold(507))));
        if (!m_teletext) continue;
        if (on(508) && row.cells > 40)
            finding(508, s.firstBlock,
                    format("Row %d is %d cells wide, more than 40", n, row.cells));
        if (on(513) && row.unboxedText)
            finding(513, s.firstBlock, format("Row %d has text outside a box", n));
        if (on(514) && row.singleHeightText)
            finding(514, s.firstBlock, format("Row %d has single height text", n));
    }
    const std::int32_t refused = m_facts.colours & ~threshold(511);
    if (m_teletext && on(511) && refused)
        finding(511, s.firstBlock,
                format("Colour %s is not allowed", colourMaskText(refused).c_str()));
}

void DeliveryChecks::checkCodes(const Subtitle& s) {
    if (on(512)) {
        if (m_open && m_facts.firstTeletextCode >= 0)
            finding(512, s.firstBlock,
                    format("Teletext control code %02Xh in an open subtitle file",
                           m_facts.firstTeletextCode));
        else if (m_teletext && m_facts.firstOpenCode >= 0)
            finding(512, s.firstBlock,
                    format("Open subtitle control code %02Xh in a teletext file",
                           m_facts.firstOpenCode));
    }
    if (!on(519) || m_facts.firstUndefined < 0) return;
    if (m_facts.undefinedIsLoneDiacritic)
        finding(519, s.firstBlock,
                format("Diacritic %02Xh not followed by a letter", m_facts.firstUndefined));
    else
        finding(519, s.firstBlock,
                format("Byte %02Xh is not defined by character code table %s",
                       m_facts.firstUndefined, m_tableText.c_str()));
}

void DeliveryChecks::finish() {
    if (m_chainOpen) {
        if (on(516)) finding(516, m_current.firstBlock, "Extension chain without an FFh block");
        finishSubtitle();
    }
    if (m_openSet >= 0 && on(517)) finding(517, m_openSet, "Cumulative set without a last part");
    if (m_announcedSubtitles && *m_announcedSubtitles != m_subtitles && on(520))
        finding(520, -1,
                format("GSI - TNS = %d, but %d subtitles counted",
                       static_cast<int>(*m_announcedSubtitles), static_cast<int>(m_subtitles)));
}

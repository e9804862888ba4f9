#include "DeliveryChecks.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "stl/StlUtils.h"
#include "subtitle/Document.h"
#include "subtitle/TextCodes.h"
#include "subtitle/Timeline.h"

namespace {

template <typename... Args>
std::string format(const char* pattern, Args... args) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, pattern, args...);
    return buffer;
}

void appendNumber(std::string& out, std::uint32_t value) {
    char digits[12];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// As a time code shows it: at least two digits.
void appendTwoDigits(std::string& out, std::uint8_t value) {
    if (value < 10) out += '0';
    appendNumber(out, value);
}

// A field's worth of unused space, to compare the rest of a text field with.
const std::array<std::uint8_t, TTI_TEXT_FIELD_SIZE> ALL_UNUSED = [] {
    std::array<std::uint8_t, TTI_TEXT_FIELD_SIZE> bytes{};
    bytes.fill(subtitle::code::unusedSpace);
    return bytes;
}();

}  // namespace

DeliveryChecks::DeliveryChecks(const DeliverySettings& settings, Report report)
    : m_report(std::move(report)),
      m_assembler([this](const subtitle::Subtitle& s) { finishSubtitle(s); },
                  [this](const subtitle::ChainFact& f) { chainFact(f); }) {
    for (const DeliveryRule& rule : settings.rules()) {
        const std::int32_t slot = rule.id - FIRST_RULE;
        if (slot < 0 || slot >= static_cast<std::int32_t>(RULE_COUNT)) continue;
        m_rules[static_cast<std::size_t>(slot)] = {rule.enabled, rule.reportType, rule.threshold,
                                                   thresholdInHundredths(rule)};
        m_anyOn = m_anyOn || rule.enabled;
    }
}

void DeliveryChecks::finding(std::int32_t id, const Where& where, const std::string& text) {
    const std::int32_t type = m_rules[static_cast<std::size_t>(id - FIRST_RULE)].reportType;
    if (where.block < 0) {
        m_report(id, type, text);
        return;
    }
    // Built by hand: a long file gives hundreds of thousands of these.
    std::string message;
    message.reserve(text.size() + 48);
    message += "TTI # ";
    appendNumber(message, static_cast<std::uint32_t>(where.block));
    message += " - Subtitle ";
    appendNumber(message, where.number);
    message += " (";
    for (const std::uint8_t part : {where.in.hours, where.in.minutes, where.in.seconds}) {
        appendTwoDigits(message, part);
        message += ':';
    }
    appendTwoDigits(message, where.in.frames);
    message += "): ";
    message += text;
    m_report(id, type, message);
}

std::uint16_t DeliveryChecks::firstNumber(const subtitle::Subtitle& chain) const {
    return chain.firstBlock == m_renumberedChain ? m_numberBeforeChange : chain.number;
}

void DeliveryChecks::readGsi(const GeneralSubtitleInformation& gsi) {
    const std::string dsc = fieldText(gsi.bytes, gsi::displayStandardCode, StlVariant::Plugin);
    m_teletext = dsc == "1" || dsc == "2";
    // A blank code is undefined: rule 404 reports it, and no code is out of place under it.
    m_open = dsc == "0";
    m_tableText = fieldText(gsi.bytes, gsi::characterCodeTableNumber, StlVariant::Plugin);
    m_latin = m_tableText == "00";
    m_maxRows = fieldToInt32(gsi.bytes, gsi::maximumNumberOfDisplayableRows);
    m_startOfProgramme = subtitle::headerFrames(gsi, gsi::timeCodeStartOfProgramme, m_fps);
    m_startOfProgrammeText =
        fieldText(gsi.bytes, gsi::timeCodeStartOfProgramme, StlVariant::Plugin);
    m_firstInCue = subtitle::headerFrames(gsi, gsi::timeCodeFirstInCue, m_fps);
    m_announcedSubtitles = fieldToInt32(gsi.bytes, gsi::totalNumberOfSubtitles);
}

bool DeliveryChecks::begin(StlReader& reader) {
    if (!m_anyOn) return false;
    PGeneralSubtitleInformation gsi = nullptr;
    if (FAILED(reader.getGeneralSubtitleInformation(&gsi)) || !gsi) return false;
    if (reader.framesPerSecond() > 0) m_fps = reader.framesPerSecond();
    readGsi(*gsi);
    const std::uint32_t codePage = subtitle::textCodePage(*gsi);
    m_decoder.emplace(codePage);
    m_textSettings = subtitle::textSettings(*gsi, codePage);
    if (on(509) && !m_startOfProgramme)
        finding(509, {},
                m_startOfProgrammeText.empty()
                    ? "Time Code Start-of-Programme is blank: the start of programme cannot be "
                      "checked"
                    : format("Time Code Start-of-Programme %s is not a time code (HHMMSSFF): the "
                             "start of programme cannot be checked",
                             m_startOfProgrammeText.c_str()));
    m_needFacts = on(505) || on(506) || on(507) || on(512) || on(519) ||
                  (m_teletext && (on(508) || on(511) || on(513) || on(514)));
    return true;
}

void DeliveryChecks::takeBlock(std::int32_t index, const TextAndTimingInformation& block) {
    if (subtitle::isNonSubtitleBlock(block)) return;
    const std::string_view text = subtitle::usedText(block);
    const subtitle::Subtitle& chain = m_assembler.current();
    const Where where =
        m_assembler.continuesChain(block)
            ? Where{index, firstNumber(chain), chain.in}
            : Where{index, subtitleNumberOf(block), timeCodeAt(block, tti::timeCodeIn)};
    checkUnusedSpace(where, block.bytes + tti::textField.offset, text.size());
    m_assembler.take(static_cast<std::uint32_t>(index), block);
}

void DeliveryChecks::chainFact(const subtitle::ChainFact& fact) {
    const subtitle::Subtitle& chain = m_assembler.current();
    if (fact.kind == subtitle::ChainFact::Kind::NumberChanged &&
        chain.firstBlock != m_renumberedChain) {
        m_renumberedChain = chain.firstBlock;
        m_numberBeforeChange = chain.number;
    }
    if (!on(516)) return;
    const Where block{static_cast<std::int32_t>(fact.block), firstNumber(chain), chain.in};
    switch (fact.kind) {
        case subtitle::ChainFact::Kind::NumberChanged:
            finding(516, block, "Subtitle Number changes inside an extension chain");
            break;
        case subtitle::ChainFact::Kind::OutOfOrder:
            finding(516, block,
                    format("Extension Block Number %02Xh out of order, %02Xh expected", fact.found,
                           fact.expected));
            break;
        case subtitle::ChainFact::Kind::Unterminated:
            finding(516, block, "Extension chain without an FFh block");
            break;
    }
}

void DeliveryChecks::checkUnusedSpace(const Where& where, const std::uint8_t* field,
                                      std::size_t length) {
    if (!on(518) ||
        std::memcmp(field + length, ALL_UNUSED.data(), TTI_TEXT_FIELD_SIZE - length) == 0)
        return;
    for (std::size_t k = length; k < TTI_TEXT_FIELD_SIZE; ++k) {
        if (field[k] == subtitle::code::unusedSpace) continue;
        finding(518, where,
                format("Byte %02Xh at text offset %d after the unused space", field[k],
                       static_cast<int>(k)));
        return;
    }
}

void DeliveryChecks::finishSubtitle(const subtitle::Subtitle& model) {
    ++m_subtitles;
    Subtitle s;
    s.where = {static_cast<std::int32_t>(model.firstBlock), firstNumber(model), model.in};
    s.cumulative = model.cumulative;
    s.vertical = model.verticalPosition;
    s.comment = model.comment;
    s.in = subtitle::frameOf(model.in, m_fps);
    s.out = subtitle::frameOf(model.out, m_fps);
    checkCumulative(s);
    if (s.comment) return;
    if (m_needFacts) analyseSubtitle(model.text, *m_decoder, m_textSettings, m_latin, m_facts);
    checkTiming(s);
    checkText(s);
    checkCodes(s);
}

void DeliveryChecks::checkCumulative(const Subtitle& subtitle) {
    const std::uint8_t cs = subtitle.cumulative;
    const bool opensOrCloses = cs == 1 || cs == 0 || cs > 3;
    if (m_openSet.block >= 0 && opensOrCloses) {
        if (on(517)) finding(517, m_openSet, "Cumulative set without a last part");
        m_openSet = {};
    }
    if (cs == 1) m_openSet = subtitle.where;
    if (cs == 2 || cs == 3) {
        if (m_openSet.block < 0 && on(517))
            finding(517, subtitle.where, format("Cumulative Status %d without a first part", cs));
        if (cs == 3) m_openSet = {};
    }
}

void DeliveryChecks::checkTiming(const Subtitle& s) {
    const int fps = m_fps;
    if (m_startOfProgramme && s.in < *m_startOfProgramme && on(509))
        finding(509, s.where,
                format("Time Code In %s is before the Time Code Start-of-Programme %s",
                       formatFrames(s.in, fps).c_str(),
                       formatFrames(*m_startOfProgramme, fps).c_str()));
    if (!m_seenDisplayed) {
        if (m_firstInCue && *m_firstInCue != s.in && on(510))
            finding(
                510, s.where,
                format("Time Code First in-cue %s differs from the first Time Code In %s",
                       formatFrames(*m_firstInCue, fps).c_str(), formatFrames(s.in, fps).c_str()));
    } else {
        // Parts of one cumulative set share their Time Out by design.
        const bool sameSet = (m_previousCumulative == 1 || m_previousCumulative == 2) &&
                             (s.cumulative == 2 || s.cumulative == 3);
        const std::int64_t gap = s.in - m_previousOut;
        if (!sameSet && gap < 0 && on(501))
            finding(
                501, s.where,
                format("Time Code In %s is before the previous Time Code Out %s",
                       formatFrames(s.in, fps).c_str(), formatFrames(m_previousOut, fps).c_str()));
        if (!sameSet && gap >= 0 && gap < threshold(502) && on(502))
            finding(502, s.where,
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
        finding(503, s.where,
                format("Duration of %d ms, less than %d ms", ms, static_cast<int>(threshold(503))));
    if (on(504) && duration * 1000 > std::int64_t{threshold(504)} * fps)
        finding(504, s.where,
                format("Duration of %d ms, more than %d ms", ms, static_cast<int>(threshold(504))));
    if (on(505)) checkReadingSpeed(s, duration);
}

void DeliveryChecks::checkReadingSpeed(const Subtitle& s, std::int64_t duration) {
    const int fps = m_fps;
    const std::int64_t limit = m_rules[505 - FIRST_RULE].hundredths;
    if (std::int64_t{m_facts.visible} * fps * 100 <= limit * duration) return;
    // Rounded up to the hundredth, so the rate quoted is never at or below the limit.
    const double rate =
        std::ceil(m_facts.visible * static_cast<double>(fps) * 100 / duration) / 100;
    const std::string limitText = limit % 100 == 0
                                      ? std::to_string(limit / 100)
                                      : format(limit % 10 == 0 ? "%.1f" : "%.2f", limit / 100.0);
    finding(505, s.where,
            format("%d characters in %.2f s: %.2f characters per second, more than %s",
                   m_facts.visible, static_cast<double>(duration) / fps, rate, limitText.c_str()));
}

void DeliveryChecks::checkText(const Subtitle& s) {
    if (m_teletext && on(515) &&
        (s.vertical < 1 || s.vertical > 23 ||
         (m_maxRows && *m_maxRows > 0 && s.vertical > *m_maxRows)))
        finding(515, s.where, format("Invalid teletext Vertical Position value = %d", s.vertical));
    const bool teletextRules = m_teletext && (on(508) || on(511) || on(513) || on(514));
    if (!on(506) && !on(507) && !teletextRules) return;
    if (on(506)) {
        if (m_facts.nonEmptyRows > threshold(506))
            finding(506, s.where,
                    format("%d rows, more than %d", m_facts.nonEmptyRows,
                           static_cast<int>(threshold(506))));
        else if (m_maxRows && *m_maxRows > 0 && m_facts.nonEmptyRows > *m_maxRows)
            finding(506, s.where,
                    format("%d rows, more than MNR = %d", m_facts.nonEmptyRows,
                           static_cast<int>(*m_maxRows)));
    }
    int n = 0;  // rows numbered as a reader counts them: text rows only, from 1
    for (const RowFacts& row : m_facts.rows) {
        if (row.visible == 0) continue;
        ++n;
        if (on(507) && row.visible > threshold(507))
            finding(507, s.where,
                    format("Row %d has %d characters, more than %d", n, row.visible,
                           static_cast<int>(threshold(507))));
        if (!m_teletext) continue;
        if (on(508) && row.cells > 40)
            finding(508, s.where, format("Row %d is %d cells wide, more than 40", n, row.cells));
        if (on(513) && row.unboxedText)
            finding(513, s.where, format("Row %d has text outside a box", n));
        if (on(514) && row.singleHeightText)
            finding(514, s.where, format("Row %d has single height text", n));
    }
    const std::int32_t refused = m_facts.colours & ~threshold(511);
    if (m_teletext && on(511) && refused)
        finding(511, s.where, format("Colour %s is not allowed", colourMaskText(refused).c_str()));
}

void DeliveryChecks::checkCodes(const Subtitle& s) {
    const subtitle::CodeFacts& codes = m_facts.codes;
    if (on(512)) {
        if (m_open && codes.firstTeletextCode >= 0)
            finding(512, s.where,
                    format("Teletext control code %02Xh in an open subtitle file",
                           codes.firstTeletextCode));
        else if (m_teletext && codes.firstOpenCode >= 0)
            finding(
                512, s.where,
                format("Open subtitle control code %02Xh in a teletext file", codes.firstOpenCode));
    }
    if (!on(519) || codes.firstUndefined < 0) return;
    if (codes.undefinedIsLoneDiacritic)
        finding(519, s.where,
                format("Diacritic %02Xh not followed by a letter", codes.firstUndefined));
    else
        finding(519, s.where,
                format("Byte %02Xh is not defined by character code table %s", codes.firstUndefined,
                       m_tableText.c_str()));
}

void DeliveryChecks::finish() {
    m_assembler.finish();
    if (m_openSet.block >= 0 && on(517))
        finding(517, m_openSet, "Cumulative set without a last part");
    if (m_announcedSubtitles && *m_announcedSubtitles != m_subtitles && on(520))
        finding(520, {},
                format("GSI - TNS = %d, but %d subtitles counted",
                       static_cast<int>(*m_announcedSubtitles), static_cast<int>(m_subtitles)));
}

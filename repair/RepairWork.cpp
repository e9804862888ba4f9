#include "RepairWork.h"
#include "subtitle/TextCodes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "RepairFile.h"
#include "TimeText.h"
#include "subtitle/Timeline.h"

namespace repair {
namespace {

enum KeyKind : std::uint64_t { HEADER_KEY = 0, SUBTITLE_KEY = 1, BLOCK_KEY = 2 };

std::uint64_t keyOf(KeyKind kind, std::uint64_t index, const StlField& field) {
    return (std::uint64_t{kind} << 56) | (index << 8) | field.offset;
}

std::string timeBytes(const TimeCode& tc) {
    return {static_cast<char>(tc.hours), static_cast<char>(tc.minutes),
            static_cast<char>(tc.seconds), static_cast<char>(tc.frames)};
}

// Whether writing the edit would change the bytes Original holds from offset Base.
bool alters(const ByteEdit& edit, const std::uint8_t* original, std::uint64_t base) {
    return std::memcmp(original + (edit.offset - base), edit.bytes.data(), edit.bytes.size()) != 0;
}

}  // namespace

std::string textFieldDisplay(const std::uint8_t* field) {
    std::size_t end = TTI_TEXT_FIELD_SIZE;
    while (end > 0 && field[end - 1] == subtitle::code::unusedSpace) --end;
    std::string text;
    for (std::size_t i = 0; i < end; ++i) {
        const std::uint8_t b = field[i];
        if (b >= 0x20 && b < 0x7F) {
            text += static_cast<char>(b);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "[%02Xh]", b);
            text += hex;
        }
    }
    return text;
}

RepairWork::RepairWork(const subtitle::Document& document, const Options& options)
    : m_document(document),
      m_options(options),
      m_fps(frameRate(document.gsi)),
      m_gsi(document.gsi) {
    m_proposal.framesPerSecond = m_fps;
    m_in.reserve(document.subtitles.size());
    m_out.reserve(document.subtitles.size());
    for (const subtitle::Subtitle& s : document.subtitles) {
        m_in.push_back(subtitle::frameOf(s.in, m_fps));
        m_out.push_back(subtitle::frameOf(s.out, m_fps));
    }
}

Place RepairWork::placeOf(std::size_t i) const {
    const subtitle::Subtitle& s = m_document.subtitles[i];
    return {false, s.firstBlock, i, subtitleNumberOf(m_document.blocks[s.firstBlock]), s.in};
}

Change& RepairWork::changeFor(std::uint64_t key, Fix fix, const Place& place, const StlField& field,
                              const std::string& before, const std::string& why) {
    const auto [at, added] = m_changeIndex.try_emplace(key, m_proposal.changes.size());
    if (added) {
        m_proposal.changes.push_back({{fix}, place, field.name, before, {}, why, {}});
        m_keys.push_back(key);
        return m_proposal.changes.back();
    }
    Change& change = m_proposal.changes[at->second];
    if (std::find(change.fixes.begin(), change.fixes.end(), fix) == change.fixes.end()) {
        change.fixes.push_back(fix);
        change.why += "; " + why;
    }
    change.edits.clear();
    return change;
}

void RepairWork::setTime(Fix fix, std::size_t i, const StlField& field, std::int64_t frames,
                         const std::string& why) {
    const subtitle::Subtitle& s = m_document.subtitles[i];
    const TimeCode tc = *timeCodeOfFrames(frames, m_fps);
    const TimeCode& original = field.offset == tti::timeCodeIn.offset ? s.in : s.out;
    Change& change = changeFor(keyOf(SUBTITLE_KEY, i, field), fix, placeOf(i), field,
                               formatTimeCode(original), why);
    change.after = formatTimeCode(tc);
    const std::string bytes = timeBytes(tc);
    for (std::uint32_t b = s.firstBlock; b <= s.lastBlock; ++b)
        if (!subtitle::isNonSubtitleBlock(m_document.blocks[b]))
            change.edits.push_back({ttiBlockOffset(b) + field.offset, bytes});
}

bool RepairWork::setIn(Fix fix, std::size_t i, std::int64_t frames, const std::string& why) {
    if (!timeCodeOfFrames(frames, m_fps)) {
        notFixed(fix, placeOf(i), tti::timeCodeIn.name, why + ": the in-time would leave the day");
        return false;
    }
    m_in[i] = frames;
    setTime(fix, i, tti::timeCodeIn, frames, why);
    return true;
}

bool RepairWork::setOut(Fix fix, std::size_t i, std::int64_t frames, const std::string& why) {
    if (!timeCodeOfFrames(frames, m_fps)) {
        notFixed(fix, placeOf(i), tti::timeCodeOut.name,
                 why + ": the out-time would leave the day");
        return false;
    }
    m_out[i] = frames;
    setTime(fix, i, tti::timeCodeOut, frames, why);
    return true;
}

void RepairWork::setHeader(Fix fix, const StlField& field, const std::string& text,
                           const std::string& why) {
    std::string bytes = text.substr(0, field.length);
    bytes.resize(field.length, ' ');
    Change& change = changeFor(keyOf(HEADER_KEY, 0, field), fix, Place{}, field,
                               fieldText(m_document.gsi.bytes, field), why);
    change.after = fieldText(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                             {field.name, 0, field.length});
    change.edits.push_back({field.offset, bytes});
    std::memcpy(m_gsi.bytes + field.offset, bytes.data(), field.length);
}

void RepairWork::setHeaderTime(Fix fix, const StlField& field, std::int64_t frames,
                               const std::string& why) {
    std::string digits;
    for (const char c : formatTimeCode(*timeCodeOfFrames(frames, m_fps)))
        if (c != ':') digits += c;
    setHeader(fix, field, digits, why);
}

void RepairWork::setNumber(Fix fix, std::size_t i, std::uint16_t number, const std::string& why) {
    const subtitle::Subtitle& s = m_document.subtitles[i];
    const Place place = placeOf(i);
    Change& change = changeFor(keyOf(SUBTITLE_KEY, i, tti::subtitleNumber), fix, place,
                               tti::subtitleNumber, std::to_string(place.number), why);
    change.after = std::to_string(number);
    const std::string bytes{static_cast<char>(number & 0xFF), static_cast<char>(number >> 8)};
    for (std::uint32_t b = s.firstBlock; b <= s.lastBlock; ++b)
        if (!subtitle::isNonSubtitleBlock(m_document.blocks[b]))
            change.edits.push_back({ttiBlockOffset(b) + tti::subtitleNumber.offset, bytes});
}

void RepairWork::setText(Fix fix, std::size_t i, std::uint32_t block, const std::string& field,
                         const std::string& why) {
    const std::uint8_t* original = m_document.blocks[block].bytes + tti::textField.offset;
    Change& change = changeFor(keyOf(BLOCK_KEY, block, tti::textField), fix, placeOf(i),
                               tti::textField, textFieldDisplay(original), why);
    change.after = textFieldDisplay(reinterpret_cast<const std::uint8_t*>(field.data()));
    change.edits.push_back({ttiBlockOffset(block) + tti::textField.offset, field});
    m_texts[block] = field;
}

std::string RepairWork::textField(std::uint32_t block) const {
    if (const auto it = m_texts.find(block); it != m_texts.end()) return it->second;
    const std::uint8_t* bytes = m_document.blocks[block].bytes + tti::textField.offset;
    return {reinterpret_cast<const char*>(bytes), TTI_TEXT_FIELD_SIZE};
}

void RepairWork::notFixed(Fix fix, const Place& place, const std::string& field,
                          const std::string& why) {
    m_proposal.notFixed.push_back({fix, place, field, why});
}

void RepairWork::dropUnchanged() {
    // A later fix can put a field back as it was: such a change writes nothing new.
    const auto unchanged = [this](const Change& change) {
        return std::none_of(change.edits.begin(), change.edits.end(), [this](const ByteEdit& e) {
            if (e.offset < GSI_BLOCK_SIZE) return alters(e, m_document.gsi.bytes, 0);
            const std::uint64_t block = (e.offset - GSI_BLOCK_SIZE) / TTI_BLOCK_SIZE;
            return alters(e, m_document.blocks[block].bytes,
                          ttiBlockOffset(static_cast<std::uint32_t>(block)));
        });
    };
    auto& changes = m_proposal.changes;
    std::vector<Change> kept;
    std::vector<std::uint64_t> keys;
    m_changeIndex.clear();
    for (std::size_t i = 0; i < changes.size(); ++i) {
        if (unchanged(changes[i])) continue;
        m_changeIndex.emplace(m_keys[i], kept.size());
        kept.push_back(std::move(changes[i]));
        keys.push_back(m_keys[i]);
    }
    changes = std::move(kept);
    m_keys = std::move(keys);
}

Proposal RepairWork::finish() {
    dropUnchanged();
    return std::move(m_proposal);
}

}  // namespace repair
